// SPDX-License-Identifier: MIT
// One case of the real window: a home of its own, the standard trees, the
// boxes answered and the window, so that a window case is a row or a few lines.
#pragma once

#include "support/ModalBoxAnswerer.h"
#include "support/WindowDriver.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>

namespace vantorel::test
{

/// How a case searches.
struct SearchSettings {
    bool matchCase = false;
    bool fullPath = true;
};

class WindowCase
{
public:
    enum class Tree { Plain, Crowded, LinksAndLoops };

    /// Points the settings store at a new home; the window starts on the
    /// first call of window(), so that a case may put settings there first.
    WindowCase();
    ~WindowCase();
    WindowCase(const WindowCase&) = delete;
    WindowCase& operator=(const WindowCase&) = delete;

    /// A standard tree (see StandardTree), made once for the whole test program.
    static QString tree(Tree which);
    /// The home's folder, and the file that holds the settings there.
    QString home() const { return m_home.path(); }
    QString settingsFile() const;

    WindowDriver& window();
    ModalBoxAnswerer& boxes() { return m_boxes; }

    /// Lists `locations`, types `phrase`, sets Match Case and the display as
    /// `settings` say and presses "Start Finding". Then compares the rows with
    /// what the reference walk finds in each location, in order, and the boxes
    /// shown with `shown`. False after a difference, which fails the test.
    bool expectSearch(const QStringList& locations, const QString& phrase,
        SearchSettings settings = {}, const QStringList& shown = { QStringLiteral("Done.") });

private:
    QTemporaryDir m_home;
    std::optional<QByteArray> m_oldConfigHome;
    ModalBoxAnswerer m_boxes;
    std::unique_ptr<WindowDriver> m_window;
};

} // namespace vantorel::test
