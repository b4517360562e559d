// SPDX-License-Identifier: MIT
// What the folder index asks of the cursor beyond listing: opening a location's
// folders from the location through no link, passing into a folder without
// listing it, and reading the stamps of its entries.
#include "platform/walk/linux/DescriptorBudget.h"
#include "platform/walk/linux/FileDescriptor.h"
#include "platform/walk/linux/LinuxDirectoryCursor.h"
#include "platform/walk/linux/LongPath.h"
#include "platform/walk/linux/OpenBeneath.h"

#include <fcntl.h>

#include <cerrno>
#include <utility>

namespace vantorel::dirwalk
{

namespace
{

    /// A folder only passed through: O_PATH opens nothing on the file system's side.
    constexpr int kPassOnly = O_PATH | O_DIRECTORY | O_CLOEXEC;

} // namespace

void LinuxDirectoryCursor::setLocation(std::string location)
{
    m_location = std::move(location);
    while (m_location.size() > 1 && m_location.back() == '/')
        m_location.pop_back();
}

int LinuxDirectoryCursor::openFromLocation(const std::string& path, int flags) const
{
    // A link is followed at the location, as the user named it, and nowhere below it.
    const std::size_t length = m_location.size();
    const std::size_t below = m_location == "/" ? 1 : length + 1;
    if (length == 0 || path.size() <= below || path.compare(0, length, m_location) != 0
        || path[below - 1] != '/')
        return openLongPath(AT_FDCWD, path, flags);
    FileDescriptor location(openLongPath(AT_FDCWD, m_location, kPassOnly));
    if (!location.valid())
        return -1;
    return openBeneath(location.get(), std::string_view(path).substr(below), flags);
}

bool LinuxDirectoryCursor::pass(std::string_view name, std::string& error)
{
    if (m_levels.empty()) {
        error = systemReason(EBADF);
        return false;
    }
    const std::size_t depth = m_levels.size();
    const std::size_t anchor = m_levels.back().anchor;
    m_path.push_back('/');
    m_path.append(name);
    const std::size_t span = m_path.size() - m_levels[anchor].pathLength;
    const bool wanted
        = (depth < kKeptDepth || span > kAnchorSpan) && m_keptDescriptors < kMaxKeptDescriptors;
    if (!wanted || !takeBudget()) {
        // Reached from the anchor by its path when it is needed.
        m_levels.push_back({ m_path.size(), -1, anchor });
        return true;
    }
    FileDescriptor fd(openBelowAnchor(kPassOnly));
    if (!fd.valid()) {
        error = systemReason(errno);
        m_path.resize(m_levels.back().pathLength);
        returnSpareBudget(false);
        return false;
    }
    m_levels.push_back({ m_path.size(), fd.release(), depth });
    ++m_keptDescriptors;
    return true;
}

bool LinuxDirectoryCursor::stampEntry(
    std::string_view name, bool follow, FolderStamp& stamp, std::string& error)
{
    if (m_levels.empty()) {
        error = systemReason(EBADF);
        return false;
    }
    const Level& anchor = m_levels[m_levels.back().anchor];
    std::string relative = anchor.pathLength < m_path.size()
        ? m_path.substr(anchor.pathLength + 1) + '/'
        : std::string();
    relative.append(name);
    if (!m_stamps.read(anchor.fd, relative.c_str(), follow, stamp)) {
        error = systemReason(errno);
        return false;
    }
    return true;
}

} // namespace vantorel::dirwalk
