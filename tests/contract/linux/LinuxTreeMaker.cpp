// SPDX-License-Identifier: MIT
#include "LinuxTreeMaker.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace vantorel::dirwalk::test
{

namespace
{

    struct Entry {
        std::string name;
        bool link;
    };

    // Subfolders and links to folders in readdir() order, as the cursor must give them.
    std::vector<Entry> subfolders(const std::string& folder)
    {
        std::vector<Entry> entries;
        DIR* dir = ::opendir(folder.c_str());
        if (!dir)
            return entries;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + '/' + name;
            struct stat own;
            struct stat target;
            if (::lstat(path.c_str(), &own) != 0)
                continue;
            if (S_ISDIR(own.st_mode))
                entries.push_back({ name, false });
            else if (S_ISLNK(own.st_mode) && ::stat(path.c_str(), &target) == 0
                && S_ISDIR(target.st_mode))
                entries.push_back({ name, true });
        }
        ::closedir(dir);
        return entries;
    }

    void walk(const std::string& folder, const std::string& prefix, std::vector<std::string>& out)
    {
        for (const Entry& entry : subfolders(folder)) {
            const std::string relative = prefix + entry.name;
            out.push_back(relative + (entry.link ? " (link)" : ""));
            if (!entry.link)
                walk(folder + '/' + entry.name, relative + '/', out);
        }
    }

} // namespace

LinuxTreeMaker::LinuxTreeMaker()
{
    const char* temp = std::getenv("TMPDIR");
    std::string pattern = std::string(temp && *temp ? temp : "/tmp") + "/ostlebry-contract-XXXXXX";
    if (::mkdtemp(pattern.data()))
        m_root = pattern;
}

LinuxTreeMaker::~LinuxTreeMaker()
{
    remove();
}

std::string LinuxTreeMaker::path(std::string_view relative) const
{
    return relative.empty() ? m_root : m_root + '/' + std::string(relative);
}

bool LinuxTreeMaker::makeFolder(std::string_view relative)
{
    return ::mkdir(path(relative).c_str(), 0755) == 0;
}

bool LinuxTreeMaker::makeFile(std::string_view relative)
{
    const int fd = ::open(path(relative).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    return fd >= 0 && ::close(fd) == 0;
}

bool LinuxTreeMaker::makeFolderLink(
    std::string_view relative, std::string_view target, std::string& how)
{
    if (::symlink(path(target).c_str(), path(relative).c_str()) != 0) {
        how = std::strerror(errno);
        return false;
    }
    how = "symbolic link";
    return true;
}

bool LinuxTreeMaker::makeEntriesThatAreNoFolders(std::string_view relative)
{
    const std::string folder = path(relative);
    const int file
        = ::open((folder + "/linked-file").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    return file >= 0 && ::close(file) == 0
        && ::symlink("linked-file", (folder + "/link-to-file").c_str()) == 0
        && ::symlink("nowhere", (folder + "/broken-link").c_str()) == 0
        && ::mkfifo((folder + "/pipe").c_str(), 0600) == 0;
}

bool LinuxTreeMaker::makeUnreadableFolder(std::string_view relative, std::string& how)
{
    if (::geteuid() == 0) {
        how = "folder permissions do not hold for the superuser";
        return false;
    }
    const std::string folder = path(relative);
    if (::mkdir(folder.c_str(), 0755) != 0 || ::mkdir((folder + "/inner").c_str(), 0755) != 0
        || ::chmod(folder.c_str(), 0) != 0) {
        how = std::strerror(errno);
        return false;
    }
    m_locked.push_back(folder);
    return true;
}

bool LinuxTreeMaker::removeFolder(std::string_view relative)
{
    return ::rmdir(path(relative).c_str()) == 0;
}

std::vector<std::string> LinuxTreeMaker::referenceListing(std::string_view relative) const
{
    std::vector<std::string> names;
    for (const Entry& entry : subfolders(path(relative)))
        names.push_back(entry.name + (entry.link ? " (link)" : ""));
    return names;
}

std::vector<std::string> LinuxTreeMaker::referenceWalk() const
{
    std::vector<std::string> out;
    walk(m_root, {}, out);
    return out;
}

std::string LinuxTreeMaker::reason(Fault fault) const
{
    switch (fault) {
    case Fault::Missing:
        return std::strerror(ENOENT);
    case Fault::NotAFolder:
        return std::strerror(ENOTDIR);
    case Fault::Denied:
        return std::strerror(EACCES);
    }
    return {};
}

bool LinuxTreeMaker::remove()
{
    if (m_root.empty())
        return false;
    for (const std::string& folder : m_locked)
        ::chmod(folder.c_str(), 0755);
    m_locked.clear();
    std::error_code error;
    std::filesystem::remove_all(m_root, error);
    const bool gone = !std::filesystem::exists(std::filesystem::symlink_status(m_root));
    m_root.clear();
    return gone && !error;
}

} // namespace vantorel::dirwalk::test
