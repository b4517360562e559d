// SPDX-License-Identifier: MIT
// Draws the main window with a few sample rows, without a display, and saves
// the picture: the first argument names the file, else docs/screenshot.png.
#include "platform/qt/QtEventPump.h"
#include "platform/qt/QtListControl.h"
#include "shell/Form1.h"

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <cstdio>

using namespace vantorel;

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString target
        = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(OSTLEBRY_SCREENSHOT_PATH);

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
    window.pump().pump();
    const QPixmap picture = window.grab();
    if (!picture.save(target)) {
        std::fprintf(stderr, "screenshot: cannot write %s\n", qPrintable(target));
        return 1;
    }
    std::printf("%s\n", qPrintable(target));
    return 0;
}
