// SPDX-License-Identifier: MIT
#include "platform/walk/index/IndexCache.h"

#include "platform/walk/index/IndexRules.h"
#include "platform/walk/index/SearcherIdentity.h"
#include "platform/walk/linux/FileDescriptor.h"
#include "platform/walk/linux/LongPath.h"
#include "platform/walk/linux/OpenBeneath.h"
#include "platform/walk/linux/StampReader.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace vantorel::dirwalk::index
{

namespace
{

    // Newer than the C library's headers on Debian 12 (Linux 6.5).
    struct FileSystemUuid {
        std::uint8_t length;
        std::uint8_t uuid[16];
    };
    constexpr unsigned long kGetFileSystemUuid = _IOR(0x15, 0, FileSystemUuid);

    constexpr const char* kPrefix = "index-";
    constexpr const char* kSuffix = ".bin";

    /// The folder at `relative` below `location` (the location itself when
    /// empty), reached as the walk reaches it: through a link only at the location.
    int openBelow(const std::string& location, const std::string& relative, int flags)
    {
        if (relative.empty())
            return openLongPath(AT_FDCWD, location, flags);
        FileDescriptor base(openLongPath(AT_FDCWD, location, O_PATH | O_DIRECTORY | O_CLOEXEC));
        return base.valid() ? openBeneath(base.get(), relative, flags) : -1;
    }

    /// The identity of the file system of the folder open at `fd`: its UUID, or
    /// where the system cannot say, the id statfs derives from it on the file
    /// systems that do so (ext4, f2fs, btrfs; not xfs, whose id is its device).
    bool identityOf(int fd, std::uint32_t type, DeviceSlot& slot)
    {
        FileSystemUuid uuid {};
        if (::ioctl(fd, kGetFileSystemUuid, &uuid) == 0 && uuid.length > 0
            && uuid.length <= sizeof uuid.uuid) {
            slot.identityLength = uuid.length;
            std::copy(uuid.uuid, uuid.uuid + uuid.length, slot.identity.begin());
            return true;
        }
        struct statfs about {
        };
        if ((type != filesystem::kExt && type != filesystem::kF2fs && type != filesystem::kBtrfs)
            || ::fstatfs(fd, &about) != 0)
            return false;
        slot.identityLength = sizeof about.f_fsid;
        std::memcpy(slot.identity.data(), &about.f_fsid, sizeof about.f_fsid);
        return true;
    }

    /// The stamp and identity of the file system of `relative` below `location`;
    /// with `anyFileSystem` one with no identity has an empty one.
    bool describe(const std::string& location, const std::string& relative, bool anyFileSystem,
        FolderStamp& stamp, DeviceSlot& identity)
    {
        FileDescriptor fd(openBelow(location, relative, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        StampReader reader;
        if (!fd.valid() || !reader.read(fd.get(), "", false, stamp))
            return false;
        identity.identityLength = 0;
        return identityOf(fd.get(), stamp.fileSystem, identity) || anyFileSystem;
    }

    bool sameIdentity(const DeviceSlot& a, const DeviceSlot& b)
    {
        return a.identityLength == b.identityLength
            && std::equal(
                a.identity.begin(), a.identity.begin() + a.identityLength, b.identity.begin());
    }

    /// The path below the location of each node the slots name as their first.
    std::vector<std::string> samplePaths(const FolderIndex& index)
    {
        std::vector<std::string> paths(index.devices().size());
        std::vector<std::uint32_t> wanted;
        for (const DeviceSlot& slot : index.devices())
            wanted.push_back(slot.sample);
        std::vector<std::pair<std::uint32_t, std::size_t>> open; // node, path length
        std::string path;
        for (std::uint32_t id = 0; id < index.size(); ++id) {
            while (!open.empty() && index.after(open.back().first) <= id) {
                open.pop_back();
                path.resize(open.empty() ? 0 : open.back().second);
            }
            if (id > 0) {
                if (!path.empty())
                    path.push_back('/');
                path.append(index.name(id));
            }
            for (std::size_t slot = 0; slot < wanted.size(); ++slot)
                if (wanted[slot] == id)
                    paths[slot] = path;
            open.emplace_back(id, path.size());
        }
        return paths;
    }

    constexpr std::size_t kBuffer = std::size_t { 1 } << 16;

    /// Writes a cache file through a buffer.
    class FileSink final : public IndexFileSink
    {
    public:
        explicit FileSink(int fd)
            : m_fd(fd)
        {
            m_buffer.reserve(kBuffer);
        }
        bool write(const char* data, std::size_t size) override
        {
            if (m_buffer.size() + size > kBuffer && !flush())
                return false;
            if (size >= kBuffer)
                return writeAll(data, size);
            m_buffer.append(data, size);
            return true;
        }
        bool patch(std::size_t offset, const char* data, std::size_t size) override
        {
            return flush() && ::pwrite(m_fd, data, size, off_t(offset)) == ssize_t(size);
        }
        bool flush()
        {
            const bool written = writeAll(m_buffer.data(), m_buffer.size());
            m_buffer.clear();
            return written;
        }

    private:
        bool writeAll(const char* data, std::size_t size)
        {
            while (size > 0) {
                const ssize_t done = ::write(m_fd, data, size);
                if (done < 0 && errno == EINTR)
                    continue;
                if (done <= 0)
                    return false;
                data += done;
                size -= std::size_t(done);
            }
            return true;
        }

        int m_fd;
        std::string m_buffer;
    };

    /// Reads a cache file through a buffer.
    class FileSource final : public IndexFileSource
    {
    public:
        FileSource(int fd, std::uint64_t size)
            : m_fd(fd)
            , m_size(size)
            , m_buffer(new char[kBuffer])
        {
        }
        bool read(char* data, std::size_t size) override
        {
            while (size > 0) {
                if (m_at == m_filled && !refill())
                    return false;
                const std::size_t taken = std::min(size, m_filled - m_at);
                std::memcpy(data, m_buffer.get() + m_at, taken);
                m_at += taken;
                data += taken;
                size -= taken;
            }
            return true;
        }
        std::uint64_t size() const override { return m_size; }

    private:
        bool refill()
        {
            ssize_t got;
            do
                got = ::read(m_fd, m_buffer.get(), kBuffer);
            while (got < 0 && errno == EINTR);
            m_at = 0;
            m_filled = got > 0 ? std::size_t(got) : 0;
            return got > 0;
        }

        int m_fd;
        std::uint64_t m_size;
        std::unique_ptr<char[]> m_buffer;
        std::size_t m_at = 0;
        std::size_t m_filled = 0;
    };

    /// A file of the user's own, that nobody else may change, opened for reading.
    int openOwnFile(const std::string& path, struct stat& status)
    {
        FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (!fd.valid() || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)
            || status.st_uid != ::geteuid() || (status.st_mode & 022) != 0)
            return -1;
        return fd.release();
    }

    /// Folders changed shortly before a save may have moved within the same
    /// tick of a clock that was set since: read again once.
    void distrustRecent(FolderIndex& index, const IndexFileHeader& header)
    {
        const bool sameBoot = header.bootId == bootId();
        const std::int64_t step = wallClockSinceBoot() - header.wallClockSinceBoot;
        if (sameBoot && step < 1000000000 && step > -1000000000)
            return;
        const std::int64_t limit
            = std::min(header.savedAt, StampReader::wallClock()) - IndexCache::kRacyAfterClockStep;
        for (std::uint32_t id = 0; id < index.size(); ++id) {
            IndexNode& node = index.node(id);
            if (node.modified > limit || node.changed > limit)
                node.flags &= std::uint8_t(~IndexNode::Trusted);
        }
    }

} // namespace

void bindDevices(FolderIndex& index, bool anyFileSystem)
{
    for (DeviceSlot& slot : index.devices()) {
        FolderStamp stamp;
        DeviceSlot found;
        if ((slot.identityLength == 0 && !anyFileSystem)
            || !describe(index.location(), slot.samplePath, anyFileSystem, stamp, found)
            || stamp.fileSystem != slot.fileSystem || !sameIdentity(slot, found)
            || ((stamp.flags & FolderStamp::HasMountId) != 0) != slot.hasMountId)
            continue; // not found again: its stamps never match
        slot.device = stamp.device;
        slot.mountId = stamp.mountId;
    }
}

std::vector<DeviceSlot> identifyDevices(
    const FolderIndex& index, bool anyFileSystem, std::vector<bool>& kept)
{
    std::vector<DeviceSlot> devices = index.devices();
    const std::vector<std::string> paths = samplePaths(index);
    kept.assign(devices.size(), false);
    for (std::size_t i = 0; i < devices.size(); ++i) {
        DeviceSlot& slot = devices[i];
        slot.samplePath = paths[i];
        FolderStamp stamp;
        DeviceSlot found;
        // A tmpfs is gone at the next boot, and what it holds is nobody's business on disk.
        if (slot.fileSystem == filesystem::kTmpfs
            || !describe(index.location(), slot.samplePath, anyFileSystem, stamp, found)
            || stamp.device != slot.device || stamp.mountId != slot.mountId)
            continue;
        slot.identityLength = found.identityLength;
        slot.identity = found.identity;
        kept[i] = true;
    }
    return devices;
}

std::string IndexCache::fileOf(const std::string& location) const
{
    // FNV-1a of the location: the file's own header says which location it holds.
    std::uint64_t hash = 0xCBF29CE484222325ULL;
    for (const char c : location)
        hash = (hash ^ std::uint8_t(c)) * 0x100000001B3ULL;
    char name[64];
    std::snprintf(
        name, sizeof name, "%s%016llx%s", kPrefix, static_cast<unsigned long long>(hash), kSuffix);
    return m_folder + '/' + name;
}

bool IndexCache::folderReady() const
{
    if (m_folder.empty() || m_folder.front() != '/')
        return false;
    struct stat status {
    };
    if (::lstat(m_folder.c_str(), &status) != 0) {
        // The cache home may be missing too: made as the base directory rules say, 0700.
        const std::size_t slash = m_folder.rfind('/');
        if (slash > 0)
            ::mkdir(m_folder.substr(0, slash).c_str(), 0700);
        if (::mkdir(m_folder.c_str(), 0700) != 0 || ::lstat(m_folder.c_str(), &status) != 0)
            return false;
    }
    return S_ISDIR(status.st_mode) && status.st_uid == ::geteuid() && (status.st_mode & 022) == 0;
}

std::unique_ptr<FolderIndex> IndexCache::load(
    const std::string& location, const std::string& key, bool& found) const
{
    found = false;
    if (!folderReady())
        return nullptr;
    struct stat status {
    };
    FileDescriptor fd(openOwnFile(fileOf(location), status));
    if (!fd.valid() || std::size_t(status.st_size) > kMostFileBytes)
        return nullptr;
    found = true;
    FileSource source(fd.get(), std::uint64_t(status.st_size));
    IndexFileHeader header;
    std::string why;
    std::unique_ptr<FolderIndex> index = readIndexFile(source, header, why);
    if (!index || header.key != key || header.location != location)
        return nullptr;
    index->lastUsed = std::max(header.lastUsed, std::int64_t(status.st_mtim.tv_sec) * 1000000000);
    index->onDisk = true;
    distrustRecent(*index, header);
    bindDevices(*index, m_anyFileSystem);
    return index;
}

bool IndexCache::save(const FolderIndex& index, const std::string& key) const
{
    if (!folderReady())
        return false;
    IndexFileHeader header;
    header.key = key;
    header.location = index.location();
    header.bootId = bootId();
    header.savedAt = StampReader::wallClock();
    header.wallClockSinceBoot = wallClockSinceBoot();
    header.lastUsed = index.lastUsed;
    std::vector<bool> kept;
    const std::vector<DeviceSlot> devices = identifyDevices(index, m_anyFileSystem, kept);
    const std::string file = fileOf(index.location());
    // Beside the old copy under a name of this process's own, then in its place.
    const std::string fresh = file + ".new-" + std::to_string(::getpid());
    FileDescriptor fd(
        ::open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600));
    bool written = fd.valid() && ::fchmod(fd.get(), 0600) == 0;
    if (written) {
        FileSink sink(fd.get());
        written = writeIndexFile(index, header, devices, kept, sink) && sink.flush()
            && ::fsync(fd.get()) == 0;
    }
    struct stat status {
    };
    written = written && ::fstat(fd.get(), &status) == 0
        && std::size_t(status.st_size) <= std::min(kMostFileBytes, m_mostBytes);
    fd.reset();
    if (!written || ::rename(fresh.c_str(), file.c_str()) != 0) {
        ::unlink(fresh.c_str());
        ::unlink(file.c_str()); // an old copy would say more than is known now
        return false;
    }
    index.onDisk = true;
    keepWithinBounds(file);
    return true;
}

void IndexCache::touch(const FolderIndex& index) const
{
    struct stat status {
    };
    FileDescriptor fd(openOwnFile(fileOf(index.location()), status));
    if (fd.valid())
        ::futimens(fd.get(), nullptr);
}

void IndexCache::keepWithinBounds(const std::string& justWritten) const
{
    struct Kept {
        std::string path;
        std::int64_t lastUsed;
        std::size_t bytes;
        std::size_t nodes;
    };
    std::vector<Kept> files;
    DIR* folder = ::opendir(m_folder.c_str());
    if (!folder)
        return;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        const std::string path = m_folder + '/' + name;
        // A copy left by a process that ended in the middle of writing it.
        const std::size_t fresh = name.find(".new-");
        if (name.rfind(kPrefix, 0) == 0 && fresh != std::string::npos) {
            const long pid = std::strtol(name.c_str() + fresh + 5, nullptr, 10);
            if (pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
                ::unlink(path.c_str());
            continue;
        }
        if (name.rfind(kPrefix, 0) != 0 || name.size() < 4
            || name.compare(name.size() - 4, 4, kSuffix) != 0)
            continue;
        struct stat status {
        };
        FileDescriptor fd(openOwnFile(path, status));
        IndexFileHeader header;
        FileSource source(fd.get(), std::uint64_t(status.st_size));
        if (!fd.valid() || !readIndexFileHeader(source, header))
            header.lastUsed = 0; // not one of ours, or damaged: the first to go
        // Used again without a change: only its time says so.
        const std::int64_t touched = std::int64_t(status.st_mtim.tv_sec) * 1000000000;
        files.push_back(
            { path, path == justWritten ? INT64_MAX : std::max(header.lastUsed, touched),
                std::size_t(status.st_size), header.nodes });
    }
    ::closedir(folder);
    std::sort(files.begin(), files.end(),
        [](const Kept& a, const Kept& b) { return a.lastUsed > b.lastUsed; });
    std::size_t bytes = 0, nodes = 0;
    for (const Kept& file : files) {
        bytes += file.bytes;
        nodes += file.nodes;
        if (bytes > m_mostBytes || nodes > m_mostNodes)
            ::unlink(file.path.c_str());
    }
}

} // namespace vantorel::dirwalk::index
