// SPDX-License-Identifier: MIT
#pragma once

namespace vantorel
{

/// The Windows virtual-key code of a Qt key (46 for Delete), or 0 for a key
/// that has none.
int virtualKeyCode(int qtKey);

} // namespace vantorel
