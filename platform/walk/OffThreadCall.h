// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/DirectoryCursor.h"

#include <functional>
#include <string_view>

namespace vantorel::dirwalk
{

/// Runs `job` on a thread of its own, waiting for it in slices and calling
/// `whileWaiting` between them; runs it here when there is no handler. False
/// when the handler gave the wait up: the job then ends in the background,
/// whenever the system lets it, so it must own everything it touches.
///
/// `folder` is the path the job is about. A job about it that was left behind
/// earlier and still runs is waited for first, the same way, and while it runs
/// no second one is started beside it.
bool runOffThread(
    std::string_view folder, std::function<void()> job, const WaitHandler& whileWaiting);

} // namespace vantorel::dirwalk
