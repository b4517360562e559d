// SPDX-License-Identifier: MIT
// Opening a folder below an open one without ever leaving it: a folder swapped
// for a link while the walk is below it must not take the walk elsewhere.
#pragma once

#include <string_view>

namespace vantorel::dirwalk
{

/// openat() of `relative` ("/"-joined names) below `dirfd`, refusing a link in
/// any of its parts, the last included, and a path of any length. `relative`
/// must be followed by a zero byte. Returns the descriptor, or -1 with errno set.
int openBeneath(int dirfd, std::string_view relative, int flags);

/// Whether openBeneath() resolves a path in one call (openat2) rather than a
/// name at a time; false once the kernel has said it cannot.
bool opensBeneathInOneCall();

/// For tests: resolve a name at a time, as on a kernel without openat2.
void forceOpenBeneathByName(bool byName);

} // namespace vantorel::dirwalk
