// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/rulefile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QVariant>

#include <memory>
#include <new>
#include <optional>

// The record of one listed file.
//
// A path on Linux is bytes, so the record keeps the exact bytes it was listed
// with (nativePath) and reaches the file only through them; fullPath() and
// name() are the decoded texts that the table shows and the templates read
// (each byte that is not UTF-8 is one escaped unit, see NameCodec, so the
// texts give the bytes back).
//
// Records have identity semantics: they are never copied, and the list holds
// and removes them by address. Fields that are rarely filled live in a
// side block that is allocated on first write; the size and date texts of
// an intake record are formatted from the raw values when asked for, and a
// name that is the decoded last component of the path (that of every listed
// file) is decoded when asked for rather than kept twice. A listed file
// takes one allocation: atPath puts the record in the block of its path's
// bytes (see there).
class ZQFile
{
public:
    ZQFile() noexcept;
    // A record whose byte count and modification time are known, as
    // setAttributes gives them.
    ZQFile(quint64 fullSize, qint64 fileTimeMsecs) noexcept;
    ~ZQFile();
    ZQFile(const ZQFile &) = delete;
    ZQFile &operator=(const ZQFile &) = delete;

    // The record of `name` in the folder `folder` (joined as a walk joins
    // them: one slash between), or of `folder` itself for an empty name, its
    // name derived from the path. The record lives in the allocation of its
    // path's bytes, one block where a record and its path would take two;
    // the block goes with the last of the record and the copies of the path
    // it was made with. Attributes as setAttributes takes them, if known.
    static std::unique_ptr<ZQFile> atPath(QByteArrayView folder, QByteArrayView name);
    // A record whose size and date are unread takes the time it is made as
    // its date: the records a walk makes of one folder share one reading of
    // the clock, taken as it reads the folder.
    struct MadeAt
    {
        qint64 msecs;
    };
    static std::unique_ptr<ZQFile> atPath(QByteArrayView folder, QByteArrayView name,
                                          MadeAt madeAt);
    static std::unique_ptr<ZQFile> atPath(QByteArrayView folder, QByteArrayView name,
                                          quint64 fullSize, qint64 fileTimeMsecs);
    // Which file the listing found under the path: its inode and birth time
    // (nanoseconds since the epoch), as one look gave them with its size and
    // date. A run takes them for its journal rather than looking again.
    struct ListedIdentity
    {
        quint64 inode;
        qint64 bornNsecs;
    };
    // As above, with the identity kept: the inode number in the record, the
    // birth time in the record's block. An inode number of more than 32 bits
    // is not kept (the run then looks).
    static std::unique_ptr<ZQFile> atPath(QByteArrayView folder, QByteArrayView name,
                                          quint64 fullSize, qint64 fileTimeMsecs,
                                          const ListedIdentity &identity);
    // Whichever way a record was made.
    void operator delete(ZQFile *file, std::destroying_delete_t);

    QString name() const;
    // What the renaming rules read of this file.
    RuleFile ruleFile() const { return {name(), m_fileTime, facts(), m_path}; }
    operator RuleFile() const { return ruleFile(); }
    void setName(const QString &name);
    // Makes name() the decoded last component of nativePath() (trailing
    // slashes not counted), as the intake names a record.
    void deriveName();
    // The bytes name() decodes when it is the last component of
    // nativePath(); empty otherwise.
    QByteArrayView nameBytes() const;

    // What was read inside the file for the settings that ask (birth time,
    // date taken, tag values); null until read.
    const std::shared_ptr<const FileFacts> &facts() const;
    void setFacts(std::shared_ptr<const FileFacts> facts);

    QString displayName() const;
    void setDisplayName(const QString &displayName);

    // The intake's value is the text after the last dot of the name it was
    // listed under; it is derived from that name until set explicitly.
    QString displayExtension() const;
    void setDisplayExtension(const QString &displayExtension);
    // Makes displayExtension() the text after the last dot of name().
    void deriveDisplayExtension();

    // "yyyy/MM/dd HH:mm" in local time.
    QString date() const;
    void setDate(const QString &date);

    // The byte count in the user's decimal style, grouped, without unit.
    QString size() const;
    void setSize(const QString &size);

    QString kind() const;
    void setKind(const QString &kind);
    QString attrs() const;
    void setAttrs(const QString &attrs);
    QString newName() const;
    void setNewName(const QString &newName);

