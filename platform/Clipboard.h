// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace vantorel {

/// One attempt at each clipboard operation; false when it failed.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    virtual bool clear() = 0;
    /// Format 0 is plain text; any other value names a clipboard format.
    virtual bool setText(const QString& text, int format) = 0;
};

} // namespace vantorel
