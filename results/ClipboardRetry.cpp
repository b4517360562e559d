// SPDX-License-Identifier: MIT
#include "results/ClipboardRetry.h"

namespace vantorel
{

namespace
{

    template <class Attempt> bool retry(Attempt&& attempt)
    {
        for (int i = 0; i < kClipboardAttempts; ++i) {
            try {
                if (attempt())
                    return true;
            } catch (...) {
                // A clipboard failure is never reported: the next attempt may succeed.
            }
        }
        return false;
    }

} // namespace

void ClearClipboard(Clipboard& clipboard)
{
    retry([&] { return clipboard.clear(); });
}

bool SetClipboardText(Clipboard& clipboard, const QString& text, int format)
{
    return retry([&] { return clipboard.setText(text, format); });
}

bool SetClipboardPaths(
    Clipboard& clipboard, const QString& text, const QList<QByteArray>& nativePaths)
{
    return retry([&] { return clipboard.setTextAndPaths(text, nativePaths); });
}

} // namespace vantorel
