// SPDX-License-Identifier: MIT
// The operating system's side of the folder walk: plain C++, no Qt, one
// implementation per system (posix/, windows/). Names are the system's raw
// bytes (UTF-8 on Windows, converted once at the layer's edge).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::dirwalk {

enum class FolderKind : std::uint8_t {
    Folder, ///< a real folder: the walk goes into it
    Link,   ///< a link to a folder (symbolic link, junction): listed, never entered
};

/// The subfolders of one folder, in the file system's own order.
class SubfolderList
{
public:
    void clear()
    {
        m_names.clear();
        m_entries.clear();
    }
    void add(std::string_view name, FolderKind kind)
    {
        m_entries.push_back({m_names.size(), name.size(), kind});
        m_names.append(name);
    }
    std::size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    std::string_view name(std::size_t i) const
    {
        return std::string_view(m_names).substr(m_entries[i].offset, m_entries[i].length);
    }
    FolderKind kind(std::size_t i) const { return m_entries[i].kind; }

private:
    struct Entry
    {
        std::size_t offset;
        std::size_t length;
        FolderKind kind;
    };
    std::string m_names;
    std::vector<Entry> m_entries;
};

/// Walks down and up one tree, a folder at a time. The cursor holds a stack of
/// folders: the root, then each folder entered below it.
class DirectoryCursor
{
public:
    virtual ~DirectoryCursor() = default;

    /// Lists the folder at `path` and makes it the only level of the stack.
    /// False, with the system's reason in `error`, when it cannot be listed.
    virtual bool openRoot(std::string_view path, SubfolderList& out, std::string& error) = 0;
    /// Lists subfolder `name` of the deepest folder and pushes it. False, with
    /// the reason, when it cannot be listed; the stack is then unchanged.
    virtual bool enter(std::string_view name, SubfolderList& out, std::string& error) = 0;
    /// Pops the deepest folder.
    virtual void leave() = 0;
};

/// The cursor of the system the program was built for.
std::unique_ptr<DirectoryCursor> makeSystemDirectoryCursor();

/// True when `path` names an existing folder; otherwise false with the reason.
bool isExistingFolder(std::string_view path, std::string& error);

/// The separator of the system's paths.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

} // namespace vantorel::dirwalk
