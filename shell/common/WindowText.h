// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>

namespace vantorel
{

/// The window's own words in the user's language: captions, column headers,
/// tooltips, menus and accessible names, one translation each, whichever
/// part of the program sets them.
class WindowText
{
    Q_DECLARE_TR_FUNCTIONS(Form1)

public:
    /// "Start Finding" reads this while a search runs; the search and the
    /// keys tell a running search by it.
    static QString stopCaption() { return tr("Stop"); }
};

} // namespace vantorel
