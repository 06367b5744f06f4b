// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/zqfile.h"

#include "posix/namecodec.h"
#include "posix/nativepath.h"
#include "rules/textrules.h"

#include <QLocale>

#include <cstring>
#include <limits>

#include <time.h>

struct ZQFile::Extras
{
    // The name, where it is not the path's last component.
    QString name;
    QString displayName;
    QString displayExtension;
    QString date;
    QString size;
    QString kind;
    QString attrs;
    QString newName;
    QVariant icon;
    qint64 labelColor = 0;
    std::shared_ptr<const FileFacts> facts;
};

ZQFile::ZQFile() noexcept : ZQFile(MadeAt{QDateTime::currentMSecsSinceEpoch()}) {}

ZQFile::ZQFile(MadeAt madeAt) noexcept : m_fileTime(madeAt.msecs) {}

ZQFile::ZQFile(quint64 fullSize, qint64 fileTimeMsecs) noexcept
    : m_fullSize(fullSize), m_fileTime(fileTimeMsecs), m_sizeDerived(true), m_dateDerived(true)
{}

ZQFile::~ZQFile() = default;

// A million records are a million blocks: the inode number a listing keeps
// takes no room of its own.
static_assert(sizeof(void *) != 8 || sizeof(ZQFile) == 56);

// A path's QByteArray owns a block that begins with Qt's header, which
// counts the references; its bytes follow the header. atPath makes the block
// one record larger and puts the record where the bytes would begin, the
// path's bytes after it: the record holds one reference of its own and its
// path another, so neither outlives the block, and Qt frees the block as it
// frees any other when the last reference goes. A listed identity's birth
// time, where kept, lies between the record and the path's bytes.
namespace {

using PathData = QByteArray::DataPointer;
constexpr size_t BlockHeader = sizeof(QArrayData);
constexpr size_t BornBytes = sizeof(qint64);

} // namespace

template<typename Make>
std::unique_ptr<ZQFile> ZQFile::inPathBlock(QByteArrayView folder, QByteArrayView name, Make make,
                                            const ListedIdentity *identity)
{
    const bool slash = !name.isEmpty() && !folder.endsWith('/');
    const qsizetype length = folder.size() + (slash ? 1 : 0) + name.size();
    if (identity && (identity->inode == 0 || identity->inode > std::numeric_limits<quint32>::max()))
        identity = nullptr;
    const qsizetype head = qsizetype(sizeof(ZQFile) + (identity ? BornBytes : 0));
    QByteArray block(head + length, Qt::Uninitialized);
    PathData &data = block.data_ptr();
    char *start = data.data();
    const auto writePath = [&](char *bytes) {
        // An empty view may have no data: memcpy must not see its null.
        if (!folder.isEmpty())
            std::memcpy(bytes, folder.data(), size_t(folder.size()));
        if (slash)
            bytes[folder.size()] = '/';
        if (!name.isEmpty())
            std::memcpy(bytes + length - name.size(), name.data(), size_t(name.size()));
    };
    std::unique_ptr<ZQFile> file;
    if (start != reinterpret_cast<char *>(data.d_ptr()) + BlockHeader ||
        quintptr(start) % alignof(ZQFile) != 0) {
        // Not the layout the record relies on: a record and a path apart,
        // and a run looks at the file itself.
        QByteArray path(length, Qt::Uninitialized);
        writePath(path.data());
        file.reset(make(nullptr));
        file->m_path = std::move(path);
    } else {
        char *bytes = start + head;
        writePath(bytes); // the block's terminating zero follows
        file.reset(make(start));
        file->m_inPathBlock = true;
        if (identity) {
            std::memcpy(start + sizeof(ZQFile), &identity->bornNsecs, BornBytes);
            file->m_listedInode = quint32(identity->inode);
        }
        // One reference for the record, one for its path; `block` gives up
        // its own as it goes.
        data.ref();
        data.ref();
        file->m_path = QByteArray(PathData(data.d_ptr(), bytes, length));
    }
    file->deriveName();
    file->deriveDisplayExtension();
    return file;
}

std::unique_ptr<ZQFile> ZQFile::atPath(QByteArrayView folder, QByteArrayView name)
{
    return atPath(folder, name, MadeAt{QDateTime::currentMSecsSinceEpoch()});
}

std::unique_ptr<ZQFile> ZQFile::atPath(QByteArrayView folder, QByteArrayView name, MadeAt madeAt)
{
    return inPathBlock(folder, name, [madeAt](void *place) {
        return place ? new (place) ZQFile(madeAt) : new ZQFile(madeAt);
    });
}

