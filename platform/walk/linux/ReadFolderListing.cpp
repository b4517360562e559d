// SPDX-License-Identifier: MIT
#include "platform/walk/linux/ReadFolderListing.h"

#include "platform/walk/linux/LongPath.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace vantorel::dirwalk
{

namespace
{

    // The kernel's record; glibc exposes no declaration of its own for it.
    struct LinuxDirent64 {
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

bool readFolderListing(
    int fd, char* buffer, std::size_t bufferSize, SubfolderList& out, std::string& error)
{
    out.clear();
    for (;;) {
        const long read = ::syscall(SYS_getdents64, fd, buffer, bufferSize);
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

} // namespace vantorel::dirwalk
