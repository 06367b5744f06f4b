// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/folderrun.h"

#include "posix/fileidentity.h"
#include "posix/nativemove.h"
#include "posix/nativepath.h"
#include "posix/textescape.h"
#include "rename/moveorder.h"
#include "rename/pausepoints.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The folder both names of an entry are in.
QByteArray folderPath(const RenameRun::Entry &entry)
{
    if (entry.base < 0)
        return NativePath::openableFolder(entry.oldPath);
    QByteArray folder = entry.oldPath.first(entry.base);
    if (folder.size() > 1 && folder.endsWith('/'))
        folder.chop(1);
    return folder.isEmpty() ? QByteArrayLiteral(".") : folder;
}

// Hands each step of one entry's move to the journal before it is taken, and
// offers the tests a moment to stop in right after it.
class StepsOfEntry final : public NativeMove::MoveSteps
{
public:
    StepsOfEntry(const FolderRun::Recorder &recorder, qsizetype position)
        : m_recorder(recorder), m_position(position)
    {}

    int before(Step step, const char *from, const char *to) override
    {
        const auto kind = step == Step::Claim  ? JournalStep::Kind::Claim
                          : step == Step::Link ? JournalStep::Kind::Link
                                               : JournalStep::Kind::Passing;
        return m_recorder.step(m_position, kind, QByteArray(from), QByteArray(to)) ? 0 : EIO;
    }
    void abandoned(Step) override
    {
        m_recorder.step(m_position, JournalStep::Kind::Abandoned, {}, {});
        PausePoints::at("abandoned");
    }
    void after(Step step) override
    {
        PausePoints::at(step == Step::Claim  ? "claimed"
                        : step == Step::Link ? "linked"
                                             : "passing");
    }

private:
    const FolderRun::Recorder &m_recorder;
    qsizetype m_position;
};

QString cycleFailed()
{
    return QStringLiteral("Another file of its cycle of names could not be renamed, so it keeps "
                          "its old name.");
}

} // namespace

FolderRun::~FolderRun() = default;

const FolderRun::Folder &FolderRun::folderOf(const RenameRun::Entry &entry)
{
    const QByteArray path = folderPath(entry);
    auto found = m_folders.find(path);
    if (found != m_folders.end())
        return found->second;
    Folder folder;
    folder.fd.reset(::open(path.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder.fd.isOpen()) {
        folder.error = NativeMove::reason(errno);
    } else {
        // The path may lead elsewhere now (a folder swapped for a link): the
        // moves must happen in the folder that was listed, or nowhere.
        FileIdentity listed;
        struct stat opened;
        if (m_listedIdentity && m_listedIdentity(path, &listed) &&
            (::fstat(folder.fd.get(), &opened) != 0 || fileIdentity(opened) != listed)) {
            folder.fd.reset();
            folder.error = RenameRun::folderReplacedReason();
        }
    }
    return m_folders.emplace(path, std::move(folder)).first->second;
}

bool FolderRun::move(RenameRun::Entry &entry, const char *from, const char *to, int *error)
{
    const Folder &folder = folderOf(entry);
    if (!folder.fd.isOpen()) {
        entry.error = folder.error;
        *error = 0;
        return false;
    }
    QByteArray stranded;
    StepsOfEntry steps(m_recorder, qsizetype(&entry - m_entries));
    *error = NativeMove::moveAt(folder.fd.get(), from, folder.fd.get(), to, &stranded,
                                m_recorder.step ? &steps : nullptr);
    if (*error == 0)
        return true;
    entry.error = NativeMove::reason(*error);
    if (!stranded.isEmpty())
        entry.error +=
            QStringLiteral(" (the file was left as “%1”)").arg(TextEscape::path(stranded));
    return false;
}

bool FolderRun::toTemporary(RenameRun::Entry &entry)
{
    static std::atomic<unsigned> serial = 0;
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, ".velnor-cycle-%ld-%u", long(getpid()), ++serial);
        // Recorded before the move, so that wherever the run stops the
        // name under which the file waits is known.
        m_parkedName = name;
        if (m_recorder.temporaryName &&
            !m_recorder.temporaryName(qsizetype(&entry - m_entries), m_parkedName)) {
            entry.error = QStringLiteral("The journal cannot be written, so no file of its "
                                         "cycle of names is moved.");
            break;
        }
        if (move(entry, RenameRun::oldNameOf(entry), name, &error)) {
            PausePoints::at("temporary");
            return true;
        }
    }
    m_parkedName.clear();
    return false;
}

