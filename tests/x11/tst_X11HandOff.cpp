// SPDX-License-Identifier: MIT
// Later starts of the program with a folder and an X11 start-up id, as a
// launcher makes them, handed to a window open in this process: the window
// survives each, adds the folder, comes to the front from behind another
// program's window, carries the start's id, and the launcher's feedback ends
// with "remove: ID=..." on the root window. And the id of a window the
// program asks another program to show.
#include "X11Probe.h"
#include "X11TestMain.h"

#include "platform/qt/desktop/UserActionClock.h"
#include "shell/DisplayKey.h"
#include "shell/HandOffPlace.h"
#include "shell/qt/FolderHandOff.h"
#include "shell/qt/StartFolders.h"
#include "shell/qt/WindowActivation.h"
#include "shell/qt/X11StartupNotice.h"
#include "support/WindowDriver.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

using namespace vantorel;
using namespace vantorel::test;

class TestX11HandOff : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void windowSurvivesStartsWithStartupIds()
    {
        constexpr int kStarts = 10;
        X11Probe x11;
        QVERIFY(x11.connected());
        // The hand-off's place, shared with the starts below.
        const QString runtime = m_dir.filePath("runtime");
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(
            QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        const QString address = handoff::defaultAddress(handoff::currentDisplayKey("xcb"));
        QVERIFY(!address.isEmpty());

        // As the program wires its window.
        WindowDriver w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.form));
        DesktopActivation activation;
        FolderHandOff handOff([&](const QList<QByteArray>& folders, const QByteArray& startupId) {
            addStartFolders(w.form, folders);
            bringToFront(w.form, startupId, activation);
        });
        handOff.setEndsStartupFeedback(activation.endsStartupFeedback());
        QVERIFY(handOff.serve(address));
        const auto window = quint32(w.form.winId());
        const quint32 other = x11.showOtherWindow();
        QVERIFY(other != 0);

        QStringList handed;
        for (int start = 0; start < kStarts; ++start) {
            x11.activate(other);
            QTRY_COMPARE(x11.activeWindow(), other);
            const QByteArray id = "ostlebry-test-" + QByteArray::number(start) + "_TIME"
                + QByteArray::number(x11.serverTime());
            handed << m_dir.filePath(QStringLiteral("handed %1").arg(start));
            QProcess later;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("DESKTOP_STARTUP_ID", QString::fromLatin1(id));
            later.setProcessEnvironment(environment);
            later.start(QStringLiteral(OSTLEBRY_PROGRAM), { handed.last() });
            // This process's event loop serves the start meanwhile.
            QTRY_COMPARE_WITH_TIMEOUT(later.state(), QProcess::NotRunning, 10000);
            QCOMPARE(later.exitStatus(), QProcess::NormalExit);
            QCOMPARE(later.exitCode(), 0);
            QVERIFY(later.readAllStandardOutput().contains("added to the window already open"));

            QCOMPARE(w.locations(), handed);
            QTRY_VERIFY(x11.startupMessages().contains("remove: ID=" + id));
            QCOMPARE(x11.property(window, "_NET_STARTUP_ID"), id);
            QTRY_COMPARE(x11.activeWindow(), window);
        }
    }

    /// A window another program shows for a key press (a folder, by Enter on
    /// a row) gets an id dated by the X server's stamp on that press, which
    /// the window manager weighs against the user's last action elsewhere.
    void startupIdsCarryTheTimeOfTheUsersKeyPress()
    {
        X11Probe x11;
        QVERIFY(x11.connected());
        WindowDriver w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.form));
        w.form.activateWindow();
        QTRY_VERIFY(w.form.isActiveWindow());
        UserActionClock clock;
        QVERIFY(clock.startupId().isEmpty());
        const quint32 before = x11.serverTime();
        QVERIFY(pressKey("Shift_L"));
        QTRY_VERIFY(clock.lastAction() != 0);
        const quint32 after = x11.serverTime();
        const QByteArray id = clock.startupId();
        QVERIFY2(id.startsWith("ostlebry-"), id.constData());
        const quint32 pressed = x11::launchTime(id);
        QVERIFY2(before <= pressed && pressed <= after,
            qPrintable(QStringLiteral("%1 <= %2 <= %3").arg(before).arg(pressed).arg(after)));
    }
};

OSTLEBRY_X11_TEST_MAIN(TestX11HandOff)
#include "tst_X11HandOff.moc"
