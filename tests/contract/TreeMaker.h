// SPDX-License-Identifier: MIT
// What the contract's cases need of the system to build their trees: one
// implementation per system, each over the system's own calls, none over the
// cursor under test.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantorel::dirwalk::test
{

/// The reasons whose text a system fixes; others only need to be a reason.
enum class Fault { Missing, NotAFolder, Denied };

/// A fresh temporary folder for one case, removed with everything in it when
/// the maker goes. Relative paths use '/' whatever the system.
class TreeMaker
{
public:
    virtual ~TreeMaker() = default;

    /// False when no temporary folder could be made.
    virtual bool valid() const = 0;
    /// The root, or `relative` below it, as the cursor takes it: the system's
    /// separators, UTF-8.
    virtual std::string path(std::string_view relative = {}) const = 0;

    /// One folder or file; the folder it goes in must exist.
    virtual bool makeFolder(std::string_view relative) = 0;
    virtual bool makeFile(std::string_view relative) = 0;
    /// A link to folder `target` (relative to the root; empty for the root
    /// itself). False, with the reason in `how`, when the system cannot make
    /// one; otherwise `how` names what was made.
    virtual bool makeFolderLink(
        std::string_view relative, std::string_view target, std::string& how)
        = 0;
    /// Entries in folder `relative` that are neither folders nor links to
    /// folders, of the kinds the system has beyond files; false when one
    /// could not be made.
    virtual bool makeEntriesThatAreNoFolders(std::string_view relative) = 0;
    /// A folder the cursor may not list. False, with the reason in `how`, when
    /// the system would let it be listed anyway.
    virtual bool makeUnreadableFolder(std::string_view relative, std::string& how) = 0;
    /// Removes an empty folder.
    virtual bool removeFolder(std::string_view relative) = 0;

    /// The subfolders of `relative` in the order the system gives, read by
    /// the system's plain calls; links marked " (link)".
    virtual std::vector<std::string> referenceListing(std::string_view relative = {}) const = 0;
    /// The tree in pre-order in the same order, as paths relative to the root
    /// joined by the system's separator; links marked and not entered.
    virtual std::vector<std::string> referenceWalk() const = 0;

    /// Whether a link whose folder is gone is still listed as a link: on
    /// Windows the link is a folder entry of its own, on Linux it leads nowhere.
    virtual bool listsLinksToGoneFolders() const = 0;

    /// The exact text the system gives for `fault`, or empty when any reason will do.
    virtual std::string reason(Fault fault) const = 0;

    /// Removes the tree now; true when nothing of it is left.
    virtual bool remove() = 0;
};

} // namespace vantorel::dirwalk::test
