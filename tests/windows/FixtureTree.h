// SPDX-License-Identifier: MIT
// A folder tree that a test builds in a fresh temporary folder and removes again.
#pragma once

#include <string>
#include <string_view>

namespace vantorel::dirwalk::test
{

class FixtureTree
{
public:
    /// Creates a uniquely named folder in the user's temporary folder.
    FixtureTree();
    /// Removes the whole tree; links are removed, never followed.
    ~FixtureTree();
    FixtureTree(const FixtureTree&) = delete;
    FixtureTree& operator=(const FixtureTree&) = delete;

    bool valid() const { return m_valid; }
    /// The root as users write it (no "\\?\"), and below it `relative`.
    std::wstring userPath(std::wstring_view relative = {}) const;
    /// The same in UTF-8, as the directory layer takes it.
    std::string utf8Path(std::wstring_view relative = {}) const;
    /// The extended-length form, for building trees beyond 260 characters.
    std::wstring longPath(std::wstring_view relative = {}) const;

    bool makeFolder(std::wstring_view relative);
    bool makeFile(std::wstring_view relative);
    bool setAttributes(std::wstring_view relative, unsigned long attributes);
    /// A folder link at `relative` to `target`: a symbolic link where the
    /// system allows one, else a junction. `how` names what was made or why
    /// nothing could be.
    bool makeFolderLink(std::wstring_view relative, std::wstring_view target, std::string& how);
    /// Removes the tree now; true when nothing of it is left.
    bool remove();

private:
    std::wstring m_user;
    std::wstring m_long;
    bool m_valid = false;
};

} // namespace vantorel::dirwalk::test
