// SPDX-License-Identifier: MIT
// The contract's trees on Windows, made over a FixtureTree.
#pragma once

#include "FixtureTree.h"

#include "../contract/TreeMaker.h"

namespace vantorel::dirwalk::test
{

class WindowsTreeMaker final : public TreeMaker
{
public:
    bool valid() const override { return m_tree.valid(); }
    std::string path(std::string_view relative = {}) const override;
    bool makeFolder(std::string_view relative) override;
    bool makeFile(std::string_view relative) override;
    bool makeFolderLink(
        std::string_view relative, std::string_view target, std::string& how) override;
    /// None: a link to a file needs the rights a symbolic link does, and files are made anyway.
    bool makeEntriesThatAreNoFolders(std::string_view) override { return true; }
    /// A folder whose access list denies everyone.
    bool makeUnreadableFolder(std::string_view relative, std::string& how) override;
    bool removeFolder(std::string_view relative) override;
    std::vector<std::string> referenceListing(std::string_view relative = {}) const override;
    std::vector<std::string> referenceWalk() const override;
    bool listsLinksToGoneFolders() const override { return true; }
    /// Any reason: the texts are the system's messages in the user's language.
    std::string reason(Fault) const override { return {}; }
    bool remove() override { return m_tree.remove(); }

private:
    FixtureTree m_tree;
};

} // namespace vantorel::dirwalk::test
