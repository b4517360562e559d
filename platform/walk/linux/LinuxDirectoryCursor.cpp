// SPDX-License-Identifier: MIT
#include "platform/walk/linux/LinuxDirectoryCursor.h"

#include "platform/walk/linux/DescriptorBudget.h"
#include "platform/walk/linux/LongPath.h"
#include "platform/walk/linux/OpenBeneath.h"
#include "platform/walk/linux/ReadFolderListing.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>

namespace vantorel::dirwalk
{

namespace
{

    constexpr std::size_t kBufferSize = std::size_t { 64 } * 1024;
    constexpr int kEnterFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    constexpr int kRootFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    /// A folder only passed through: O_PATH opens nothing on the file system's side.
    constexpr int kPassFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

    /// A descriptor of its own, counted against the process's budget.
    class LinuxHeldFolder final : public HeldFolder
    {
    public:
        explicit LinuxHeldFolder(FileDescriptor fd)
            : m_fd(std::move(fd))
        {
        }
        ~LinuxHeldFolder() override { DescriptorBudget::give(1); }
        LinuxHeldFolder(const LinuxHeldFolder&) = delete;
        LinuxHeldFolder& operator=(const LinuxHeldFolder&) = delete;
        int fd() const { return m_fd.get(); }

    private:
        FileDescriptor m_fd;
    };

    void trimSeparators(std::string& path)
    {
        while (!path.empty() && path.back() == '/')
            path.pop_back();
    }