    // Decoded for display; the record reaches its file through nativePath().
    QString fullPath() const;
    void setFullPath(const QString &fullPath);
    const QByteArray &nativePath() const { return m_path; }
    // Keeps name() as it is.
    void setNativePath(const QByteArray &path);
    // Moves the record to `path` under `name`, as a rename does.
    void setNativePath(const QByteArray &path, const QString &name);
    // The last component of nativePath() and the folder before it.
    QByteArray nativeName() const;
    QByteArray nativeFolder() const;

    quint64 fullSize() const { return m_fullSize; }
    void setFullSize(quint64 fullSize);

    // The identity the listing read, where it was kept.
    std::optional<ListedIdentity> listedIdentity() const;

    // The window keeps a QIcon here; the core never fills it.
    QVariant icon() const;
    void setIcon(const QVariant &icon);

    qint64 labelColor() const;
    void setLabelColor(qint64 labelColor);

    bool isDirectory() const { return m_isDirectory; }
    void setIsDirectory(bool isDirectory) { m_isDirectory = isDirectory; }
    bool isPackage() const { return m_isPackage; }
    void setIsPackage(bool isPackage) { m_isPackage = isPackage; }
    bool isSpecial() const { return m_isSpecial; }
    void setIsSpecial(bool isSpecial) { m_isSpecial = isSpecial; }
    bool isSelected() const { return m_isSelected; }
    void setIsSelected(bool isSelected) { m_isSelected = isSelected; }

    QDateTime fileDate() const;
    void setFileDate(const QDateTime &fileDate);
    // The same instant as fileDate(), in milliseconds since the epoch.
    qint64 fileTime() const { return m_fileTime; }

    // What the intake reads from the file system: the byte count and the
    // modification time. The size and date texts follow from them.
    void setAttributes(quint64 fullSize, qint64 fileTimeMsecs);
    bool hasSizeText() const;
    bool hasDateText() const;

    // Fills in a missing byte count: a folder's total of every item below it
    // (recomputed while it is 1000 bytes or less), a file's from its size
    // text or, failing that, from the file itself.
    void calculateFullSize();

    // Sorting: each returns -1, 0 or 1 for this record against the other.
    int OldNameComparison(const ZQFile &other) const;
    int NewNameComparison(const ZQFile &other) const;
    int SizeComparison(const ZQFile &other) const;
    int KindComparison(const ZQFile &other) const;
    int ExtComparison(const ZQFile &other) const;
    int DateComparison(const ZQFile &other) const;
    int AttrComparison(const ZQFile &other) const;
    int LocationComparison(const ZQFile &other) const;
    int FolderComparison(const ZQFile &other) const;

    // The date text for a time in milliseconds since the epoch.
    static QString dateText(qint64 fileTimeMsecs);
    // -1, 0 or 1 for two texts compared without regard to case.
    static int caseInsensitiveCompare(const QString &a, const QString &b);

private:
    explicit ZQFile(MadeAt madeAt) noexcept;
    struct Extras;
    template<typename Make>
    static std::unique_ptr<ZQFile> inPathBlock(QByteArrayView folder, QByteArrayView name,
                                               Make make, const ListedIdentity *identity = nullptr);
    Extras &extras();
    void materializeSize();
    void materializeDate();
    // Keeps a derived extension as it was when the name changes to `name`.
    void keepExtensionFor(const QString &name);
    // Stores `name`, or derives it where the path's last component says it.
    void storeName(const QString &name);

    QByteArray m_path;
    quint64 m_fullSize = 0;
    qint64 m_fileTime = 0;
    std::unique_ptr<Extras> m_extras;
    bool m_isDirectory : 1 = false;
    bool m_isPackage : 1 = false;
    bool m_isSpecial : 1 = false;
    bool m_isSelected : 1 = false;
    // Size and date texts formatted from the raw values on demand.
    bool m_sizeDerived : 1 = false;
    bool m_dateDerived : 1 = false;
    bool m_extensionDerived : 1 = false;
    bool m_nameDerived : 1 = false;
    // Made by atPath: the block of the first path holds the record.
    bool m_inPathBlock : 1 = false;
    // The listed identity's inode number, in what would be the record's
    // padding; 0 (no file's number): none kept. Its birth time follows the
    // record in its block.
    quint32 m_listedInode = 0;
};
