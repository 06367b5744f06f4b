// SPDX-License-Identifier: GPL-3.0-or-later
#include "metareader/confine.h"

#include <cerrno>
#include <fcntl.h>
#include <initializer_list>
#include <seccomp.h>
#include <sys/resource.h>
#include <unistd.h>

// Why the confinement holds. The reader parses files that anyone may have
// made, with libraries that have had many memory-safety faults, so we assume
// that a hostile file can take over the reader's code. What such code can
// then do is what the kernel lets this process do, and that is fixed here,
// before the first file is opened, for the rest of the process's life:
//  - a seccomp filter that denies every system call not on the list below
//    and kills the process on one. The list has reading (open only without
//    O_WRONLY, O_RDWR, O_CREAT, O_TRUNC or O_APPEND, which fail with
//    EACCES), memory, time and exit, and write() on descriptor 1 only, the
//    pipe the program reads answers from. There is no socket, connect,
//    execve, fork, clone, kill, ptrace, rename, unlink or ioctl: no network,
//    no new process, no change to any file. The filter cannot be lifted
//    (no_new_privs is set and seccomp allows no unloading), and it is
//    inherited by nothing since nothing can be started.
//  - resource limits: address space (a file that makes a parser allocate
//    without end fails its allocation instead of swapping the desktop
//    away), processor time, no core files, no processes, no file bytes
//    written, few descriptors.
//  - every descriptor but 0, 1 and 2 closed first, so none inherited by
//    mistake can be written to.
// What is left is reading the files the user can read and writing to the
// program's pipe, which the program treats as untrusted text: each answer is
// bounded, parsed defensively and only ever put into a file name. A reader
// that hangs is killed by the program after a few seconds.
bool confineReader()
{
    ::close_range(3, ~0U, 0);

    const struct
    {
        int resource;
        rlim_t limit;
    } limits[] = {
        {RLIMIT_AS, rlim_t(1) << 30},
        // The program restarts a reader long before this.
        {RLIMIT_CPU, 600},
        {RLIMIT_CORE, 0},
        {RLIMIT_NPROC, 0},
        {RLIMIT_FSIZE, 0},
        {RLIMIT_NOFILE, 32},
    };
    for (const auto &entry : limits) {
        const struct rlimit limit = {entry.limit, entry.limit};
        if (::setrlimit(entry.resource, &limit) != 0)
            return false;
    }

    scmp_filter_ctx filter = seccomp_init(SCMP_ACT_KILL_PROCESS);
    if (!filter)
        return false;
    bool ok = true;
    const int allowed[] = {
        SCMP_SYS(read),
        SCMP_SYS(pread64),
        SCMP_SYS(readv),
        SCMP_SYS(fstat),
        SCMP_SYS(newfstatat),
        SCMP_SYS(statx),
        SCMP_SYS(lseek),
        SCMP_SYS(close),
        SCMP_SYS(mmap),
        SCMP_SYS(munmap),
        SCMP_SYS(mprotect),
        SCMP_SYS(mremap),
        SCMP_SYS(brk),
        SCMP_SYS(madvise),
        SCMP_SYS(futex),
        SCMP_SYS(exit_group),
        SCMP_SYS(exit),
        SCMP_SYS(rt_sigreturn),
        SCMP_SYS(rt_sigprocmask),
        SCMP_SYS(getrandom),
        SCMP_SYS(clock_gettime),
        SCMP_SYS(gettimeofday),
        SCMP_SYS(getpid),
        SCMP_SYS(gettid),
        SCMP_SYS(fcntl),
        SCMP_SYS(getdents64),
        SCMP_SYS(readlink),
    };
    for (const int call : allowed)
        ok = ok && seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 0) == 0;
    // Descriptor 1 only.
    ok = ok &&
         seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(write), 1, SCMP_A0(SCMP_CMP_EQ, 1)) == 0;
    // Opening for reading only; any flag that writes or creates fails.
    const scmp_datum_t writing = O_WRONLY | O_RDWR | O_CREAT | O_TRUNC | O_APPEND;
    ok = ok && seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(openat), 1,
                                SCMP_A2(SCMP_CMP_MASKED_EQ, writing, 0)) == 0;
    for (const scmp_datum_t flag : {O_WRONLY, O_RDWR, O_CREAT, O_TRUNC, O_APPEND})
        ok = ok && seccomp_rule_add(filter, SCMP_ACT_ERRNO(EACCES), SCMP_SYS(openat), 1,
                                    SCMP_A2(SCMP_CMP_MASKED_EQ, flag, flag)) == 0;
    ok = ok && seccomp_load(filter) == 0;
    seccomp_release(filter);
    return ok;
}