    /// The process, or the system, has no descriptor left to give.
    bool outOfDescriptorsError(int error)
    {
        return error == EMFILE || error == ENFILE;
    }

} // namespace

LinuxDirectoryCursor::LinuxDirectoryCursor()
    : m_buffer(new char[kBufferSize])
{
}

LinuxDirectoryCursor::~LinuxDirectoryCursor()
{
    closeAll();
    if (m_waiting)
        DescriptorBudget::setWaiting(false);
}

void LinuxDirectoryCursor::closeLevels()
{
    for (std::size_t i = 0; i < m_levels.size(); ++i)
        if (m_levels[i].fd >= 0)
            closeLevel(i);
    m_levels.clear();
    m_path.clear();
    returnSpareBudget(true);
}

void LinuxDirectoryCursor::closeAll()
{
    closeLevels();
    m_reserve.reset();
    DescriptorBudget::give(std::exchange(m_needed, 0));
}

bool LinuxDirectoryCursor::startAnew(std::size_t count, std::string& error)
{
    closeAll();
    m_outOfDescriptors = false;
    if (!m_listsAhead)
        return true;
    const bool taken = DescriptorBudget::takeNeeded(count);
    if (taken != !m_waiting) {
        m_waiting = !taken;
        DescriptorBudget::setWaiting(m_waiting);
    }
    if (!taken) {
        m_outOfDescriptors = true;
        error = systemReason(EMFILE);
        return false;
    }
    m_needed = count;
    return true;
}

bool LinuxDirectoryCursor::roomToList() const
{
    return !m_listsAhead || DescriptorBudget::taken() < DescriptorBudget::size();
}

std::size_t LinuxDirectoryCursor::listersAtOnce() const
{
    // One descriptor each to list with; the budget keeps a few for more only while none waits.
    const std::size_t size = DescriptorBudget::size();
    return size > DescriptorBudget::kKeptForNeeds ? size - DescriptorBudget::kKeptForNeeds : 1;
}

void LinuxDirectoryCursor::keepReserve()
{
    // A walk's cursor only: one that lists ahead gives its listing up instead.
    if (!m_listsAhead && !m_reserve.valid() && !m_levels.empty() && m_levels[0].fd >= 0)
        m_reserve.reset(::fcntl(m_levels[0].fd, F_DUPFD_CLOEXEC, 0));
}

std::size_t LinuxDirectoryCursor::budgetAtOnce()
{
    // One at a time from a small budget, which a few taken ahead would leave to one cursor.
    return std::clamp(DescriptorBudget::size() / 64, std::size_t { 1 }, kBudgetAtOnce);
}

bool LinuxDirectoryCursor::takeBudget()
{
    const std::size_t anchors = m_keptDescriptors - 1; // the root is not counted
    if (anchors < m_budgetHeld)
        return true;
    m_budgetHeld += DescriptorBudget::take(budgetAtOnce());
    return anchors < m_budgetHeld;
}

void LinuxDirectoryCursor::returnSpareBudget(bool all)
{
    const std::size_t anchors = m_keptDescriptors > 1 ? m_keptDescriptors - 1 : 0;
    const std::size_t spare = m_budgetHeld - anchors;
    const std::size_t atOnce = budgetAtOnce();
    const std::size_t given = all ? spare : spare > 2 * atOnce ? spare - atOnce : 0;
    if (given == 0)
        return;
    DescriptorBudget::give(given);
    m_budgetHeld -= given;
}

void LinuxDirectoryCursor::closeLevel(std::size_t index)
{
    if (index == 0 && m_borrowed)
        m_borrowed.reset(); // the held folder's, not the cursor's own
    else
        ::close(m_levels[index].fd);
    m_levels[index].fd = -1;
    --m_keptDescriptors;
    if (index > 0)
        returnSpareBudget(false);
}

bool LinuxDirectoryCursor::closeDeepestKept()
{
    for (std::size_t i = m_levels.size(); i-- > 1;) {
        if (m_levels[i].fd < 0)
            continue;
        closeLevel(i);
        // Every level from here down was reached from this one, the deepest kept.
        const std::size_t above = m_levels[i - 1].anchor;
        for (std::size_t j = i; j < m_levels.size(); ++j)
            m_levels[j].anchor = above;
        return true;
    }
    return false;
}

bool LinuxDirectoryCursor::readListing(int fd, SubfolderList& out, std::string& error)
{
    out.clear();
    if (m_stamping) {
        // From this very handle and before the first read: whatever changes
        // the folder after this moves its stamp.
        FolderStamp stamp;
        if (m_stamps.read(fd, "", false, stamp))
            out.setStamp(stamp);
    }
    if (!readFolderListing(fd, m_buffer.get(), kBufferSize, m_stamping, out, error))
        return false;
    if (m_stamping)
        afterStampedListing(out.stamp());
    return true;
}

bool LinuxDirectoryCursor::openRoot(std::string_view path, SubfolderList& out, std::string& error)
{
    out.clear();
    if (!startAnew(2, error) || !openFirst(path, kRootFlags, &out, error))
        return false;
    if (!m_listsAhead) {
        // A walk starts here: its reserve, then the budget of what is left.
        keepReserve();
        DescriptorBudget::refresh();
    }
    return true;
}

bool LinuxDirectoryCursor::openToEnter(
    std::string_view root, std::string_view below, std::string& error)
{
    return startAnew(2, error) && openFirst(root, kPassFlags, nullptr, error)
        && passDown(below, error);
}

std::shared_ptr<const HeldFolder> LinuxDirectoryCursor::hold(std::size_t level)
{
    // Only a folder whose descriptor is kept: opening another would be a trip to the disk.
    if (level >= m_levels.size() || m_levels[level].fd < 0
        || (level == 0 && m_firstFdLength != m_levels[0].pathLength)
        || DescriptorBudget::take(1) == 0)
        return {};
    FileDescriptor fd(::openat(m_levels[level].fd, ".", kPassFlags));
    if (!fd.valid()) {
        DescriptorBudget::give(1);
        return {};
    }
    return std::make_shared<const LinuxHeldFolder>(std::move(fd));
}

bool LinuxDirectoryCursor::openToEnterFrom(std::shared_ptr<const HeldFolder> held,
    std::size_t heldLength, std::string_view root, std::string_view below, std::string& error)
{
    std::string_view rest = below.substr(heldLength);
    while (!rest.empty() && rest.front() == '/')
        rest.remove_prefix(1);
    // The held folder's own descriptor serves the first level. A folder below it is opened
    // with a descriptor of its own where the budget spares one, as for a kept folder, else
    // reached by its path from the held folder at each listing.
    if (!startAnew(1, error))
        return false;
    const bool own = !rest.empty() && (!m_listsAhead || DescriptorBudget::take(1) == 1);
    m_needed += own && m_listsAhead ? 1 : 0;
    m_path.assign(root);
    trimSeparators(m_path);
    if (heldLength > 0) {
        m_path.push_back('/');
        m_path.append(below.substr(0, heldLength));
    }
    const int fd = static_cast<const LinuxHeldFolder&>(*held).fd();
    m_borrowed = std::move(held);
    m_levels.push_back({ m_path.size(), fd, 0 });
    m_firstFdLength = m_path.size();
    m_keptDescriptors = 1;
    if (own)
        return passDown(rest, error);
    if (!rest.empty()) {
        m_path.push_back('/');
        m_path.append(rest);
        m_levels[0].pathLength = m_path.size();
    }
    return true;
}

bool LinuxDirectoryCursor::passDown(std::string_view below, std::string& error)
{
    if (below.empty())
        return true;
    m_path.push_back('/');
    m_path.append(below);
    FileDescriptor fd(openBelowAnchor(kPassFlags));
    if (!fd.valid()) {
        failWith(errno, error);
        closeAll();
        return false;
    }
    std::string path = std::move(m_path);
    closeLevels();
    m_path = std::move(path);
    m_levels.push_back({ m_path.size(), fd.release(), 0 });
    m_firstFdLength = m_path.size();
    m_keptDescriptors = 1;
    return true;
}

bool LinuxDirectoryCursor::openFirst(
    std::string_view path, int flags, SubfolderList* out, std::string& error)
{
    if (path.empty()) {
        error = systemReason(ENOENT);
        return false;
    }
    const std::string text(path);
    FileDescriptor fd(openFromLocation(text, flags));
    if (!fd.valid()) {
        failWith(errno, error);
        closeAll();
        return false;
    }
    if (out && !readListing(fd.get(), *out, error)) {
        closeAll();
        return false;
    }

    m_path = text;
    trimSeparators(m_path);
    m_levels.push_back({ m_path.size(), fd.release(), 0 });
    m_firstFdLength = m_path.size();
    m_keptDescriptors = 1;
    return true;
}

int LinuxDirectoryCursor::openBelowAnchor(int flags) const
{
    // The folder m_path names, below the deepest level: opened from the
    // nearest kept folder above it, through no link.
    const std::size_t anchor = m_levels.back().anchor;
    return openBeneath(
        m_levels[anchor].fd, std::string_view(m_path).substr(anchorLength(anchor) + 1), flags);
}

std::size_t LinuxDirectoryCursor::anchorLength(std::size_t anchor) const
{
    return anchor == 0 ? m_firstFdLength : m_levels[anchor].pathLength;
}

bool LinuxDirectoryCursor::enter(std::string_view name, SubfolderList& out, std::string& error)
{
    if (m_levels.empty()) {
        error = systemReason(EBADF);
        return false;
    }
    // A name that is not one component would lead out of the tree: there is
    // no such subfolder.
    if (!isPlainName(name)) {
        error = systemReason(ENOENT);
        return false;
    }
    m_outOfDescriptors = false;
    const std::size_t parentLength = m_levels.back().pathLength;
    m_path.push_back('/');
    m_path.append(name);

    FileDescriptor fd(openToList());
    if (!fd.valid() || !readListing(fd.get(), out, error)) {
        if (!fd.valid())
            failWith(errno, error);
        m_path.resize(parentLength);
        out.clear();
        fd.reset();
        keepReserve();
        return false;
    }

    const std::size_t depth = m_levels.size();
    const std::size_t anchor = m_levels.back().anchor;
    const std::size_t span = m_path.size() - anchorLength(anchor);
    const bool wanted
        = (depth < kKeptDepth || span > kAnchorSpan) && m_keptDescriptors < kMaxKeptDescriptors;
    if (wanted && takeBudget()) {
        m_levels.push_back({ m_path.size(), fd.release(), depth });
        ++m_keptDescriptors;
    } else {
        m_levels.push_back({ m_path.size(), -1, anchor });
    }
    fd.reset();
    keepReserve();
    return true;
}

void LinuxDirectoryCursor::failWith(int reason, std::string& error)
{
    error = systemReason(reason);
    m_outOfDescriptors = outOfDescriptorsError(reason);
}

int LinuxDirectoryCursor::openToList()
{
    int fd = openBelowAnchor(kEnterFlags);
    // Out of descriptors: the folder is opened from a kept folder higher up
    // instead, giving up the deepest kept ones one at a time, then the reserve.
    while (fd < 0 && outOfDescriptorsError(errno) && closeDeepestKept())
        fd = openBelowAnchor(kEnterFlags);
    if (fd < 0 && outOfDescriptorsError(errno) && m_reserve.valid()) {
        m_reserve.reset();
        fd = openBelowAnchor(kEnterFlags);
    }
    return fd;
}

void LinuxDirectoryCursor::leave()
{
    if (m_levels.empty())
        return;
    if (m_levels.back().fd >= 0)
        closeLevel(m_levels.size() - 1);
    m_levels.pop_back();
    if (m_levels.empty()) {
        closeAll(); // what it took to list is given back
        return;
    }
    m_path.resize(m_levels.back().pathLength);
    keepReserve(); // with the descriptor just closed, if it was spent
}

std::unique_ptr<DirectoryCursor> makeSystemDirectoryCursor()
{
    return std::make_unique<LinuxDirectoryCursor>();
}

} // namespace vantorel::dirwalk
