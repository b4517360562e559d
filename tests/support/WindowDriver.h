// SPDX-License-Identifier: MIT
// The main window started as the program starts it, offscreen, with its
// controls at hand for tests that drive it as a user would.
#pragma once

#include "platform/qt/list/QtListControl.h"
#include "shell/UserLanguage.h"
#include "shell/qt/Form1.h"

#include <QPushButton>
#include <QString>
#include <QStringList>
#include <functional>

namespace vantorel::test
{

class WindowDriver
{
    /// The user's language as the program takes it from the environment, with
    /// the build's catalogues: the tests run in the C locale, where it is none.
    UserLanguage m_language;

public:
    /// Loads and shows the window; closing it runs `endProgram` (by default nothing).
    explicit WindowDriver(std::function<void()> endProgram = [] {});

    Form1 form;

    template <class T> T* child(const char* name)
    {
        return form.findChild<T*>(QLatin1String(name));
    }
    QPushButton* button(const char* name) { return child<QPushButton>(name); }
    /// Clicks a command button with the mouse.
    void click(const char* name);
    /// Replaces the phrase by typing it key by key.
    void typePhrase(const QString& phrase);
    /// Lists `location` to search, types `phrase` and presses "Start Finding".
    void search(const QString& location, const QString& phrase);
    QString phrase();
    QStringList results();
    QStringList locations();
    QString locationsHeader();
};

/// The build's catalogues of the program, beside the program file.
QString buildCatalogues();

/// The file that holds the settings of the tests' user.
QString settingsFile();

/// A failure report as its box shows it.
QString shownReport(const QString& description, const QString& procedure, int line);

} // namespace vantorel::test
