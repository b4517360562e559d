// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/DirectoryCursor.h"
#include "platform/walk/readahead/ListingBatch.h"
#include "platform/walk/readahead/Pacing.h"
#include "platform/walk/readahead/Piece.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace vantorel::dirwalk::readahead
{

/// One of the pool's threads, walking the piece it owns with a cursor of its
/// own, each folder opened relative to its parent. All of it is the thread's
/// own but giveAwayAsked and waiting, which the pool's lock guards.
struct Worker {
    struct Frame {
        std::uint64_t number = 0;
        std::size_t pathLength = 0; ///< of path, up to this folder
        std::shared_ptr<const SubfolderList> subfolders;
        std::size_t next = 0;
        std::size_t end = 0;
        /// The list this frame lists into, while no piece shares it.
        std::shared_ptr<SubfolderList> own;
        /// The folder kept open for the pieces cut from it.
        std::shared_ptr<const HeldFolder> held;
    };

    std::size_t index = 0;
    std::unique_ptr<DirectoryCursor> cursor;
    std::atomic<bool> giveAwayAsked { false };
    bool waiting = false; ///< for room, with its work
    std::condition_variable wake; ///< while waiting
    std::uint64_t nextNumber = 0;
    std::vector<Frame> frames; ///< the piece's parent, then each folder entered below it
    std::size_t depth = 0; ///< frames in use
    std::string path; ///< of the deepest frame, below the root
    std::shared_ptr<const HeldFolder> parentHeld; ///< of the piece taken, until opened
    bool opened = false; ///< the piece's parent could be opened
    /// The thread gave its work back for want of descriptors: it waits for some to be let go.
    bool backedOff = false;
    std::string error;
    PieceRef current;
    std::unique_ptr<ListingBatch> batch = std::make_unique<ListingBatch>();
    std::chrono::steady_clock::time_point batchStarted;
    Ahead aheadAtPublish; ///< listings before the batch, when it was last handed over
    std::size_t reserved = 0; ///< listings counted against the limits and not made yet
    PaceMeter pace;
    std::thread thread;

    /// Makes the folders of `piece` the first frame.
    void take(PieceRef piece);
    /// Opens the piece's parent below `root`, which `rootHeld` holds open
    /// when not null, without listing it, nor the folders on the way. False
    /// when the cursor could not for want of descriptors.
    bool open(const std::string& root, const std::shared_ptr<const HeldFolder>& rootHeld);
    /// Whether the deepest folder has a subfolder left to list; skips what is not one.
    bool hasNextFolder();
    /// Leaves the deepest folder, done with.
    void leaveFolder();
    /// Lists the deepest folder's next subfolder into the batch, and enters it
    /// if listed. False, with nothing done, when the cursor could not for want
    /// of descriptors.
    bool listNextFolder();
    /// Hands the deepest folder's next subfolder over as one that could not be
    /// listed: the walk lists it itself.
    void passNextFolder();
    /// Whether the batch is to be handed over now: it is full, or the walk
    /// waits for it and has waited long enough.
    bool batchDue(bool walkWaitsForIt);
};

/// The subfolders still to be started in a frame, counted up to `most`.
std::size_t foldersLeft(const Worker::Frame& frame, std::size_t most);

} // namespace vantorel::dirwalk::readahead
