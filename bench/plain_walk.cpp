// SPDX-License-Identifier: MIT
// The yardstick of the walk benchmarks: the plainest walk of a tree there is,
// one thread, one getdents64 buffer a folder, each folder opened from its
// parent's descriptor, links not followed. Counts the folders whose name
// contains PHRASE, ignoring ASCII case, as the engine's walk finds them.
//
//   plain_walk ROOT [PHRASE] [--print] [--threads N]
//
// Prints the number of matches and the walk's time to stderr; with --print,
// the matching paths to stdout, one a line, in the walk's pre-order. With
// --threads, N such walks share out the root's subfolders and run at once:
// what the machine's cores can do without any hand-over between them.
// Uses the file system alone, so that nothing of the program is in the yardstick.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace
{

struct LinuxDirent64 {
    ino64_t d_ino;
    off64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[];
};

char lowered(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

class PlainWalk
{
public:
    PlainWalk(std::string_view phrase, bool print)
        : m_print(print)
    {
        for (char c : phrase)
            m_phrase.push_back(lowered(c));
    }

    long long matches() const { return m_matches; }
    long long unlisted() const { return m_unlisted; }

    /// Walks the tree below the folder open at `fd`, whose path is `path`, and closes it.
    void walkTree(int fd, std::string_view path)
    {
        m_path.assign(path);
        walk(fd, 0);
    }

    /// Walks the subfolders `names` of the folder open at `fd`, whose path is
    /// `path`, each with the tree below it.
    void walkSubfolders(int fd, std::string_view path, const std::vector<std::string>& names)
    {
        m_path.assign(path);
        for (const std::string& name : names)
            visit(fd, name.c_str(), path.size(), 1);
    }

    /// The names of the subfolders of the folder open at `fd`.
    static std::vector<std::string> subfolders(int fd)
    {
        std::vector<std::string> names;
        const auto buffer = std::make_unique<char[]>(kBufferSize);
        long read;
        while ((read = ::syscall(SYS_getdents64, fd, buffer.get(), kBufferSize)) > 0) {
            for (long offset = 0; offset < read;) {
                const auto* entry = reinterpret_cast<const LinuxDirent64*>(buffer.get() + offset);
                offset += entry->d_reclen;
                if (isFolder(fd, *entry))
                    names.emplace_back(entry->d_name);
            }
        }
        return names;
    }

private:
    // Sized as the engine's cursor reads: one call lists most folders.
    static constexpr std::size_t kBufferSize = std::size_t { 64 } * 1024;

    /// Walks the folder open at `fd`, whose path is m_path, and closes it.
    /// Each level keeps its folder open and its buffer while the walk is below.
    void walk(int fd, std::size_t depth)
    {
        while (m_buffers.size() <= depth)
            m_buffers.push_back(std::make_unique<char[]>(kBufferSize));
        const std::size_t length = m_path.size();
        for (;;) {
            char* const buffer = m_buffers[depth].get();
            const long read = ::syscall(SYS_getdents64, fd, buffer, kBufferSize);
            if (read < 0)
                ++m_unlisted;
            if (read <= 0)
                break;
            for (long offset = 0; offset < read;) {
                const auto* entry = reinterpret_cast<const LinuxDirent64*>(buffer + offset);
                offset += entry->d_reclen;
                if (isFolder(fd, *entry))
                    visit(fd, entry->d_name, length, depth + 1);
            }
        }
        ::close(fd);
    }

    static bool isFolder(int fd, const LinuxDirent64& entry)
    {
        const char* name = entry.d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            return false;
        if (entry.d_type != DT_UNKNOWN)
            return entry.d_type == DT_DIR;
        struct stat status;
        return ::fstatat(fd, name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(status.st_mode);
    }

    bool nameMatches(const char* name)
    {
        m_lowered.assign(name);
        for (char& c : m_lowered)
            c = lowered(c);
        return m_lowered.find(m_phrase) != std::string::npos;
    }

    void visit(int parent, const char* name, std::size_t parentLength, std::size_t depth)
    {
        m_path.push_back('/');
        m_path.append(name);
        if (nameMatches(name)) {
            ++m_matches;
            if (m_print)
                std::printf("%s\n", m_path.c_str());
        }
        const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            ++m_unlisted;
        else
            walk(fd, depth);
        m_path.resize(parentLength);
    }

    std::string m_phrase;
    std::string m_path;
    std::string m_lowered;
    std::vector<std::unique_ptr<char[]>> m_buffers;
    bool m_print;
    long long m_matches = 0;
    long long m_unlisted = 0;
};

} // namespace

int main(int argc, char** argv)
{
    const char* root = nullptr;
    const char* phrase = "alpha";
    bool print = false;
    std::size_t threads = 1;
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--print") == 0)
            print = true;
        else if (std::strcmp(argv[i], "--threads") == 0 && i + 1 < argc)
            threads = std::clamp(std::atoi(argv[++i]), 1, 64);
        else if (positional++ == 0)
            root = argv[i];
        else
            phrase = argv[i];
    }
    if (!root) {
        std::fprintf(stderr, "usage: %s ROOT [PHRASE] [--print] [--threads N]\n", argv[0]);
        return 2;
    }
    std::string path = root;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();

    const auto start = std::chrono::steady_clock::now();
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "%s: %s\n", root, std::strerror(errno));
        return 1;
    }
    std::vector<PlainWalk> walks;
    for (std::size_t i = 0; i < threads; ++i)
        walks.emplace_back(phrase, print);
    if (threads == 1) {
        walks[0].walkTree(fd, path);
    } else {
        // Dealt out in turn: the tree is bushy near the top, so the shares come out alike.
        const std::vector<std::string> names = PlainWalk::subfolders(fd);
        std::vector<std::vector<std::string>> shares(threads);
        for (std::size_t i = 0; i < names.size(); ++i)
            shares[i % threads].push_back(names[i]);
        std::vector<std::thread> running;
        for (std::size_t i = 0; i < threads; ++i)
            running.emplace_back([&, i] { walks[i].walkSubfolders(fd, path, shares[i]); });
        for (std::thread& thread : running)
            thread.join();
        ::close(fd);
    }
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    long long matches = 0;
    long long unlisted = 0;
    for (const PlainWalk& walk : walks) {
        matches += walk.matches();
        unlisted += walk.unlisted();
    }
    std::fprintf(
        stderr, "matches %lld, unlisted %lld, walk %.1f ms\n", matches, unlisted, took.count());
    return 0;
}
