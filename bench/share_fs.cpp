// SPDX-License-Identifier: MIT
// An emulated network share for the walk benchmarks: a read-only FUSE
// pass-through of SOURCE at MOUNTPOINT that answers every LOOKUP, GETATTR,
// OPENDIR and READDIR only after a round trip of --delay milliseconds, at most
// --slots of them at once (the rest queue), as an NFS or SMB client waits on
// its server. What a walk gains on a share is how many calls it keeps in
// flight; this makes that measurable on a local disk.
//
//   share_fs SOURCE MOUNTPOINT [--delay MS] [--slots N] [--cache SECONDS]
//            [--counts FILE] [--timeline FILE] [--hang NAME]
//
// --delay may be fractional (0.5); default 0.5 ms. --slots: default 64.
// --cache: how long the kernel may keep names and attributes, default 0.1 s,
// short so that it cannot hide the round trips for a whole walk. Runs in the
// foreground until unmounted (fusermount3 -u MOUNTPOINT, or umount), then
// prints the round trips by kind to stderr and, with --counts, to FILE:
//
//   delayed N lookup N getattr N opendir N readdir N peak-in-flight N
//
// With --hang, the listing of every folder named NAME gets no answer, as from
// a share that stopped answering, until share_fs gets SIGUSR1 (the share is
// back: every listing held and every later one is answered) or ends; each
// listing held prints "share_fs: hanging PATH" to stderr as it starts to wait.
//
// With --timeline, FILE gets a line every 100 ms from the first call on: the
// milliseconds since, and the calls answered in those 100 ms times the delay
// over 100 ms, the round trips that were in flight on average then.
//
// Symbolic links are passed through as links; names are passed as the bytes
// they are; folders mounted inside SOURCE are walked into like any other.
// Nodes are held by their paths under SOURCE, not by open descriptors: the
// kernel keeps every name it has looked up, more than a process may hold open.

#include "ShareNodes.h"
#include "ShareOptions.h"

#include <csignal>
#include <sys/statvfs.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

using namespace share_fs;