void FolderRun::run(const std::vector<qint32> &positions,
                    const std::function<qsizetype(qsizetype)> &waitsFor,
                    std::vector<quint8> &finished,
                    const std::function<void(qsizetype)> &finishedSome,
                    const std::function<bool()> &stop)
{
    // The index among `positions` of the move a move waits for, found by
    // bisection since they come in stored order: a hash of a folder's million
    // positions would hold tens of megabytes while its files move.
    Q_ASSERT(std::is_sorted(positions.begin(), positions.end()));
    const auto indexOf = [&](qsizetype position) {
        const auto found = std::lower_bound(positions.begin(), positions.end(), position);
        return found != positions.end() && *found == position ? qsizetype(found - positions.begin())
                                                              : qsizetype(-1);
    };
    const std::vector<MoveOrder::Step> steps =
        MoveOrder::of(qsizetype(positions.size()), [&](qsizetype k) {
            const qsizetype position = waitsFor(positions[size_t(k)]);
            return position < 0 ? qsizetype(-1) : indexOf(position);
        });

    qsizetype unpublished = 0;
    const auto finish = [&](RenameRun::Entry &entry, bool moved) {
        const qsizetype position = &entry - m_entries;
        if (!moved)
            entry.outcome = RenameRun::Outcome::Failed;
        else
            PausePoints::at("move");
        if (m_recorder.outcome)
            m_recorder.outcome(position, moved);
        finished[size_t(position)] = 1;
        if (++unpublished == 64) {
            finishedSome(unpublished);
            unpublished = 0;
        }
    };

    qsizetype parked = -1;             // the entry under a temporary name
    std::vector<qsizetype> cycleMoved; // the cycle's entries moved since
    bool cycleBroken = false;
    for (const MoveOrder::Step &step : steps) {
        RenameRun::Entry &entry = m_entries[positions[size_t(step.move)]];
        const bool stopping = stop();
        if (stopping && parked < 0)
            break;
        int error = 0;
        switch (step.kind) {
        case MoveOrder::Step::ToTemporary:
            if (toTemporary(entry)) {
                parked = step.move;
                cycleMoved.clear();
                cycleBroken = false;
            } else {
                finish(entry, false);
            }
            break;
        case MoveOrder::Step::Move:
            if (parked >= 0 && (cycleBroken || stopping)) {
                entry.error = stopping ? QStringLiteral("The run was stopped.") : cycleFailed();
                cycleBroken = true;
                finish(entry, false);
                break;
            }
            if (move(entry, RenameRun::oldNameOf(entry), RenameRun::newNameOf(entry), &error)) {
                if (parked >= 0)
                    cycleMoved.push_back(step.move);
                finish(entry, true);
            } else {
                cycleBroken = parked >= 0;
                finish(entry, false);
            }
            break;
        case MoveOrder::Step::FromTemporary:
            if (parked < 0)
                break; // it never left its name, and failed then
            bool ownFailure = false;
            if (!cycleBroken && !stopping) {
                if (move(entry, m_parkedName.constData(), RenameRun::newNameOf(entry), &error)) {
                    finish(entry, true);
                    parked = -1;
                    cycleMoved.clear();
                    break;
                }
                ownFailure = true;
            }
            // Undo the cycle, last move first: each file's old name is free
            // again once the file after it has gone back.
            for (auto k = cycleMoved.rbegin(); k != cycleMoved.rend(); ++k) {
                RenameRun::Entry &moved = m_entries[positions[size_t(*k)]];
                if (move(moved, RenameRun::newNameOf(moved), RenameRun::oldNameOf(moved), &error)) {
                    moved.outcome = RenameRun::Outcome::Failed;
                    moved.error = cycleFailed();
                    if (m_recorder.outcome)
                        m_recorder.outcome(qsizetype(&moved - m_entries), false);
                }
            }
            const QString why = ownFailure ? entry.error
                                : stopping ? QStringLiteral("The run was stopped.")
                                           : cycleFailed();
            if (move(entry, m_parkedName.constData(), RenameRun::oldNameOf(entry), &error)) {
                entry.error = why;
            } else {
                entry.error = why + QStringLiteral(" (the file was left as “%1”)")
                                        .arg(TextEscape::path(m_parkedName));
            }
            finish(entry, false);
            parked = -1;
            cycleMoved.clear();
            break;
        }
    }
    if (unpublished > 0)
        finishedSome(unpublished);
}
