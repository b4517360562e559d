// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>

namespace vantorel::dirwalk
{

/// The descriptors that the read-ahead's cursors together may hold, and that
/// any cursor may keep open between calls: what the process's soft limit
/// leaves once the descriptors open at the walk's start (the program's own,
/// the walk's root and its reserve), the two a listing of the walk opens for
/// a moment and an eighth of the limit, for the rest of the program to grow
/// into, are set aside. The walk's own cursor opens its root and its listings
/// outside the budget, and keeps one more descriptor in reserve.
///
/// Two kinds of taking: what a read-ahead thread needs to list at all, which
/// may use the whole budget, and descriptors kept open only to save trips to
/// the disk, which leave room for the first kind and are not taken at all
/// while a read-ahead thread waits for room.
class DescriptorBudget
{
public:
    /// Sizes the budget afresh from the limit and the descriptors open now:
    /// the walk does so at each new root.
    static void refresh();
    /// Takes up to `count` descriptors to keep open for speed; how many it got.
    static std::size_t take(std::size_t count);
    /// Takes `count` descriptors a cursor needs to list, all or none; false
    /// when they are not there.
    static bool takeNeeded(std::size_t count);
    /// Gives back `count` taken descriptors.
    static void give(std::size_t count);
    /// A read-ahead cursor waits for room (`waits`), or no longer does: while
    /// any waits, nothing is taken only for speed.
    static void setWaiting(bool waits);
    /// Descriptors taken now, by all cursors.
    static std::size_t taken();
    static std::size_t size();

    /// Kept free by take(), for a read-ahead thread that has to list.
    static constexpr std::size_t kKeptForNeeds = 2;
    /// What a listing of the walk opens for a moment at most: the folder, and
    /// one on the way to it when the path is long.
    static constexpr std::size_t kWalkListing = 2;
};

} // namespace vantorel::dirwalk
