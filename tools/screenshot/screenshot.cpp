// SPDX-License-Identifier: MIT
// Draws the main window with a few sample rows, without a display, and saves
// the picture: the first argument names the file, else docs/screenshot.png.
// With --context-menu first, the results list's context menu is drawn open
// over the window, into the file named next or docs/context-menu.png. With
// --dark-desktop first, the desktop's palette is a dark one, into the file
// named next or docs/screenshot-dark-desktop.png. Both together draw the menu
// over the dark desktop.
#include "platform/controls/QtEventPump.h"
#include "platform/qt/list/ListView.h"
#include "platform/qt/list/QtListControl.h"
#include "shell/qt/Form1.h"
#include "shell/qt/Form1Usability.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <cstdio>

using namespace vantorel;

namespace
{

/// The window's picture inside a title bar with its icon and caption, as a
/// desktop shows it: an offscreen grab has the client area only.
QPixmap framed(const QWidget& window, const QPixmap& client)
{
    constexpr int kMargin = 14;
    constexpr int kTitle = 34;
    // A scaled screen's ratio may be a fraction (1.25, 1.5).
    const QSize clientSize = client.deviceIndependentSize().toSize();
    const QRect frame(kMargin, kMargin, clientSize.width() + 2, clientSize.height() + kTitle + 1);
    QPixmap picture(frame.width() + 2 * kMargin, frame.height() + 2 * kMargin);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    for (int i = kMargin; i > 0; i -= 2) { // a soft shadow
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(20, 35, 55, 5));
        painter.drawRoundedRect(frame.adjusted(-i, -i + 4, i, i + 4), 10 + i, 10 + i);
    }
    QPainterPath outline;
    outline.addRoundedRect(frame, 8, 8);
    painter.setClipPath(outline);
    painter.fillRect(frame, QColor(0xdf, 0xe5, 0xec));
    painter.drawPixmap(frame.left() + 1, frame.top() + kTitle, client);

    const QIcon icon = window.windowIcon();
    icon.paint(&painter, QRect(frame.left() + 10, frame.top() + 7, 20, 20));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(14);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0x24, 0x3b, 0x53));
    painter.drawText(
        QRect(frame.left() + 38, frame.top(), 300, kTitle), Qt::AlignVCenter, window.windowTitle());
    // Minimise and close: the window has no maximise button.
    painter.setPen(QPen(QColor(0x48, 0x5a, 0x6e), 1.6, Qt::SolidLine, Qt::RoundCap));
    const int right = frame.right() - 18;
    const int middle = frame.top() + kTitle / 2;
    painter.drawLine(right - 6, middle - 5, right + 4, middle + 5);
    painter.drawLine(right - 6, middle + 5, right + 4, middle - 5);
    painter.drawLine(right - 40, middle + 1, right - 30, middle + 1);

    painter.setClipping(false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QColor(0xa9, 0xb6, 0xc3));
    painter.drawRoundedRect(QRectF(frame).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    return picture;
}

/// A dark desktop theme's palette: the frame and title bar follow it.
QPalette darkDesktopPalette()
{
    QPalette dark(QColor(0x35, 0x35, 0x35), QColor(0x2b, 0x2b, 0x2b));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    for (const QPalette::ColorRole text :
        { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        dark.setColor(text, Qt::white);
    return dark;
}

/// The file named on the command line, else the one in docs/ for the options given.
QString targetFile(const QStringList& arguments, bool contextMenu, bool darkDesktop)
{
    const QString docs = QFileInfo(QStringLiteral(OSTLEBRY_SCREENSHOT_PATH)).path();
    return !arguments.isEmpty() ? arguments.first()
        : contextMenu           ? QDir(docs).filePath(QStringLiteral("context-menu.png"))
        : darkDesktop           ? QDir(docs).filePath(QStringLiteral("screenshot-dark-desktop.png"))
                                : QStringLiteral(OSTLEBRY_SCREENSHOT_PATH);
}

/// Sample locations, results and phrase, one row ticked.
void fillWithSamples(Form1& window)
{
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
}

/// The menu as a right-click on the second row opens it. A grab holds the
/// window alone, so the open menu's picture is laid over it.
void showContextMenuOver(Form1& window)
{
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

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    // The two options combine, in either order.
    const bool contextMenu = arguments.removeAll(QStringLiteral("--context-menu")) > 0;
    const bool darkDesktop = arguments.removeAll(QStringLiteral("--dark-desktop")) > 0;
    if (darkDesktop)
        app.setPalette(darkDesktopPalette());
    const QString target = targetFile(arguments, contextMenu, darkDesktop);

    Form1 window([] {});
    window.load();
    fillWithSamples(window);
    window.showCentred();
    if (contextMenu)
        showContextMenuOver(window);
    window.pump().pump();
    const QPixmap picture = framed(window, window.grab());
    if (!picture.save(target)) {
        std::fprintf(stderr, "screenshot: cannot write %s\n", qPrintable(target));
        return 1;
    }
    std::printf("%s\n", qPrintable(target));
    return 0;
}
