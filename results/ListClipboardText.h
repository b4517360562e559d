// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Clipboard.h"
#include "platform/EventPump.h"
#include "platform/ListControl.h"
#include "platform/TimeSlicedPump.h"

#include <QString>
#include <chrono>

namespace vantorel
{

/// The ticked rows of `list` as aligned text: every column padded with blanks
/// to its widest cell over all rows and followed by a tab, trailing blanks and
/// the last tab dropped, CR LF after each row. Pumps events while it reads.
/// Throws Failure when a list operation fails.
QString alignedTextOfTickedRows(ListControl& list, EventPump& pump,
    std::chrono::milliseconds pumpInterval = TimeSlicedPump::kDefaultInterval);

/// What a copy to the clipboard came to.
enum class ClipboardCopy {
    Copied,
    EmptyList, ///< no rows: the clipboard was left alone
    NothingTicked, ///< rows, none ticked: the clipboard was left alone
    ClipboardRefused, ///< the clipboard could not be set within its attempts
};

/// Puts the aligned text of the ticked rows on the clipboard. A list without
/// rows, or without a ticked row, leaves the clipboard alone: an empty copy
/// would only wipe what the user had there. List failures end it (throw
/// Failure); clipboard failures are retried and then returned, not thrown.
ClipboardCopy CopyListToClipboard(ListControl& list, EventPump& pump, Clipboard& clipboard,
    std::chrono::milliseconds pumpInterval = TimeSlicedPump::kDefaultInterval);

} // namespace vantorel
