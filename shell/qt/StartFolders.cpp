// SPDX-License-Identifier: MIT
#include "shell/qt/StartFolders.h"

#include "platform/qt/list/QtListControl.h"
#include "shell/qt/Form1.h"
#include "shell/qt/WindowActivation.h"

namespace vantorel
{

void addStartFolders(Form1& window, const QList<QByteArray>& folders)
{
    for (const QByteArray& folder : folders) {
        const qsizetype nameStart = folder.lastIndexOf('/') + 1;
        window.locations().appendFolder(
            std::string_view(folder.constData(), std::size_t(folder.size())),
            std::size_t(folder.size() - nameStart), true);
    }
}

void bringToFront(Form1& window, const QByteArray& startupId, WindowActivation& activation)
{
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    activation.activate(window, startupId);
}

} // namespace vantorel
