// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace vantorel
{

/// One attempt at each clipboard operation; false when it failed.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    virtual bool clear() = 0;
    /// Format 0 is plain text; any other value names a clipboard format.
    virtual bool setText(const QString& text, int format) = 0;
    /// Places `text` as plain text and, beside it, the file addresses of
    /// `nativePaths`, byte for byte: text cannot carry a name that is not
    /// valid in the file name encoding, an address can.
    virtual bool setTextAndPaths(const QString& text, const QList<QByteArray>& nativePaths)
    {
        (void)nativePaths;
        return setText(text, 0);
    }
};

} // namespace vantorel
