// SPDX-License-Identifier: MIT
#pragma once

#include "platform/qt/QtListControl.h"
#include "shell/Form1.h"

#include <QApplication>
#include <QPushButton>
#include <QStringList>

namespace vantorel::test {

/// The real main window, started as the program starts it (start-up run while
/// hidden, then shown), whose close ends nothing but the window.
struct StartedMainWindow
{
    Form1 form{[] {}};

    StartedMainWindow()
    {
        form.load();
        form.showCentred();
        QApplication::setActiveWindow(&form);
    }

    template <class Widget>
    Widget* child(const char* objectName)
    {
        return form.findChild<Widget*>(QLatin1String(objectName));
    }
    QPushButton* button(const char* objectName) { return child<QPushButton>(objectName); }

    /// The results list's rows, as shown.
    QStringList results()
    {
        QStringList rows;
        for (int i = 0; i < form.results().count(); ++i)
            rows << form.results().text(i);
        return rows;
    }
};

} // namespace vantorel::test
