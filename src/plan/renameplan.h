// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plan/folderfacts.h"
#include "rules/renamesettings.h"
#include "rules/rulefile.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <map>
#include <vector>

class FileList;
class TypedNames;

// What a rename run will do with every listed file, worked out before it
// starts, so that the table and the command line can show it and the run can
// follow it: for each display row the new name and one status. Made in two
// steps: the facts of every folder are read from the disk (gatherFacts),
// then the plan is worked out from plain values (compute), which tests can
// give it directly.
class RenamePlan
{
public:
    enum class Status : quint8
    {
        Unchanged, // the new name is the current one
        Move,
        Refused,  // no folder can hold the new name
        Conflict, // it cannot be moved here: the reason says why
    };

    // A million rows are held at once: the new name is kept once, as text
    // (nativeName() makes its bytes), and rows are numbered in 32 bits.
    struct Row
    {
        QString newName;
        QString reason;    // for Refused and Conflict
        qint32 other = -1; // the row a conflict is with, if any
        // For a move: the row of the listed file that moves away from this
        // row's new name, so that this move must wait for it; or -1.
        qint32 after = -1;
        qint32 folder = -1; // index into folders()
        Status status = Status::Unchanged;

        // The bytes the file will be named (NameCodec::encode of newName).
        QByteArray nativeName() const;
    };

    // One listed file, in display order.
    struct File
    {
        QByteArray path; // native bytes
        RuleFile rule;   // what the composer reads: the current name and time
        // The counter index the composer is given; -1 for the row itself.
        qint64 index = -1;
        // For a companion file, the row of its group's lead, whose new name
        // it follows (FileList::companionLead), and the length of the stem
        // they share; the plan moves the group as one. -1 for any other.
        qint64 lead = -1;
        qsizetype stem = 0;
    };
    // What the plan reads of a listed file once its new name is known: a
    // fraction of a File, and what a run holds for each of a million files
    // while the plan is worked out. It views the path and the name where the
    // caller keeps them (a File, a record), which must outlive it: the plan
    // holds no copy of either.
    struct Listed
    {
        const QByteArray *path = nullptr; // native bytes
        // The current name; null for a name that is the decoded last
        // component of the path (that of every listed record), which is
        // decoded when asked for rather than held for each file.
        const QString *name = nullptr;
        qint32 lead = -1; // File::lead

        QString currentName() const;
        // currentName() == text, without decoding a plain ASCII name.
        bool isCurrentName(const QString &text) const;
    };
    // Views the files, which must outlive the result.
    static std::vector<Listed> listedOf(const std::vector<File> &files);
    using NewNames = std::function<QString(const RuleFile &file, qint64 index)>;
    // The new name of a companion from its lead's (TextRules::companionName
    // under the settings of the names).
    using FollowLead =
        std::function<QString(const File &lead, const QString &leadNewName, const File &companion)>;

    // What two names of one folder are compared by: canonically equivalent
    // names are one name, and on a folder that does not tell case apart so
    // are names that differ only in case. Names that are not UTF-8 keep
    // their bytes.
    static QByteArray nameKey(const QByteArray &name, bool caseInsensitive);

    // The listed files of a list, in display order, with their counter
    // indexes (FileList::counterIndex).
    // Empty when *cancel became true on the way.
    static std::vector<File> filesOf(const FileList &list, bool counterPerFolder = false,
                                     const std::atomic<bool> *cancel = nullptr);

    // The folders of the files (each the path before its last slash, "/" at
    // the root), in order of first appearance, and each file's index into
    // them.
    static std::vector<QByteArray> foldersOf(const std::vector<File> &files,
                                             std::vector<qint32> *folderOfFile);
    static std::vector<QByteArray> foldersOf(const std::vector<Listed> &files,
                                             std::vector<qint32> *folderOfFile);

    // Facts of folders read ahead, by path (as foldersOf spells it): a front
    // end that has a thread idle while the files are listed reads there the
    // folders it expects to plan in.
    using ReadAhead = std::map<QByteArray, FolderFacts>;

    // The disk facts of each folder; the names of a folder are read only if
    // needsNames says so for its index. A folder found in `ahead` with what
    // it needs is taken from there rather than read again.
    static std::vector<FolderFacts> gatherFacts(const std::vector<QByteArray> &folders,
                                                const std::vector<bool> &needsNames,
                                                ReadAhead *ahead = nullptr);

    // The new name of each file: newNames(file, row), called from two
    // threads at once for a long list (the composer is pure); a companion's
    // is left empty for followLeads. Empty when *cancel became true on the
    // way.
    static std::vector<QString> composeNames(const std::vector<File> &files,
                                             const NewNames &newNames,
                                             const std::atomic<bool> *cancel = nullptr);

    // Works the plan out without touching the disk, from the files, their
    // new names, their folders and those folders' facts. With uniqueNames, a
    // new name that is taken (by a name on disk that no listed file leaves,
    // by a listed file that stays, or by the new name of a file before it
    // in display order) gets the first free number before its extension
    // (numberedName) instead of a conflict.
    //
    // With makeFolders, each "/" of a new name is a folder boundary below the
    // file's own folder, and the name is checked in that folder: by its facts
    // in `targets` (by path), or as a folder still to be made on the file
    // system of the file's own folder where `targets` has none.
    using TargetFacts = std::map<QByteArray, FolderFacts>;
    static RenamePlan compute(const std::vector<File> &files, std::vector<QString> newNames,
                              const std::vector<qint32> &folderOfFile,
                              std::vector<QByteArray> folders, std::vector<FolderFacts> facts,
                              bool uniqueNames = false, bool makeFolders = false,
                              const TargetFacts &targets = {});
    static RenamePlan compute(const std::vector<Listed> &files, std::vector<QString> newNames,
                              const std::vector<qint32> &folderOfFile,
                              std::vector<QByteArray> folders, std::vector<FolderFacts> facts,
                              bool uniqueNames = false, bool makeFolders = false,
                              const TargetFacts &targets = {});

