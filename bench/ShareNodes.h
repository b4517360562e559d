// SPDX-License-Identifier: MIT
// The emulated share's state: the nodes the kernel knows, by their paths under
// the source; the round trips' slots, delay and counts; and the calls that
// reach the source folder by path.
#pragma once

#define FUSE_USE_VERSION 314
#include <fuse_lowlevel.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <semaphore>
#include <string>
#include <string_view>
#include <utility>

namespace share_fs
{

/// One file or folder the kernel knows, by its path under the source (the
/// first path the kernel looked it up by, for a file with several).
struct Node {
    std::string path;
    dev_t dev = 0;
    ino_t ino = 0;
    std::uint64_t lookups = 0;
};

/// An open folder: the listing and where the kernel has read it to.
struct OpenFolder {
    DIR* dir = nullptr;
    off_t offset = 0;
    dirent* pending = nullptr;
};

enum Kind { Lookup, Getattr, Opendir, Readdir, KindCount };
inline const char* const kKindNames[KindCount] = { "lookup", "getattr", "opendir", "readdir" };

struct Share {
    int sourceFd = -1;
    Node root;
    std::mutex nodesMutex;
    std::map<std::pair<dev_t, ino_t>, Node*> nodes;

    long delayNs = 500000;
    double cacheSeconds = 0.1;
    std::unique_ptr<std::counting_semaphore<INT_MAX>> slots;
    std::atomic<std::uint64_t> counts[KindCount] {};
    std::atomic<unsigned> inFlight { 0 };
    std::atomic<unsigned> peakInFlight { 0 };
    std::atomic<std::uint64_t> answered { 0 };

    /// Listings of folders with this name wait until releaseFd reads its end.
    std::string hangName;
    int releaseFd = -1;
};

inline Share& shareOf(fuse_req_t req)
{
    return *static_cast<Share*>(fuse_req_userdata(req));
}

inline Node& nodeOf(Share& share, fuse_ino_t ino)
{
    return ino == FUSE_ROOT_ID ? share.root : *reinterpret_cast<Node*>(ino);
}

inline fuse_ino_t idOf(Share& share, Node* node)
{
    return node == &share.root ? FUSE_ROOT_ID : reinterpret_cast<fuse_ino_t>(node);
}

/// One delayed call: takes a slot, and on finish() sleeps out what is left of
/// the round trip and gives the slot back, before the reply goes out.
class RoundTrip
{
public:
    RoundTrip(Share& share, Kind kind)
        : m_share(share)
    {
        // The default slack of 50 µs would lengthen every short round trip.
        thread_local bool tightTimers = (prctl(PR_SET_TIMERSLACK, 1UL), true);
        (void)tightTimers;
        m_share.counts[kind].fetch_add(1, std::memory_order_relaxed);
        m_share.slots->acquire();
        unsigned now = m_share.inFlight.fetch_add(1) + 1;
        unsigned peak = m_share.peakInFlight.load();
        while (now > peak && !m_share.peakInFlight.compare_exchange_weak(peak, now)) { }
        clock_gettime(CLOCK_MONOTONIC, &m_end);
        m_end.tv_nsec += m_share.delayNs;
        m_end.tv_sec += m_end.tv_nsec / 1000000000L;
        m_end.tv_nsec %= 1000000000L;
    }
    RoundTrip(const RoundTrip&) = delete;
    RoundTrip& operator=(const RoundTrip&) = delete;
    ~RoundTrip() { finish(); }

    void finish()
    {
        if (m_done)
            return;
        m_done = true;
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &m_end, nullptr) == EINTR) { }
        m_share.inFlight.fetch_sub(1);
        m_share.answered.fetch_add(1, std::memory_order_relaxed);
        m_share.slots->release();
    }

private:
    Share& m_share;
    timespec m_end {};
    bool m_done = false;
};

/// Runs `call(folderFd, relativePath)` for `path` under the source, going down
/// in steps when the path is longer than the kernel takes in one call. Every
/// step but the last is a folder, never a link: the kernel looks names up in
/// folders only. Returns what `call` returns, -1 with errno when a step fails.
template <class Call> long atPath(const Share& share, const std::string& path, Call call)
{
    int folder = share.sourceFd;
    int held = -1;
    std::string_view rest = path;
    while (rest.size() >= PATH_MAX) {
        std::size_t cut = rest.rfind('/', PATH_MAX - 1);
        if (cut == std::string_view::npos || cut == 0) {
            errno = ENAMETOOLONG;
            break;
        }
        int next = openat(folder, std::string(rest.substr(0, cut)).c_str(),
            O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (held >= 0)
            close(held);
        if (next < 0)
            return -1;
        folder = held = next;
        rest.remove_prefix(cut + 1);
    }
    long result = rest.size() >= PATH_MAX ? -1 : long(call(folder, std::string(rest).c_str()));
    int error = errno;
    if (held >= 0)
        close(held);
    errno = error;
    return result;
}

/// Holds the call, unanswered, while `node` bears the name whose listings
/// hang, until the share is released.
void hangIfAsked(const Share& share, const Node& node);
/// `fstatat` of `path` under the source, not following a link; 0 or errno.
int statPath(const Share& share, const std::string& path, struct stat* st);
/// Opens `path` under the source, not following a link at its end.
int openPath(const Share& share, const std::string& path, int flags);
/// Finds or makes the node of `name` in `parent`, counting the kernel's lookup.
int lookUp(Share& share, Node& parent, const char* name, fuse_entry_param* entry);
/// Drops `count` of the kernel's lookups of a node, and the node with the last.
void forgetNode(Share& share, fuse_ino_t ino, std::uint64_t count);
/// "delayed N lookup N getattr N opendir N readdir N peak-in-flight N\n"
std::string countsLine(const Share& share);

} // namespace share_fs
