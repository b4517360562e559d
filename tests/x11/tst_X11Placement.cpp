// SPDX-License-Identifier: MIT
// The program's window on a 1366 x 768 screen framed by a real window
// manager, at the scales that make the window taller than the screen: its
// frame, title bar included, lies on the screen, and it takes the height
// there is.
#include "X11Probe.h"
#include "X11TestMain.h"

#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>

using namespace vantorel::test;

class TestX11Placement : public QObject
{
    Q_OBJECT

private slots:
    void frameLiesOnTheScreen_data()
    {
        QTest::addColumn<QByteArray>("scale");
        for (const char* scale : { "1.25", "1.5", "1.75", "2" })
            QTest::newRow(scale) << QByteArray(scale);
    }
    void frameLiesOnTheScreen()
    {
        QFETCH(QByteArray, scale);
        X11Probe x11;
        QVERIFY(x11.connected());
        const QRect screen(QPoint(0, 0), x11.screenSize());
        QCOMPARE(screen.size(), QSize(1366, 768));

        QTemporaryDir home;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_SCALE_FACTOR", scale);
        environment.insert("HOME", home.path());
        environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
        environment.insert("XDG_RUNTIME_DIR", home.path());
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(OSTLEBRY_PROGRAM), {});
        QVERIFY(program.waitForStarted());
        const auto stop = qScopeGuard([&] {
            program.kill();
            program.waitForFinished();
        });

        // Framed first where the window asked to be, then placed again by the frame.
        quint32 client = 0;
        QRect frame;
        const auto placed = [&] {
            if (client == 0)
                client = x11.clientOf(program.processId());
            frame = client == 0 ? QRect() : x11.frameOf(client);
            // Taller than the screen at these scales, the window takes all its height.
            return frame.isValid() && screen.contains(frame)
                && frame.height() >= screen.height() * 19 / 20;
        };
        QTRY_VERIFY2_WITH_TIMEOUT(placed(),
            qPrintable(QStringLiteral("frame at %1,%2, %3 x %4")
                           .arg(frame.x())
                           .arg(frame.y())
                           .arg(frame.width())
                           .arg(frame.height())),
            5000);
    }
};

OSTLEBRY_X11_TEST_MAIN(TestX11Placement)
#include "tst_X11Placement.moc"
