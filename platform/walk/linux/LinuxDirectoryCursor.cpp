// SPDX-License-Identifier: MIT
#include "platform/walk/linux/LinuxDirectoryCursor.h"

#include "platform/walk/linux/DescriptorBudget.h"
#include "platform/walk/linux/FileDescriptor.h"
#include "platform/walk/linux/LongPath.h"
#include "platform/walk/linux/OpenBeneath.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

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

    void trimSeparators(std::string& path)
    {
        while (!path.empty() && path.back() == '/')
            path.pop_back();
    }

} // namespace

LinuxDirectoryCursor::LinuxDirectoryCursor()
    : m_buffer(new char[kBufferSize])
{
}

LinuxDirectoryCursor::~LinuxDirectoryCursor()
{
    closeAll();
}

void LinuxDirectoryCursor::closeAll()
{
    for (std::size_t i = 0; i < m_levels.size(); ++i)
        if (m_levels[i].fd >= 0)
            closeLevel(i);
    m_levels.clear();
    m_path.clear();
    returnSpareBudget(true);
}

bool LinuxDirectoryCursor::takeBudget()
{
    const std::size_t anchors = m_keptDescriptors - 1; // the root is not counted
    if (anchors < m_budgetHeld)
        return true;
    m_budgetHeld += DescriptorBudget::take(kBudgetAtOnce);
    return anchors < m_budgetHeld;
}

void LinuxDirectoryCursor::returnSpareBudget(bool all)
{
    const std::size_t anchors = m_keptDescriptors > 1 ? m_keptDescriptors - 1 : 0;
    const std::size_t spare = m_budgetHeld - anchors;
    const std::size_t given = all ? spare : spare > 2 * kBudgetAtOnce ? spare - kBudgetAtOnce : 0;
    if (given == 0)
        return;
    DescriptorBudget::give(given);
    m_budgetHeld -= given;
}

void LinuxDirectoryCursor::closeLevel(std::size_t index)
{
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
    char* const buffer = m_buffer.get();
    for (;;) {
        const long read = ::syscall(SYS_getdents64, fd, buffer, kBufferSize);
        if (read < 0) {
            error = systemReason(errno);
            out.clear();
            return false;
        }
        if (read == 0) {
            if (m_stamping)
                afterStampedListing(out.stamp());
            return true;
        }
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
                if (m_stamping)
                    out.addOtherLink(name);
                break;
            case Found::Nothing:
                break;
            }
        }
    }
}

bool LinuxDirectoryCursor::openRoot(std::string_view path, SubfolderList& out, std::string& error)
{
    out.clear();
    return openFirst(path, kRootFlags, &out, error);
}

bool LinuxDirectoryCursor::openToEnter(
    std::string_view root, std::string_view below, std::string& error)
{
    return openFirst(root, kPassFlags, nullptr, error) && passDown(below, error);
}

std::shared_ptr<const HeldFolder> LinuxDirectoryCursor::hold(std::size_t level)
{
    // Only a folder whose descriptor is kept: opening another would be a trip to the disk.
    if (level >= m_levels.size() || m_levels[level].fd < 0 || DescriptorBudget::take(1) == 0)
        return {};
    FileDescriptor fd(::openat(m_levels[level].fd, ".", kPassFlags));
    if (!fd.valid()) {
        DescriptorBudget::give(1);
        return {};
    }
    return std::make_shared<const LinuxHeldFolder>(std::move(fd));
}

bool LinuxDirectoryCursor::openToEnterFrom(const HeldFolder& held, std::size_t heldLength,
    std::string_view root, std::string_view below, std::string& error)
{
    closeAll();
    FileDescriptor fd(::fcntl(static_cast<const LinuxHeldFolder&>(held).fd(), F_DUPFD_CLOEXEC, 0));
    if (!fd.valid()) {
        error = systemReason(errno);
        return false;
    }
    m_path.assign(root);
    trimSeparators(m_path);
    if (heldLength > 0) {
        m_path.push_back('/');
        m_path.append(below.substr(0, heldLength));
    }
    m_levels.push_back({ m_path.size(), fd.release(), 0 });
    m_keptDescriptors = 1;
    below.remove_prefix(heldLength);
    while (!below.empty() && below.front() == '/')
        below.remove_prefix(1);
    return passDown(below, error);
}

bool LinuxDirectoryCursor::passDown(std::string_view below, std::string& error)
{
    if (below.empty())
        return true;
    m_path.push_back('/');
    m_path.append(below);
    FileDescriptor fd(openBelowAnchor(kPassFlags));
    if (!fd.valid()) {
        error = systemReason(errno);
        closeAll();
        return false;
    }
    std::string path = std::move(m_path);
    closeAll();
    m_path = std::move(path);
    m_levels.push_back({ m_path.size(), fd.release(), 0 });
    m_keptDescriptors = 1;
    return true;
}

bool LinuxDirectoryCursor::openFirst(
    std::string_view path, int flags, SubfolderList* out, std::string& error)
{
    closeAll();
    DescriptorBudget::refresh();
    if (path.empty()) {
        error = systemReason(ENOENT);
        return false;
    }
    const std::string text(path);
    FileDescriptor fd(openFromLocation(text, flags));
    if (!fd.valid()) {
        error = systemReason(errno);
        return false;
    }
    if (out && !readListing(fd.get(), *out, error))
        return false;

    m_path = text;
    trimSeparators(m_path);
    m_levels.push_back({ m_path.size(), fd.release(), 0 });
    m_keptDescriptors = 1;
    return true;
}

int LinuxDirectoryCursor::openBelowAnchor(int flags) const
{
    // The folder m_path names, below the deepest level: opened from the
    // nearest kept folder above it, through no link.
    const Level& anchor = m_levels[m_levels.back().anchor];
    const std::string_view relative = std::string_view(m_path).substr(anchor.pathLength + 1);
    return openBeneath(anchor.fd, relative, flags);
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
    const std::size_t parentLength = m_levels.back().pathLength;
    m_path.push_back('/');
    m_path.append(name);

    FileDescriptor fd(openBelowAnchor(kEnterFlags));
    // Out of descriptors: the folder is opened from a kept folder higher up
    // instead, giving up the deepest kept ones one at a time.
    while (!fd.valid() && (errno == EMFILE || errno == ENFILE) && closeDeepestKept())
        fd.reset(openBelowAnchor(kEnterFlags));
    if (!fd.valid() || !readListing(fd.get(), out, error)) {
        if (!fd.valid())
            error = systemReason(errno);
        m_path.resize(parentLength);
        out.clear();
        return false;
    }

    const std::size_t depth = m_levels.size();
    const std::size_t anchor = m_levels.back().anchor;
    const std::size_t span = m_path.size() - m_levels[anchor].pathLength;
    const bool wanted
        = (depth < kKeptDepth || span > kAnchorSpan) && m_keptDescriptors < kMaxKeptDescriptors;
    if (wanted && takeBudget()) {
        m_levels.push_back({ m_path.size(), fd.release(), depth });
        ++m_keptDescriptors;
    } else {
        m_levels.push_back({ m_path.size(), -1, anchor });
    }
    return true;
}

void LinuxDirectoryCursor::leave()
{
    if (m_levels.empty())
        return;
    if (m_levels.back().fd >= 0)
        closeLevel(m_levels.size() - 1);
    m_levels.pop_back();
    if (m_levels.empty())
        m_path.clear();
    else
        m_path.resize(m_levels.back().pathLength);
}

std::unique_ptr<DirectoryCursor> makeSystemDirectoryCursor()
{
    return std::make_unique<LinuxDirectoryCursor>();
}

} // namespace vantorel::dirwalk
