// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>

namespace vantorel::dirwalk
{

/// The descriptors that every cursor of the process together may keep open
/// between calls: a quarter of the process's soft limit, so that the walk's
/// threads, the descriptors they open for a moment and the rest of the program
/// share the other three quarters. A cursor's root is not counted: it is
/// always kept.
class DescriptorBudget
{
public:
    /// Reads the process's limit again; a cursor does so at each new root.
    static void refresh();
    /// Takes up to `count` descriptors from the budget; how many it got.
    static std::size_t take(std::size_t count);
    /// Gives back `count` taken descriptors.
    static void give(std::size_t count);
    /// Descriptors taken now, by all cursors.
    static std::size_t taken();
    static std::size_t size();
};

} // namespace vantorel::dirwalk