namespace
{

void onInit(void*, fuse_conn_info* conn)
{
    // Plain READDIR, as the walks ask it, and no listing kept in the kernel:
    // every folder opened is a round trip to the share.
    conn->want &= ~(FUSE_CAP_READDIRPLUS | FUSE_CAP_READDIRPLUS_AUTO);
    if (conn->capable & FUSE_CAP_PARALLEL_DIROPS)
        conn->want |= FUSE_CAP_PARALLEL_DIROPS;
}

void onLookup(fuse_req_t req, fuse_ino_t parent, const char* name)
{
    Share& share = shareOf(req);
    RoundTrip trip(share, Lookup);
    fuse_entry_param entry;
    int error = lookUp(share, nodeOf(share, parent), name, &entry);
    trip.finish();
    if (error)
        fuse_reply_err(req, error);
    else
        fuse_reply_entry(req, &entry);
}

void onForget(fuse_req_t req, fuse_ino_t ino, std::uint64_t count)
{
    forgetNode(shareOf(req), ino, count);
    fuse_reply_none(req);
}

void onForgetMulti(fuse_req_t req, std::size_t count, fuse_forget_data* forgets)
{
    for (std::size_t i = 0; i < count; ++i)
        forgetNode(shareOf(req), forgets[i].ino, forgets[i].nlookup);
    fuse_reply_none(req);
}

void onGetattr(fuse_req_t req, fuse_ino_t ino, fuse_file_info*)
{
    Share& share = shareOf(req);
    RoundTrip trip(share, Getattr);
    struct stat st;
    int error = statPath(share, nodeOf(share, ino).path, &st);
    trip.finish();
    if (error)
        fuse_reply_err(req, error);
    else
        fuse_reply_attr(req, &st, share.cacheSeconds);
}

void onReadlink(fuse_req_t req, fuse_ino_t ino)
{
    char target[PATH_MAX + 1];
    Share& share = shareOf(req);
    long length
        = atPath(share, nodeOf(share, ino).path, [&target](int folder, const char* relative) {
              return readlinkat(folder, relative, target, PATH_MAX);
          });
    if (length < 0) {
        fuse_reply_err(req, errno);
        return;
    }
    target[length] = '\0';
    fuse_reply_readlink(req, target);
}

void onOpendir(fuse_req_t req, fuse_ino_t ino, fuse_file_info* info)
{
    Share& share = shareOf(req);
    RoundTrip trip(share, Opendir);
    int fd = openPath(share, nodeOf(share, ino).path, O_RDONLY | O_DIRECTORY);
    int error = fd < 0 ? errno : 0;
    DIR* dir = fd < 0 ? nullptr : fdopendir(fd);
    if (fd >= 0 && !dir) {
        error = errno;
        close(fd);
    }
    trip.finish();
    if (error) {
        fuse_reply_err(req, error);
        return;
    }
    info->fh = reinterpret_cast<std::uint64_t>(new OpenFolder { dir });
    if (fuse_reply_open(req, info) != 0) {
        closedir(dir);
        delete reinterpret_cast<OpenFolder*>(info->fh);
    }
}

/// Fills `buffer` with the entries from `offset` on, as many as fit.
int listFrom(
    fuse_req_t req, OpenFolder& folder, off_t offset, std::vector<char>& buffer, std::size_t* used)
{
    if (offset != folder.offset) {
        seekdir(folder.dir, offset);
        folder.pending = nullptr;
        folder.offset = offset;
    }
    *used = 0;
    for (;;) {
        if (!folder.pending) {
            errno = 0;
            folder.pending = readdir(folder.dir);
            if (!folder.pending)
                return *used == 0 ? errno : 0;
        }
        struct stat st {
        };
        st.st_ino = folder.pending->d_ino;
        st.st_mode = mode_t(folder.pending->d_type) << 12;
        off_t next = folder.pending->d_off;
        std::size_t size = fuse_add_direntry(
            req, buffer.data() + *used, buffer.size() - *used, folder.pending->d_name, &st, next);
        if (size > buffer.size() - *used)
            return 0;
        *used += size;
        folder.pending = nullptr;
        folder.offset = next;
    }
}

void onReaddir(fuse_req_t req, fuse_ino_t ino, std::size_t size, off_t offset, fuse_file_info* info)
{
    Share& share = shareOf(req);
    hangIfAsked(share, nodeOf(share, ino));
    RoundTrip trip(share, Readdir);
    std::vector<char> buffer(size);
    std::size_t used = 0;
    int error = listFrom(req, *reinterpret_cast<OpenFolder*>(info->fh), offset, buffer, &used);
    trip.finish();
    if (error)
        fuse_reply_err(req, error);
    else
        fuse_reply_buf(req, buffer.data(), used);
}

void onReleasedir(fuse_req_t req, fuse_ino_t, fuse_file_info* info)
{
    auto* folder = reinterpret_cast<OpenFolder*>(info->fh);
    closedir(folder->dir);
    delete folder;
    fuse_reply_err(req, 0);
}

void onOpen(fuse_req_t req, fuse_ino_t ino, fuse_file_info* info)
{
    if ((info->flags & O_ACCMODE) != O_RDONLY) {
        fuse_reply_err(req, EROFS);
        return;
    }
    Share& share = shareOf(req);
    int fd = openPath(share, nodeOf(share, ino).path, O_RDONLY);
    if (fd < 0) {
        fuse_reply_err(req, errno);
        return;
    }
    info->fh = std::uint64_t(fd);
    if (fuse_reply_open(req, info) != 0)
        close(fd);
}

void onRead(fuse_req_t req, fuse_ino_t, std::size_t size, off_t offset, fuse_file_info* info)
{
    std::vector<char> buffer(size);
    ssize_t length = pread(int(info->fh), buffer.data(), size, offset);
    if (length < 0)
        fuse_reply_err(req, errno);
    else
        fuse_reply_buf(req, buffer.data(), std::size_t(length));
}

void onRelease(fuse_req_t req, fuse_ino_t, fuse_file_info* info)
{
    close(int(info->fh));
    fuse_reply_err(req, 0);
}

void onStatfs(fuse_req_t req, fuse_ino_t)
{
    struct statvfs st;
    if (fstatvfs(shareOf(req).sourceFd, &st) != 0)
        fuse_reply_err(req, errno);
    else
        fuse_reply_statfs(req, &st);
}

fuse_lowlevel_ops operations()
{
    fuse_lowlevel_ops ops {};
    ops.init = onInit;
    ops.lookup = onLookup;
    ops.forget = onForget;
    ops.forget_multi = onForgetMulti;
    ops.getattr = onGetattr;
    ops.readlink = onReadlink;
    ops.opendir = onOpendir;
    ops.readdir = onReaddir;
    ops.releasedir = onReleasedir;
    ops.open = onOpen;
    ops.read = onRead;
    ops.release = onRelease;
    ops.statfs = onStatfs;
    return ops;
}

/// Writes the share's round trips in flight, averaged over each 100 ms from
/// the first call, to `file` until `done`.
void writeTimeline(const Share& share, double delayMs, FILE* file, const std::atomic<bool>& done)
{
    constexpr auto kStep = std::chrono::milliseconds(100);
    while (!done && share.answered.load() == 0 && share.inFlight.load() == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const auto start = std::chrono::steady_clock::now();
    std::uint64_t before = 0;
    for (auto next = start + kStep; !done; next += kStep) {
        std::this_thread::sleep_until(next);
        const std::uint64_t answered = share.answered.load();
        std::fprintf(file, "%lld %.1f\n",
            static_cast<long long>(
                std::chrono::duration_cast<std::chrono::milliseconds>(next - start).count()),
            double(answered - before) * delayMs / 100.0);
        before = answered;
    }
}

/// Mounts, serves until unmounted, unmounts; false when any of it failed.
bool serve(Share& share, const Options& options)
{
    // Read-only, and permissions checked by the kernel from the attributes, as
    // a share's client does; root's mount is open to every user of the benchmark.
    std::string mountOptions = "ro,default_permissions,fsname=share_fs,subtype=ostlebry-share";
    if (geteuid() == 0)
        mountOptions += ",allow_other";
    char* arguments[]
        = { const_cast<char*>("share_fs"), const_cast<char*>("-o"), mountOptions.data(), nullptr };
    fuse_args args = FUSE_ARGS_INIT(3, arguments);
    fuse_lowlevel_ops ops = operations();
    fuse_session* session = fuse_session_new(&args, &ops, sizeof ops, &share);
    if (!session)
        return false;
    bool served = false;
    if (fuse_set_signal_handlers(session) == 0) {
        if (fuse_session_mount(session, options.mountPoint) == 0) {
            // One thread a slot, and a few more for the calls that are not
            // delayed (forgets, releases), so that they never wait for a slot.
            fuse_loop_config* loop = fuse_loop_cfg_create();
            fuse_loop_cfg_set_max_threads(loop, unsigned(options.slots) + 8);
            fuse_loop_cfg_set_idle_threads(loop, unsigned(options.slots) + 8);
            std::atomic<bool> done = false;
            FILE* timeline = options.timelineFile ? std::fopen(options.timelineFile, "w") : nullptr;
            std::thread sampler;
            if (timeline)
                sampler
                    = std::thread([&] { writeTimeline(share, options.delayMs, timeline, done); });
            else if (options.timelineFile)
                std::fprintf(
                    stderr, "share_fs: %s: %s\n", options.timelineFile, std::strerror(errno));
            served = fuse_session_loop_mt(session, loop) == 0;
            done = true;
            if (sampler.joinable()) {
                sampler.join();
                served = std::fclose(timeline) == 0 && served;
            }
            fuse_loop_cfg_destroy(loop);
            fuse_session_unmount(session);
        }
        fuse_remove_signal_handlers(session);
    }
    fuse_session_destroy(session);
    return served;
}

/// The write end of the pipe that hung listings wait on: closed, it lets them all go.
int g_releaseHung = -1;

void releaseHung(int)
{
    if (g_releaseHung >= 0)
        close(g_releaseHung); // async-signal-safe; a second signal finds it closed
    g_releaseHung = -1;
}

/// Hung listings wait until SIGUSR1 closes the pipe's write end, or the share ends.
bool prepareHanging(Share& share, const Options& options)
{
    if (!options.hangName)
        return true;
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        std::fprintf(stderr, "share_fs: pipe: %s\n", std::strerror(errno));
        return false;
    }
    share.hangName = options.hangName;
    // A share told to hang ends with whoever started it, which lets every
    // call it holds go: else a test that fails leaves its process held for good.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    share.releaseFd = ends[0];
    g_releaseHung = ends[1];
    struct sigaction action {
    };
    action.sa_handler = releaseHung;
    sigemptyset(&action.sa_mask);
    return sigaction(SIGUSR1, &action, nullptr) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, &options) || !mountOutsideSource(options))
        return 2;
    Share share;
    share.delayNs = long(options.delayMs * 1e6 + 0.5);
    share.cacheSeconds = options.cacheSeconds;
    share.slots = std::make_unique<std::counting_semaphore<INT_MAX>>(options.slots);
    share.sourceFd = open(options.source, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    share.root.path.assign(1, '.');
    if (!prepareHanging(share, options))
        return 2;
    struct stat st;
    if (share.sourceFd < 0 || fstat(share.sourceFd, &st) != 0) {
        std::fprintf(stderr, "share_fs: %s: %s\n", options.source, std::strerror(errno));
        return 2;
    }
    share.root.dev = st.st_dev;
    share.root.ino = st.st_ino;
    share.root.lookups = 1;
    share.nodes.emplace(std::make_pair(st.st_dev, st.st_ino), &share.root);

    bool served = serve(share, options);
    releaseHung(SIGUSR1);
    std::string counts = countsLine(share);
    std::fputs(counts.c_str(), stderr);
    if (options.countsFile) {
        FILE* file = std::fopen(options.countsFile, "w");
        if (!file || std::fputs(counts.c_str(), file) < 0 || std::fclose(file) != 0) {
            std::fprintf(stderr, "share_fs: %s: %s\n", options.countsFile, std::strerror(errno));
            return 1;
        }
    }
    return served ? 0 : 1;
}
