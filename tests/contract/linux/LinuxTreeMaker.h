// SPDX-License-Identifier: MIT
// The contract's trees on Linux, made with the system's plain calls.
#pragma once

#include "../TreeMaker.h"

namespace vantorel::dirwalk::test
{

class LinuxTreeMaker final : public TreeMaker
{
public:
    /// Makes a uniquely named folder in $TMPDIR (or /tmp).
    LinuxTreeMaker();
    ~LinuxTreeMaker() override;
    LinuxTreeMaker(const LinuxTreeMaker&) = delete;
    LinuxTreeMaker& operator=(const LinuxTreeMaker&) = delete;

    bool valid() const override { return !m_root.empty(); }
    std::string path(std::string_view relative = {}) const override;
    bool makeFolder(std::string_view relative) override;
    bool makeFile(std::string_view relative) override;
    bool makeFolderLink(
        std::string_view relative, std::string_view target, std::string& how) override;
    /// A link to a file, a link to nothing and a named pipe.
    bool makeEntriesThatAreNoFolders(std::string_view relative) override;
    bool makeUnreadableFolder(std::string_view relative, std::string& how) override;
    bool removeFolder(std::string_view relative) override;
    std::vector<std::string> referenceListing(std::string_view relative = {}) const override;
    std::vector<std::string> referenceWalk() const override;
    bool listsLinksToGoneFolders() const override { return false; }
    std::string reason(Fault fault) const override;
    bool remove() override;

private:
    std::string m_root;
    std::vector<std::string> m_locked;
};

} // namespace vantorel::dirwalk::test
