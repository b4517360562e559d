// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/DirectoryCursor.h"
#include "platform/walk/linux/FileDescriptor.h"
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
///
/// A walk's cursor keeps one descriptor more in reserve, for the listing that
/// finds none left. A cursor that lists ahead of a walk (listAhead()) takes
/// from DescriptorBudget all it opens: one for its listings and one for its
/// first folder, unless it starts from a folder held for it, from its first
/// call until it is left or opened anew.
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
    bool openToEnterFrom(std::shared_ptr<const HeldFolder> held, std::size_t heldLength,
        std::string_view root, std::string_view below, std::string& error) override;
    void listAhead() override { m_listsAhead = true; }
    bool outOfDescriptors() const override { return m_outOfDescriptors; }
    bool roomToList() const override;
    std::size_t listersAtOnce() const override;

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

    /// Descriptors the cursor keeps open now for its levels.
    std::size_t openDescriptors() const { return m_keptDescriptors; }
    /// Whether it holds a descriptor in reserve now.
    bool holdsReserve() const { return m_reserve.valid(); }

private:
    struct Level {
        std::size_t pathLength; ///< length of m_path up to and including this folder
        int fd; ///< open descriptor, or -1 when closed after listing
        std::size_t anchor; ///< the nearest level at or above this one with an open fd
    };

    /// Opens `path` as the only level, listing it into `out` when given.
    bool openFirst(std::string_view path, int flags, SubfolderList* out, std::string& error);
    /// Closes everything and, for a cursor that lists ahead, takes the
    /// `count` descriptors its next walk needs; false when they are not there.
    bool startAnew(std::size_t count, std::string& error);
    /// Opens the deepest level's next folder to list it: from a kept folder
    /// higher up when none is left, then with the reserve.
    int openToList();
    void keepReserve();
    /// Sets `error` to the system's reason, noting whether it was for want of a descriptor.
    void failWith(int reason, std::string& error);
    /// Opens `below` of the only level, without listing it, as the only level.
    bool passDown(std::string_view below, std::string& error);
    /// Lists `fd` into `out`, with its stamp when stamping.
    bool readListing(int fd, SubfolderList& out, std::string& error);
    /// Opens `path`, below the location through no link when it lies below it.
    int openFromLocation(const std::string& path, int flags) const;
    int openBelowAnchor(int flags) const;
    /// Of m_path, what the descriptor of level `anchor` names.
    std::size_t anchorLength(std::size_t anchor) const;
    void closeLevel(std::size_t index);
    /// Counts one more kept descriptor against the process's budget; false when it is spent.
    bool takeBudget();
    /// Gives the budget held beyond the kept descriptors back (some is kept
    /// for the next ones, unless `all`).
    void returnSpareBudget(bool all);
    /// Closes the deepest kept descriptor but the root's; false when there is none.
    bool closeDeepestKept();
    /// Closes the levels; what was taken to list stays taken.
    void closeLevels();
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
    static std::size_t budgetAtOnce();

    /// The folder whose descriptor the first level uses, when it is not the cursor's own.
    std::shared_ptr<const HeldFolder> m_borrowed;
    /// Of m_path, what the first level's descriptor names: a folder above the first level
    /// when that is reached by its path from a held folder.
    std::size_t m_firstFdLength = 0;
    FileDescriptor m_reserve; ///< a walk's cursor's, given up for a listing that finds none
    bool m_listsAhead = false;
    std::size_t m_needed = 0; ///< taken from the budget to list at all
    bool m_waiting = false; ///< for the budget to have room
    bool m_outOfDescriptors = false;
    bool m_stamping = false;
    StampReader m_stamps;
    std::string m_location;
};

} // namespace vantorel::dirwalk
