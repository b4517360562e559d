// SPDX-License-Identifier: MIT
// The yardstick of the walk benchmarks: the plainest walk of a tree there is,
// one thread, one getdents64 buffer a folder, each folder opened from its
// parent's descriptor, links not followed. Counts the folders whose name
// contains PHRASE, ignoring ASCII case, as the engine's walk finds them.
//
//   plain_walk ROOT [PHRASE] [--print]
//
// Prints the number of matches and the walk's time to stderr; with --print,
// the matching paths to stdout, one a line, in the walk's pre-order.
// Uses the file system alone, so that nothing of the program is in the yardstick.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
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

    /// Walks the tree below `root`; false when the root cannot be opened.
    bool run(std::string_view root)
    {
        m_path.assign(root);
        while (m_path.size() > 1 && m_path.back() == '/')
            m_path.pop_back();
        const int fd = ::open(m_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return false;
        walk(fd, 0);
        return true;
    }

private:
    // Sized as the engine's cursor reads: one call lists most folders.
    static constexpr std::size_t kBufferSize = std::size_t { 64 } * 1024;

    /// Walks the folder open at `fd`, whose path is m_path, and closes it.
    /// Each level keeps its folder open and its buffer while the walk is below.
    void walk(int fd, std::size_t depth)
    {
        if (m_buffers.size() == depth)
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
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--print") == 0)
            print = true;
        else if (positional++ == 0)
            root = argv[i];
        else
            phrase = argv[i];
    }
    if (!root) {
        std::fprintf(stderr, "usage: %s ROOT [PHRASE] [--print]\n", argv[0]);
        return 2;
    }
    PlainWalk walk(phrase, print);
    const auto start = std::chrono::steady_clock::now();
    if (!walk.run(root)) {
        std::fprintf(stderr, "%s: %s\n", root, std::strerror(errno));
        return 1;
    }
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    std::fprintf(stderr, "matches %lld, unlisted %lld, walk %.1f ms\n", walk.matches(),
        walk.unlisted(), took.count());
    return 0;
}
