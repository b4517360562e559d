// SPDX-License-Identifier: MIT
// Placeholder until the POSIX directory layer lands.
#include "platform/DirectoryCursor.h"

#include <sys/stat.h>

namespace vantorel::dirwalk {

std::unique_ptr<DirectoryCursor> makeSystemDirectoryCursor() { return nullptr; }

bool isExistingFolder(std::string_view path, std::string& error)
{
    struct stat info {};
    if (::stat(std::string(path).c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        error = "not a folder";
        return false;
    }
    return true;
}

} // namespace vantorel::dirwalk
