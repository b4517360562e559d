// SPDX-License-Identifier: MIT
#include "platform/posix/PosixDirectoryCursor.h"

#include "platform/posix/FileDescriptor.h"
#include "platform/posix/LongPath.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vantorel::dirwalk {

namespace {

constexpr std::size_t kBufferSize = std::size_t{64} * 1024;
constexpr int kEnterFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
constexpr int kRootFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// The kernel's record; glibc exposes no declaration of its own for it.
struct LinuxDirent64
{
    std::uint64_t d_ino;
    std::int64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[1];
};

bool isDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Whether an entry the kernel could not type, or a link, is a folder to
// deliver, and as what. Anything that cannot be classified is left out.
bool classify(int dirfd, const char* name, unsigned char type, FolderKind& kind)
{
    struct stat status;
    if (type == DT_UNKNOWN) {
        if (::fstatat(dirfd, name, &status, AT_SYMLINK_NOFOLLOW) != 0)
            return false;
        if (S_ISDIR(status.st_mode)) {
            kind = FolderKind::Folder;
            return true;
        }
        if (!S_ISLNK(status.st_mode))
            return false;
    }
    if (::fstatat(dirfd, name, &status, 0) != 0 || !S_ISDIR(status.st_mode))
        return false;
    kind = FolderKind::Link;
    return true;
}

} // namespace

PosixDirectoryCursor::PosixDirectoryCursor() : m_buffer(new char[kBufferSize]) {}

PosixDirectoryCursor::~PosixDirectoryCursor()
{
    closeAll();
}

void PosixDirectoryCursor::closeAll()
{
    for (Level& level : m_levels)
        if (level.fd >= 0)
            ::close(level.fd);
    m_levels.clear();
    m_keptDescriptors = 0;
    m_path.clear();
}

bool PosixDirectoryCursor::readListing(int fd, SubfolderList& out, std::string& error)
{
    out.clear();
    char* const buffer = m_buffer.get();
    for (;;) {
        const long read = ::syscall(SYS_getdents64, fd, buffer, kBufferSize);
        if (read < 0) {
            error = systemReason(errno);
            out.clear();
            return false;
        }
        if (read == 0)
            return true;
        for (long offset = 0; offset < read;) {
            const auto* entry = reinterpret_cast<const LinuxDirent64*>(buffer + offset);
            offset += entry->d_reclen;
            const char* name = entry->d_name;
            if (isDotOrDotDot(name))
                continue;
            if (entry->d_type == DT_DIR) {
                out.add(name, FolderKind::Folder);
                continue;
            }
            FolderKind kind;
            if ((entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN)
                && classify(fd, name, entry->d_type, kind))
                out.add(name, kind);
        }
    }
}

bool PosixDirectoryCursor::openRoot(std::string_view path, SubfolderList& out, std::string& error)
{
    out.clear();
    return openFirst(path, kRootFlags, &out, error);
}

bool PosixDirectoryCursor::openToEnter(std::string_view path, bool followLink, std::string& error)
{
    return openFirst(path, followLink ? kRootFlags : kEnterFlags, nullptr, error);
}

bool PosixDirectoryCursor::openFirst(std::string_view path, int flags, SubfolderList* out, std::string& error)
{
    closeAll();
    if (path.empty()) {
        error = systemReason(ENOENT);
        return false;
    }
    const std::string text(path);
    FileDescriptor fd(openLongPath(AT_FDCWD, text, flags));
    if (!fd.valid()) {
        error = systemReason(errno);
        return false;
    }
    if (out && !readListing(fd.get(), *out, error))
        return false;

    m_path = text;
    while (!m_path.empty() && m_path.back() == '/')
        m_path.pop_back();
    m_levels.push_back({m_path.size(), fd.release(), 0});
    m_keptDescriptors = 1;
    return true;
}

bool PosixDirectoryCursor::enter(std::string_view name, SubfolderList& out, std::string& error)
{
    if (m_levels.empty()) {
        error = systemReason(EBADF);
        return false;
    }
    const Level& parent = m_levels.back();
    const std::size_t depth = m_levels.size();
    const std::size_t anchor = parent.fd >= 0 ? depth - 1 : parent.anchor;
    const Level& anchorLevel = m_levels[anchor];

    m_path.push_back('/');
    m_path.append(name);
    // The child's path below its anchor: a suffix of m_path, so zero-terminated.
    const std::string_view relative =
        std::string_view(m_path).substr(anchorLevel.pathLength + 1);

    FileDescriptor fd(relative.size() < kLongPathPiece
                          ? ::openat(anchorLevel.fd, relative.data(), kEnterFlags)
                          : openLongPath(anchorLevel.fd, relative, kEnterFlags));
    if (!fd.valid() || !readListing(fd.get(), out, error)) {
        if (!fd.valid())
            error = systemReason(errno);
        m_path.resize(parent.pathLength);
        out.clear();
        return false;
    }

    const bool keep = (depth < kKeptDepth || relative.size() >= kAnchorSpan)
                      && m_keptDescriptors < kMaxKeptDescriptors;
    if (keep) {
        m_levels.push_back({m_path.size(), fd.release(), depth});
        ++m_keptDescriptors;
    } else {
        m_levels.push_back({m_path.size(), -1, anchor});
    }
    return true;
}

void PosixDirectoryCursor::leave()
{
    if (m_levels.empty())
        return;
    const Level& level = m_levels.back();
    if (level.fd >= 0) {
        ::close(level.fd);
        --m_keptDescriptors;
    }
    m_levels.pop_back();
    if (m_levels.empty())
        m_path.clear();
    else
        m_path.resize(m_levels.back().pathLength);
}

std::unique_ptr<DirectoryCursor> makeSystemDirectoryCursor()
{
    return std::make_unique<PosixDirectoryCursor>();
}

} // namespace vantorel::dirwalk
