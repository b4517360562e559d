// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/DirectoryCursor.h"

#include <cstddef>
#include <string>
#include <vector>

namespace vantorel::dirwalk
{

/// The folder walk over FindFirstFileExW. One wide path buffer, in its "\\?\"
/// form so that depth is limited only by the system's 32767 characters, grows
/// by a name on enter() and is cut back on leave(). Junctions and symbolic
/// links are delivered as links and never followed below the root.
class WindowsDirectoryCursor final : public DirectoryCursor
{
public:
    WindowsDirectoryCursor() = default;
    WindowsDirectoryCursor(const WindowsDirectoryCursor&) = delete;
    WindowsDirectoryCursor& operator=(const WindowsDirectoryCursor&) = delete;

    bool openRoot(std::string_view path, SubfolderList& out, std::string& error) override;
    bool enter(std::string_view name, SubfolderList& out, std::string& error) override;
    void leave() override;
    /// Opens the folder without listing it or its parent, and refuses it when
    /// the system reaches it through a link below `root`.
    bool openToEnter(std::string_view root, std::string_view below, std::string& error) override;

private:
    bool listCurrent(SubfolderList& out, std::string& error);
    void reset();
    bool openBelowRoot(std::string_view root, std::string_view below, unsigned long& code);
    bool resolveRoot(std::wstring_view root, unsigned long& code);
    bool isBelowRoot(const std::wstring& resolved, std::wstring_view relative);

    std::wstring m_path; ///< the deepest folder, extended form
    std::vector<std::size_t> m_levels; ///< length of m_path at each level
    std::string m_name; ///< scratch for one name in UTF-8
    std::wstring m_root; ///< the root openToEnter() last resolved, extended form
    std::wstring m_resolvedRoot; ///< where the system arrived through it
    std::wstring m_expected; ///< scratch for where a folder below it should be
};

} // namespace vantorel::dirwalk