namespace {

// Makes a record with known attributes in `place`, or on its own.
auto withAttributes(quint64 fullSize, qint64 fileTimeMsecs)
{
    return [=](void *place) {
        return place ? new (place) ZQFile(fullSize, fileTimeMsecs)
                     : new ZQFile(fullSize, fileTimeMsecs);
    };
}

} // namespace

std::unique_ptr<ZQFile> ZQFile::atPath(QByteArrayView folder, QByteArrayView name, quint64 fullSize,
                                       qint64 fileTimeMsecs)
{
    return inPathBlock(folder, name, withAttributes(fullSize, fileTimeMsecs));
}

std::unique_ptr<ZQFile> ZQFile::atPath(QByteArrayView folder, QByteArrayView name, quint64 fullSize,
                                       qint64 fileTimeMsecs, const ListedIdentity &identity)
{
    return inPathBlock(folder, name, withAttributes(fullSize, fileTimeMsecs), &identity);
}

std::optional<ZQFile::ListedIdentity> ZQFile::listedIdentity() const
{
    if (m_listedInode == 0)
        return std::nullopt;
    ListedIdentity identity{m_listedInode, 0};
    std::memcpy(&identity.bornNsecs, reinterpret_cast<const char *>(this) + sizeof(ZQFile),
                BornBytes);
    return identity;
}

void ZQFile::operator delete(ZQFile *file, std::destroying_delete_t)
{
    const bool inBlock = file->m_inPathBlock;
    file->~ZQFile();
    if (!inBlock) {
        ::operator delete(file);
        return;
    }
    // The record's own reference, given up.
    const PathData home(
        reinterpret_cast<QTypedArrayData<char> *>(reinterpret_cast<char *>(file) - BlockHeader),
        reinterpret_cast<char *>(file), 0);
}

const std::shared_ptr<const FileFacts> &ZQFile::facts() const
{
    static const std::shared_ptr<const FileFacts> none;
    return m_extras ? m_extras->facts : none;
}

void ZQFile::setFacts(std::shared_ptr<const FileFacts> facts)
{
    if (facts || m_extras)
        extras().facts = std::move(facts);
}

ZQFile::Extras &ZQFile::extras()
{
    if (!m_extras)
        m_extras = std::make_unique<Extras>();
    return *m_extras;
}

QString ZQFile::name() const
{
    if (m_nameDerived)
        return NameCodec::decode(NativePath::lastComponent(m_path));
    return m_extras ? m_extras->name : QString();
}

QByteArrayView ZQFile::nameBytes() const
{
    return m_nameDerived ? NativePath::lastComponent(m_path) : QByteArrayView();
}

void ZQFile::keepExtensionFor(const QString &name)
{
    if (!m_extensionDerived)
        return;
    // A rename that keeps the extension (the common case) keeps it derived:
    // a side block for each of a million renamed records would double what
    // they take.
    const auto extensionOf = [](QStringView text) {
        const qsizetype dot = text.lastIndexOf(u'.');
        return dot < 0 ? QStringView() : text.sliced(dot + 1);
    };
    const QString old = this->name();
    if (extensionOf(old) != extensionOf(name)) {
        const QString extension = TextRules::displayExtension(old);
        m_extensionDerived = false;
        extras().displayExtension = extension;
    }
}

void ZQFile::storeName(const QString &name)
{
    // Decoding is exact both ways, so a name equal to the decoded component
    // is the component's name, byte for byte.
    if (!m_path.isEmpty() && NameCodec::decode(NativePath::lastComponent(m_path)) == name) {
        deriveName();
        return;
    }
    m_nameDerived = false;
    if (!name.isNull() || m_extras)
        extras().name = name;
}

void ZQFile::setName(const QString &name)
{
    keepExtensionFor(name);
    storeName(name);
}

void ZQFile::deriveName()
{
    m_nameDerived = true;
    if (m_extras)
        m_extras->name = QString();
}

QString ZQFile::displayName() const
{
    return m_extras ? m_extras->displayName : QString();
}

void ZQFile::setDisplayName(const QString &displayName)
{
    extras().displayName = displayName;
}

QString ZQFile::displayExtension() const
{
    if (m_extensionDerived)
        return TextRules::displayExtension(name());
    return m_extras ? m_extras->displayExtension : QString();
}

void ZQFile::setDisplayExtension(const QString &displayExtension)
{
    m_extensionDerived = false;
    extras().displayExtension = displayExtension;
}

void ZQFile::deriveDisplayExtension()
{
    m_extensionDerived = true;
    if (m_extras)
        m_extras->displayExtension.clear();
}

