// SPDX-License-Identifier: MIT
#include "ShareNodes.h"

#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace share_fs
{

void hangIfAsked(const Share& share, const Node& node)
{
    if (share.hangName.empty())
        return;
    const std::size_t slash = node.path.rfind('/');
    const std::string_view name
        = std::string_view(node.path).substr(slash == std::string::npos ? 0 : slash + 1);
    if (name != share.hangName)
        return;
    std::fprintf(stderr, "share_fs: hanging %s\n", node.path.c_str());
    pollfd released { share.releaseFd, POLLIN, 0 };
    // Ends with POLLHUP once the write end is closed; a worker cancelled at
    // the share's end is cancelled here, in poll().
    while (poll(&released, 1, -1) < 0 && errno == EINTR) { }
}

int statPath(const Share& share, const std::string& path, struct stat* st)
{
    long done = atPath(share, path, [st](int folder, const char* relative) {
        return fstatat(folder, relative, st, AT_SYMLINK_NOFOLLOW);
    });
    return done == 0 ? 0 : errno;
}

int openPath(const Share& share, const std::string& path, int flags)
{
    return int(atPath(share, path, [flags](int folder, const char* relative) {
        return openat(folder, relative, flags | O_NOFOLLOW | O_CLOEXEC);
    }));
}

int lookUp(Share& share, Node& parent, const char* name, fuse_entry_param* entry)
{
    std::string path = parent.path == "." ? name : parent.path + "/" + name;
    std::memset(entry, 0, sizeof *entry);
    if (int error = statPath(share, path, &entry->attr))
        return error;
    Node* node;
    {
        std::lock_guard lock(share.nodesMutex);
        auto key = std::make_pair(entry->attr.st_dev, entry->attr.st_ino);
        auto found = share.nodes.find(key);
        if (found != share.nodes.end()) {
            node = found->second;
        } else {
            node = new Node { std::move(path), key.first, key.second, 0 };
            share.nodes.emplace(key, node);
        }
        ++node->lookups;
    }
    entry->ino = idOf(share, node);
    entry->attr_timeout = share.cacheSeconds;
    entry->entry_timeout = share.cacheSeconds;
    return 0;
}

void forgetNode(Share& share, fuse_ino_t ino, std::uint64_t count)
{
    Node& node = nodeOf(share, ino);
    std::lock_guard lock(share.nodesMutex);
    node.lookups -= std::min(node.lookups, count);
    if (node.lookups > 0 || &node == &share.root)
        return;
    share.nodes.erase({ node.dev, node.ino });
    delete &node;
}

std::string countsLine(const Share& share)
{
    std::uint64_t delayed = 0;
    for (const auto& count : share.counts)
        delayed += count.load();
    char line[256];
    std::snprintf(line, sizeof line,
        "delayed %llu lookup %llu getattr %llu opendir %llu readdir %llu peak-in-flight %u\n",
        static_cast<unsigned long long>(delayed),
        static_cast<unsigned long long>(share.counts[Lookup].load()),
        static_cast<unsigned long long>(share.counts[Getattr].load()),
        static_cast<unsigned long long>(share.counts[Opendir].load()),
        static_cast<unsigned long long>(share.counts[Readdir].load()), share.peakInFlight.load());
    return line;
}

} // namespace share_fs
