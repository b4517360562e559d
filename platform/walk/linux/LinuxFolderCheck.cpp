// SPDX-License-Identifier: MIT
#include "platform/walk/DirectoryCursor.h"
#include "platform/walk/linux/FileDescriptor.h"
#include "platform/walk/linux/LongPath.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

namespace vantorel::dirwalk
{

bool isExistingFolder(std::string_view path, std::string& error)
{
    if (path.empty()) {
        error = systemReason(ENOENT);
        return false;
    }
    const std::string text(path);
    struct stat status;
    int result = ::stat(text.c_str(), &status);
    if (result != 0 && errno == ENAMETOOLONG) {
        FileDescriptor fd(openLongPath(AT_FDCWD, text, O_PATH | O_CLOEXEC));
        result = fd.valid() ? ::fstat(fd.get(), &status) : -1;
    }
    if (result != 0) {
        error = systemReason(errno);
        return false;
    }
    if (!S_ISDIR(status.st_mode)) {
        error = systemReason(ENOTDIR);
        return false;
    }
    return true;
}

} // namespace vantorel::dirwalk
