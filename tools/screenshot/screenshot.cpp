// SPDX-License-Identifier: MIT
// Draws the main window with a few sample rows, without a display, and saves
// the picture: the first argument names the file, else docs/screenshot.png.
// With --context-menu first, the results list's context menu is drawn open
// over the window, into the file named next or docs/context-menu.png.
#include "platform/qt/QtEventPump.h"
#include "platform/qt/QtListControl.h"
#include "platform/qt/ListView.h"
#include "shell/Form1.h"
#include "shell/Form1Usability.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <cstdio>

using namespace vantorel;

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const bool contextMenu = arguments.value(0) == QLatin1String("--context-menu");
    if (contextMenu)
        arguments.removeFirst();
    const QString docs = QFileInfo(QStringLiteral(OSTLEBRY_SCREENSHOT_PATH)).path();
    const QString target = !arguments.isEmpty() ? arguments.first()
        : contextMenu ? QDir(docs).filePath(QStringLiteral("context-menu.png"))
                      : QStringLiteral(OSTLEBRY_SCREENSHOT_PATH);

    Form1 window([] {});
    window.load();
    window.setWindowTitle(QStringLiteral("Vantorel Software"));
    window.locations().setColumnCaption(QStringLiteral("Folder(s)"));
    window.results().setColumnCaption(QStringLiteral("Results"));
    window.locations().append(QStringLiteral("/home/user/Documents"));
    window.locations().append(QStringLiteral("/opt/ostlebry/Samples"));
    for (const char* row : { "/home/user/Documents/Templates/Example letters",
             "/home/user/Documents/Templates/sampler",
             "/opt/ostlebry/Samples/Examples/Sample Photos",
             "/opt/ostlebry/Samples/Examples/old/SAMPLE-2019",
             "/opt/ostlebry/Samples/Documents/Templates/sampler" })
        window.results().append(QString::fromLatin1(row));
    window.results().setChecked(1, true);
    if (auto* phrase = window.findChild<QLineEdit*>(QStringLiteral("Text1")))
        phrase->setText(QStringLiteral("ampl"));

    window.showCentred();
    if (contextMenu) {
        // The menu as a right-click on the second row opens it. A grab holds
        // the window alone, so the open menu's picture is laid over it.
        auto* list = window.findChild<ListView*>(QStringLiteral("ListView2"));
        window.pump().pump();
        const QModelIndex row = list->model()->index(1, 0);
        list->selectionModel()->select(
            row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        list->setCurrentIndex(row);
        const QPoint point = list->visualRect(row).center() + QPoint(40, 0);
        const std::unique_ptr<QMenu> menu = window.usability().resultsList().menuAt(point);
        menu->popup(list->viewport()->mapToGlobal(point));
        auto* overlay = new QLabel(&window);
        overlay->setPixmap(menu->grab());
        overlay->move(window.mapFromGlobal(menu->pos()));
        overlay->adjustSize();
        overlay->show();
        menu->close();
    }
    window.pump().pump();
    const QPixmap picture = window.grab();
    if (!picture.save(target)) {
        std::fprintf(stderr, "screenshot: cannot write %s\n", qPrintable(target));
        return 1;
    }
    std::printf("%s\n", qPrintable(target));
    return 0;
}
