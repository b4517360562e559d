// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Clipboard.h"

#include <QString>

namespace vantorel
{

/// Another program may hold the clipboard open for a moment, so each
/// operation is tried up to this many times before it gives up.
inline constexpr int kClipboardAttempts = 1000;

/// Empties the clipboard. Never fails.
void ClearClipboard(Clipboard& clipboard);

/// Places `text` on the clipboard, as plain text when `format` is 0 and in the
/// clipboard format of that number otherwise. True when it was placed; never fails.
bool SetClipboardText(Clipboard& clipboard, const QString& text, int format);

/// Places `text` and the file addresses of `nativePaths` on the clipboard.
/// True when they were placed; never fails.
bool SetClipboardPaths(
    Clipboard& clipboard, const QString& text, const QList<QByteArray>& nativePaths);

} // namespace vantorel