QString ZQFile::dateText(qint64 fileTimeMsecs)
{
    time_t seconds = static_cast<time_t>(fileTimeMsecs / 1000);
    if (fileTimeMsecs % 1000 < 0)
        --seconds;
    struct tm local = {};
    if (!localtime_r(&seconds, &local))
        return QString();
    const int year = local.tm_year + 1900;
    if (year < 0 || year > 9999) {
        char text[64];
        const int length = snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d", year,
                                    local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min);
        return QString::fromLatin1(text, length);
    }
    // The common case by hand: the sort by date formats every record.
    QString text(16, Qt::Uninitialized);
    QChar *out = text.data();
    auto put = [&out](int value, int digits) {
        for (int i = digits - 1; i >= 0; --i, value /= 10)
            out[i] = QLatin1Char(char('0' + value % 10));
        out += digits;
    };
    put(year, 4);
    *out++ = u'/';
    put(local.tm_mon + 1, 2);
    *out++ = u'/';
    put(local.tm_mday, 2);
    *out++ = u' ';
    put(local.tm_hour, 2);
    *out++ = u':';
    put(local.tm_min, 2);
    return text;
}

QString ZQFile::date() const
{
    if (m_dateDerived)
        return dateText(m_fileTime);
    return m_extras ? m_extras->date : QString();
}

void ZQFile::setDate(const QString &date)
{
    m_dateDerived = false;
    extras().date = date;
}

QString ZQFile::size() const
{
    if (m_sizeDerived)
        return QLocale().toString(m_fullSize);
    return m_extras ? m_extras->size : QString();
}

void ZQFile::setSize(const QString &size)
{
    m_sizeDerived = false;
    extras().size = size;
}

QString ZQFile::kind() const
{
    return m_extras ? m_extras->kind : QString();
}

void ZQFile::setKind(const QString &kind)
{
    extras().kind = kind;
}

QString ZQFile::attrs() const
{
    return m_extras ? m_extras->attrs : QString();
}

void ZQFile::setAttrs(const QString &attrs)
{
    extras().attrs = attrs;
}

QString ZQFile::newName() const
{
    return m_extras ? m_extras->newName : QString();
}

void ZQFile::setNewName(const QString &newName)
{
    extras().newName = newName;
}

QString ZQFile::fullPath() const
{
    return NameCodec::decode(m_path);
}

void ZQFile::setFullPath(const QString &fullPath)
{
    setNativePath(NameCodec::encode(fullPath));
}

void ZQFile::setNativePath(const QByteArray &path)
{
    if (m_nameDerived && NativePath::lastComponent(path) != NativePath::lastComponent(m_path)) {
        // The name stays; the path no longer says it.
        const QString name = this->name();
        m_nameDerived = false;
        extras().name = name;
    }
    m_path = path;
}

void ZQFile::setNativePath(const QByteArray &path, const QString &name)
{
    keepExtensionFor(name);
    m_path = path;
    storeName(name);
}

QByteArray ZQFile::nativeName() const
{
    return m_path.mid(NativePath::nameStart(m_path));
}

QByteArray ZQFile::nativeFolder() const
{
    return NativePath::folder(m_path);
}

void ZQFile::materializeSize()
{
    if (m_sizeDerived) {
        const QString text = size();
        m_sizeDerived = false;
        extras().size = text;
    }
}

void ZQFile::materializeDate()
{
    if (m_dateDerived) {
        const QString text = date();
        m_dateDerived = false;
        extras().date = text;
    }
}

void ZQFile::setFullSize(quint64 fullSize)
{
    materializeSize();
    m_fullSize = fullSize;
}

QVariant ZQFile::icon() const
{
    return m_extras ? m_extras->icon : QVariant();
}

void ZQFile::setIcon(const QVariant &icon)
{
    extras().icon = icon;
}

qint64 ZQFile::labelColor() const
{
    return m_extras ? m_extras->labelColor : 0;
}

void ZQFile::setLabelColor(qint64 labelColor)
{
    extras().labelColor = labelColor;
}

QDateTime ZQFile::fileDate() const
{
    return QDateTime::fromMSecsSinceEpoch(m_fileTime);
}

void ZQFile::setFileDate(const QDateTime &fileDate)
{
    materializeDate();
    m_fileTime = fileDate.toMSecsSinceEpoch();
}

void ZQFile::setAttributes(quint64 fullSize, qint64 fileTimeMsecs)
{
    m_fullSize = fullSize;
    m_fileTime = fileTimeMsecs;
    m_sizeDerived = true;
    m_dateDerived = true;
    if (m_extras) {
        m_extras->size.clear();
        m_extras->date.clear();
    }
}

bool ZQFile::hasSizeText() const
{
    return m_sizeDerived || (m_extras && !m_extras->size.isEmpty());
}

bool ZQFile::hasDateText() const
{
    return m_dateDerived || (m_extras && !m_extras->date.isEmpty());
}
