// SPDX-License-Identifier: MIT
// The operating system's side of the folder walk: plain C++, no Qt, one
// implementation per system (linux/, windows/). Names are the system's raw
// bytes (UTF-8 on Windows, converted once at the layer's edge).
#pragma once

#include "platform/walk/FolderStamp.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantorel::dirwalk
{

/// The separator of the system's paths.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

enum class FolderKind : std::uint8_t {
    Folder, ///< a real folder: the walk goes into it
    Link, ///< a link to a folder (symbolic link, junction): listed, never entered
};

/// The subfolders of one folder, in the file system's own order.
class SubfolderList
{
public:
    struct Entry {
        std::size_t offset; ///< of the name in names()
        std::size_t length;
        FolderKind kind;
    };
    /// A link in the folder whose target is no folder: not a subfolder, but
    /// kept in its place for a folder index, which must look at its target again.
    struct OtherLink {
        std::size_t offset; ///< of the name in names()
        std::size_t length;
        std::size_t before; ///< how many subfolders come before it
    };

    void clear()
    {
        m_names.clear();
        m_entries.clear();
        m_otherLinks.clear();
        m_stamp = {};
    }
    void add(std::string_view name, FolderKind kind)
    {
        m_entries.push_back({ m_names.size(), name.size(), kind });
        m_names.append(name);
    }
    std::size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    std::string_view name(std::size_t i) const
    {
        return std::string_view(m_names).substr(m_entries[i].offset, m_entries[i].length);
    }
    FolderKind kind(std::size_t i) const { return m_entries[i].kind; }

    /// Keeps a link whose target is no folder, after the subfolders added so far.
    void addOtherLink(std::string_view name)
    {
        m_otherLinks.push_back({ m_names.size(), name.size(), m_entries.size() });
        m_names.append(name);
    }
    std::span<const OtherLink> otherLinks() const { return m_otherLinks; }
    std::string_view otherLinkName(std::size_t i) const
    {
        return std::string_view(m_names).substr(m_otherLinks[i].offset, m_otherLinks[i].length);
    }
    /// The folder's stamp, taken from the handle it was listed with before it
    /// was read; not taken unless the cursor was asked to.
    const FolderStamp& stamp() const { return m_stamp; }
    void setStamp(const FolderStamp& stamp) { m_stamp = stamp; }

    /// The names end to end, and where each lies: for copying a list whole.
    std::string_view names() const { return m_names; }
    std::span<const Entry> entries() const { return m_entries; }
    /// Becomes a copy of the list whose names() and entries() are given,
    /// keeping the memory it has.
    void assign(std::string_view names, std::span<const Entry> entries)
    {
        m_names.assign(names);
        m_entries.assign(entries.begin(), entries.end());
        m_otherLinks.clear();
        m_stamp = {};
    }
    /// Becomes a copy of `other`, its stamp and other links included, keeping
    /// the memory it has.
    void assign(const SubfolderList& other)
    {
        assign(other.names(), other.entries());
        m_otherLinks.assign(other.m_otherLinks.begin(), other.m_otherLinks.end());
        m_stamp = other.m_stamp;
    }
    /// Exchanges the contents and memory of two lists, copying nothing.
    void swap(SubfolderList& other) noexcept
    {
        m_names.swap(other.m_names);
        m_entries.swap(other.m_entries);
        m_otherLinks.swap(other.m_otherLinks);
        std::swap(m_stamp, other.m_stamp);
    }
    /// The memory the list's contents take, and the memory it holds.
    std::size_t bytes() const
    {
        return m_names.size() + m_entries.size() * sizeof(Entry)
            + m_otherLinks.size() * sizeof(OtherLink);
    }
    std::size_t capacityBytes() const
    {
        return m_names.capacity() + m_entries.capacity() * sizeof(Entry)
            + m_otherLinks.capacity() * sizeof(OtherLink);
    }

private:
    std::string m_names;
    std::vector<Entry> m_entries;
    std::vector<OtherLink> m_otherLinks;
    FolderStamp m_stamp;
};

/// Runs on the walk's thread about every kWaitSlice while a listing keeps it
/// waiting, so that the walk's caller can serve its window; false gives the
/// wait up.
using WaitHandler = std::function<bool()>;
inline constexpr std::chrono::milliseconds kWaitSlice { 20 };

/// A folder one cursor keeps open for any cursor of the process, on any
/// thread, to start from without opening it again.
class HeldFolder
{
public:
    virtual ~HeldFolder() = default;
};

/// Walks down and up one tree, a folder at a time. The cursor holds a stack of
/// folders: the root, then each folder entered below it.
class DirectoryCursor
{
public:
    virtual ~DirectoryCursor() = default;

    /// From now on, listings that take long wait on another thread and call
    /// `handler` meanwhile. When it gives a wait up, the call returns false at
    /// once and the cursor is done: every later call fails, and the listing
    /// still under way ends in the background, whatever the file system does.
    /// A cursor that lists only on the caller's thread ignores it.
    virtual void setWaitHandler(WaitHandler handler) { (void)handler; }

    /// Lists the folder at `path` and makes it the only level of the stack.
    /// False, with the system's reason in `error`, when it cannot be listed.
    virtual bool openRoot(std::string_view path, SubfolderList& out, std::string& error) = 0;
    /// Lists subfolder `name` of the deepest folder and pushes it. False, with
    /// the reason, when it cannot be listed or `name` is not a plain name
    /// (isPlainName()); the stack is then unchanged.
    virtual bool enter(std::string_view name, SubfolderList& out, std::string& error) = 0;
    /// Pops the deepest folder.
    virtual void leave() = 0;

    /// Opens folder `below` (names joined by kPathSeparator, empty for the root itself) of
    /// the folder at `root` as the only level of the stack, without listing
    /// it, to enter its subfolders. A link is followed at `root`, as by
    /// openRoot(), and nowhere below it. False, with the reason, when it
    /// cannot be opened.
    virtual bool openToEnter(std::string_view root, std::string_view below, std::string& error)
    {
        // A cursor that cannot open without listing lists the folder instead.
        std::string path(root);
        if (!below.empty()) {
            path.push_back(kPathSeparator);
            path.append(below);
        }
        SubfolderList unused;
        return openRoot(path, unused, error);
    }

    /// Keeps the folder at `level` of the stack (0: the first) open for
    /// openToEnterFrom(); null when the cursor cannot do so without a trip
    /// to the disk.
    virtual std::shared_ptr<const HeldFolder> hold(std::size_t level)
    {
        (void)level;
        return {};
    }
    /// openToEnter(), starting from `held`, the folder the first
    /// `heldLength` bytes of `below` name (all of it, or none for the root):
    /// only the folders after those are opened, and none is listed.
    virtual bool openToEnterFrom(const HeldFolder& held, std::size_t heldLength,
        std::string_view root, std::string_view below, std::string& error)
    {
        (void)held;
        (void)heldLength;
        return openToEnter(root, below, error);
    }
};

/// True for one component of a path: not empty, not "." or "..", and no
/// separator ('/', and on Windows '\\' too). Anything else would lead enter()
/// out of the tree or to the same folder again.
inline bool isPlainName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos
        && name.find(kPathSeparator) == std::string_view::npos;
}

/// The cursor of the system the program was built for.
std::unique_ptr<DirectoryCursor> makeSystemDirectoryCursor();

/// True when `path` names an existing folder; otherwise false with the reason.
bool isExistingFolder(std::string_view path, std::string& error);

} // namespace vantorel::dirwalk
