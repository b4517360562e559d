// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/DirectoryCursor.h"
#include "platform/walk/readahead/ListingBatch.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <list>
#include <memory>
#include <string>

namespace vantorel::dirwalk::readahead
{

struct Worker;

/// Listings made and not yet taken by the walk, and their bytes.
struct Ahead {
    std::size_t listings = 0;
    std::size_t bytes = 0;
};

/// A run of pre-order: sibling folders with everything below them.
struct Piece {
    enum class State { Unstarted, Running, Finished };
    State state = State::Unstarted;
    Worker* owner = nullptr;
    // What an unstarted piece is: these subfolders of the folder at parentPath.
    std::uint64_t parentNumber = 0;
    std::string parentPath; ///< below the root: a separator and a name per level
    /// The parent kept open by the thread that listed it, when it could be.
    std::shared_ptr<const HeldFolder> parentHeld;
    /// The parent's listing, shared by every piece cut from it, and the part
    /// of it that is this piece's: entries `from` to `end` (links among them
    /// are passed over). Cutting a piece copies no name.
    std::shared_ptr<const SubfolderList> listing;
    std::size_t from = 0;
    std::size_t end = 0;
    // Listings written and not yet taken by the walk.
    std::deque<std::unique_ptr<ListingBatch>> batches;
    Ahead ahead; ///< what those batches hold
};

/// The tree's pre-order, piece after piece.
using PieceList = std::list<Piece>;
using PieceRef = PieceList::iterator;

} // namespace vantorel::dirwalk::readahead
