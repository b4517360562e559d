// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Clipboard.h"

namespace vantorel
{

/// The system clipboard.
class QtClipboard : public Clipboard
{
public:
    bool clear() override;
    bool setText(const QString& text, int format) override;
    bool setTextAndPaths(const QString& text, const QList<QByteArray>& nativePaths) override;
};

} // namespace vantorel