    // The two steps after composing, from names composed already.
    static RenamePlan fromNames(const std::vector<File> &files, std::vector<QString> newNames,
                                bool uniqueNames = false, bool makeFolders = false);
    static RenamePlan fromNames(const std::vector<Listed> &files, std::vector<QString> newNames,
                                bool uniqueNames = false, bool makeFolders = false,
                                ReadAhead *ahead = nullptr);

    // The facts of each folder a new name with "/" leads to, read from the
    // disk: a folder that is not there yet has those of its nearest parent
    // that is, and `missing` set.
    static TargetFacts gatherTargetFacts(const std::vector<QByteArray> &targets);
    // The folder a moving row's new name leads it to, or its own folder.
    QByteArray targetFolder(const Row &row) const;

    // TextRules::companionName under these settings.
    static FollowLead companionRule(const RenameSettings &settings);
    // Gives each companion without a name typed by hand the name that
    // follows its lead's, once the leads' names are final.
    static void followLeads(const std::vector<File> &files, std::vector<QString> &names,
                            const FollowLead &follow, const TypedNames *typed = nullptr);

    // All three steps; the names typed by hand, if any, in place of the
    // composed ones, and the companions' names after their leads'.
    static RenamePlan make(const std::vector<File> &files, const NewNames &newNames,
                           const std::atomic<bool> *cancel = nullptr,
                           const TypedNames *typed = nullptr, const FollowLead &follow = {},
                           bool uniqueNames = false, bool makeFolders = false,
                           ReadAhead *ahead = nullptr);
    // "scan.pdf" numbered 2: "scan (2).pdf"; the number goes before the
    // extension, as the composer splits it off.
    static QString numberedName(const QString &name, qint64 number);
    // `name` numbered where numberedName numbers `lead`, where the two share
    // all that comes before that place and `name` has an extension or none
    // after it: "T.CR3.xmp" beside "T.CR3" is "T (2).CR3.xmp", so that
    // companions keep one stem.
    static QString numberedLike(const QString &name, const QString &lead, qint64 number);
    // The number that numberedName gave `wanted` to make `name`, or 0 when
    // name is no numbered form of it.
    static qint64 numberOf(const QString &name, const QString &wanted);

    bool isComplete() const { return m_complete; }
    qsizetype count() const { return qsizetype(m_rows.size()); }
    const Row &row(qsizetype row) const { return m_rows[size_t(row)]; }
    const std::vector<Row> &rows() const { return m_rows; }
    // Lets go of the rows (count() is 0 after), keeping the folders, their
    // facts and groups, for a run that has taken what it needs of them.
    void releaseRows() { m_rows = std::vector<Row>(); }
    const std::vector<QByteArray> &folders() const { return m_folders; }
    // The facts of each folder, without the names of its entries, which the
    // plan lets go of once it has checked the new names against them.
    const std::vector<FolderFacts> &facts() const { return m_facts; }
    // Folders reached through several spellings (links) are one group: the
    // group of a folder index, and how many groups there are.
    qint32 groupOf(qint32 folder) const { return m_groupOfFolder[size_t(folder)]; }
    qint32 groupCount() const { return m_groupCount; }

    qsizetype moves() const { return m_moves; }
    qsizetype unchanged() const { return m_unchanged; }
    // Refused and conflicting rows: files that cannot be renamed.
    qsizetype problems() const { return m_problems; }
    // The first row that cannot be renamed, or -1.
    qint64 firstProblem() const { return m_firstProblem; }

private:
    // How often a long loop looks at its cancel flag.
    static constexpr qsizetype CancelCheckFiles = 4096;
    // Below this many files a second thread costs more than it gains.
    static constexpr size_t ParallelFiles = 20000;
    // `alone`: no other folder is resolved beside it, so it may take a
    // second thread of its own.
    void resolveFolder(const std::vector<qint64> &rows, const std::vector<Listed> &files,
                       const FolderFacts &facts, bool uniqueNames, bool alone);
    void conflict(qint64 row, const QString &reason, qint64 other = -1);
    // Checks the new names that lead into other folders there.
    void resolveTargets(const std::vector<Listed> &files, const TargetFacts &targets);
    // Companions move as one: when one member of a group cannot move, the
    // others that would are stopped, each with the reason. True when any was;
    // the rows stopped are added to `held` where given.
    bool holdGroups(const std::vector<std::vector<qint64>> &groups,
                    const std::vector<Listed> &files, std::vector<qint64> *held = nullptr);
    // The rows in `stopped` no longer move: each move that waited for one of
    // them would find its name taken, so it stops too, as do the moves
    // waiting for it and the companions of each.
    void holdWaiters(std::vector<qint64> stopped, const std::vector<Listed> &files);
    // The groups of companions among `rows` (every file where null), each
    // lead first, then its companions in row order.
    static std::vector<std::vector<qint64>> companionGroups(const std::vector<Listed> &files,
                                                            const std::vector<qint64> *rows);

    std::vector<Row> m_rows;
    std::vector<QByteArray> m_folders;
    std::vector<FolderFacts> m_facts;
    std::vector<qint32> m_groupOfFolder;
    qint32 m_groupCount = 0;
    qsizetype m_moves = 0;
    qsizetype m_unchanged = 0;
    qsizetype m_problems = 0;
    qint64 m_firstProblem = -1;
    bool m_complete = false;
};
