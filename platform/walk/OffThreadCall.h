// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/DirectoryCursor.h"

#include <functional>

namespace vantorel::dirwalk
{

/// Runs `job` on a thread of its own, waiting for it in slices and calling
/// `whileWaiting` between them; runs it here when there is no handler. False
/// when the handler gave the wait up: the job then ends in the background,
/// whenever the system lets it, so it must own everything it touches.
bool runOffThread(std::function<void()> job, const WaitHandler& whileWaiting);

} // namespace vantorel::dirwalk
