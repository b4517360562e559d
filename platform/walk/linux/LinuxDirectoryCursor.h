// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/DirectoryCursor.h"
#include "platform/walk/linux/StampReader.h"

#include <memory>
#include <string>
#include <vector>

namespace vantorel::dirwalk
{

/// Lists folders with getdents64 and opens each child relative to an open
/// ancestor, through no link, so that neither the depth of a tree nor the
/// length of its paths is bounded by the descriptor limit or by PATH_MAX, and
/// a folder swapped for a link never takes the walk out of the tree.
///
/// The top kKeptDepth levels keep their descriptors open; below them a level
/// keeps its descriptor only as an "anchor" when the path from the previous
/// anchor has grown past kAnchorSpan bytes. Every other listing is read whole
/// and its descriptor closed at once.
class LinuxDirectoryCursor final : public DirectoryCursor
{
public:
    LinuxDirectoryCursor();
    ~LinuxDirectoryCursor() override;
    LinuxDirectoryCursor(const LinuxDirectoryCursor&) = delete;
    LinuxDirectoryCursor& operator=(const LinuxDirectoryCursor&) = delete;

    bool openRoot(std::string_view path, SubfolderList& out, std::string& error) override;
    bool enter(std::string_view name, SubfolderList& out, std::string& error) override;
    void leave() override;
    /// Opens the folders it passes through with O_PATH: on a network share,
    /// that costs no trip to open a folder nobody lists.
    bool openToEnter(std::string_view root, std::string_view below, std::string& error) override;
    std::shared_ptr<const HeldFolder> hold(std::size_t level) override;
    bool openToEnterFrom(const HeldFolder& held, std::size_t heldLength, std::string_view root,
        std::string_view below, std::string& error) override;

    /// From now on every listing carries the folder's stamp, taken from the
    /// handle it is read through before it is read, and the links in it whose
    /// target is no folder: what a folder index keeps.
    void setStamping(bool on) { m_stamping = on; }
    /// A root below `location` is opened from it through no link: only the
    /// location itself may be reached through one.
    void setLocation(std::string location);
    /// Pushes subfolder `name` of the deepest folder without listing it, only
    /// to reach what lies below it. False, with the reason, when it cannot be
    /// opened; the stack is then unchanged.
    bool pass(std::string_view name, std::string& error);
    /// The stamp of entry `name` of the deepest folder, read through no link,
    /// or of its target with `follow`. False, with the reason, when it cannot
    /// be read or is no folder.
    bool stampEntry(std::string_view name, bool follow, FolderStamp& stamp, std::string& error);

    static constexpr std::size_t kKeptDepth = 32;
    static constexpr std::size_t kAnchorSpan = 1024;
    /// Beyond this many open descriptors, or when the budget of the process
    /// (DescriptorBudget) is spent, no anchor is kept; deeper folders are then
    /// reached by longer paths from the kept ones.
    static constexpr std::size_t kMaxKeptDescriptors = 96;

    /// Descriptors the cursor holds open now.
    std::size_t openDescriptors() const { return m_keptDescriptors; }

private:
    struct Level {
        std::size_t pathLength; ///< length of m_path up to and including this folder
        int fd; ///< open descriptor, or -1 when closed after listing
        std::size_t anchor; ///< the nearest level at or above this one with an open fd
    };

    /// Opens `path` as the only level, listing it into `out` when given.
    bool openFirst(std::string_view path, int flags, SubfolderList* out, std::string& error);
    /// Opens `below` of the only level, without listing it, as the only level.
    bool passDown(std::string_view below, std::string& error);
    bool readListing(int fd, SubfolderList& out, std::string& error);
    /// Opens `path`, below the location through no link when it lies below it.
    int openFromLocation(const std::string& path, int flags) const;
    int openBelowAnchor(int flags) const;
    void closeLevel(std::size_t index);
    /// Counts one more kept descriptor against the process's budget; false when it is spent.
    bool takeBudget();
    /// Gives the budget held beyond the kept descriptors back (some is kept
    /// for the next ones, unless `all`).
    void returnSpareBudget(bool all);
    /// Closes the deepest kept descriptor but the root's; false when there is none.
    bool closeDeepestKept();
    void closeAll();

    /// Path of the deepest level: the root as given (without trailing
    /// separators), then "/" and a name per level.
    std::string m_path;
    std::vector<Level> m_levels;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_keptDescriptors = 0;
    /// Taken from DescriptorBudget a few at a time: one shared count per
    /// folder would cost the walk's threads more than the folder.
    std::size_t m_budgetHeld = 0;
    static constexpr std::size_t kBudgetAtOnce = 8;
    bool m_stamping = false;
    StampReader m_stamps;
    std::string m_location;
};

} // namespace vantorel::dirwalk
