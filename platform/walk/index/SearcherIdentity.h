// SPDX-License-Identifier: MIT
// Whose index a cache file holds, and on which run of which machine it was
// written: an index proves what one user, with one set of rights, could list.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vantorel::dirwalk::index
{

/// The searching process's credentials (user and group ids, supplementary
/// groups, capabilities, security label) and the machine's id, as text.
std::string searcherKey();

/// The id of this boot of the machine; all zero where the system gives none.
std::array<std::uint8_t, 16> bootId();

/// The wall clock less the clock that counts since boot, in nanoseconds: it
/// moves when the wall clock is set, and only then.
std::int64_t wallClockSinceBoot();

} // namespace vantorel::dirwalk::index
