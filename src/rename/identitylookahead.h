// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/zqfile.h"

#include <atomic>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

// The inode and birth time of listed files, read on a second thread while a
// run makes its plan. The journal records them of every file it moves; a
// listing that kept none (the command line lists names alone) would have it
// look at each file once the plan is made, with the second processor idle
// all through the plan.
//
// Read only on volumes whose inode numbers last, the only ones where the
// journal takes an identity read before Start (as it takes the listing's);
// what is not read by the time the plan is done is left for the journal to
// read then, so that a run of few moves among many files waits for nothing.
class IdentityLookahead
{
public:
    // Starts reading where it can pay: a second processor and enough files.
    explicit IdentityLookahead(const std::vector<std::unique_ptr<ZQFile>> &records);
    // Stops and waits, as finish().
    ~IdentityLookahead();
    IdentityLookahead(const IdentityLookahead &) = delete;
    IdentityLookahead &operator=(const IdentityLookahead &) = delete;

    // Stops reading and waits for the thread: what is read so far is kept.
    void finish();

    // The identity read of records[position], once finish() has returned.
    std::optional<ZQFile::ListedIdentity> identity(qsizetype position) const;

private:
    void read();

    const std::vector<std::unique_ptr<ZQFile>> &m_records;
    std::vector<ZQFile::ListedIdentity> m_read; // inode 0 where not read
    std::atomic<bool> m_stop{false};
    std::jthread m_thread;
};
