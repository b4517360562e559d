// SPDX-License-Identifier: MIT
#include "shell/StartFolders.h"

#include "platform/qt/QtListControl.h"
#include "shell/Form1.h"

namespace vantorel
{

void addStartFolders(Form1& window, const QStringList& folders)
{
    for (const QString& folder : folders)
        window.locations().append(folder);
}

void bringToFront(Form1& window)
{
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.raise();
    window.activateWindow();
}

} // namespace vantorel
