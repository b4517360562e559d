// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>

namespace vantorel::dirwalk {

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
    /// Takes one descriptor from the budget; false when it is spent.
    static bool take();
    /// Gives back one taken descriptor.
    static void give();
    /// Descriptors taken now, by all cursors.
    static std::size_t taken();
    static std::size_t size();
};

} // namespace vantorel::dirwalk
