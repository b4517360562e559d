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

    enum class Found { Nothing, Folder, Link, OtherLink };

    // What an entry the kernel could not type, or a link, is: a folder or a
    // link to one to deliver, or a link to anything else. Anything that cannot
    // be classified is left out.
    Found classify(int dirfd, const char* name, unsigned char type)
    {
        struct stat status;
        if (type == DT_UNKNOWN) {
            if (::fstatat(dirfd, name, &status, AT_SYMLINK_NOFOLLOW) != 0)
                return Found::Nothing;
            if (S_ISDIR(status.st_mode))
                return Found::Folder;
            if (!S_ISLNK(status.st_mode))
                return Found::Nothing;
        }
        if (::fstatat(dirfd, name, &status, 0) != 0 || !S_ISDIR(status.st_mode))
            return Found::OtherLink;
        return Found::Link;
    }

} // namespace

bool readFolderListing(int fd, char* buffer, std::size_t bufferSize, bool otherLinks,
    SubfolderList& out, std::string& error)
{
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
            if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
                continue;
            switch (classify(fd, name, entry->d_type)) {
            case Found::Folder:
                out.add(name, FolderKind::Folder);
                break;
            case Found::Link:
                out.add(name, FolderKind::Link);
                break;
            case Found::OtherLink:
                if (otherLinks)
                    out.addOtherLink(name);
                break;
            case Found::Nothing:
                break;
            }
        }
    }
}

} // namespace vantorel::dirwalk
