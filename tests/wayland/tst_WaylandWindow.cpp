// SPDX-License-Identifier: MIT
// The window under a real Wayland compositor (weston, headless) through Qt's
// Wayland platform: the program's window shows, a search lists the right
// rows, a later start with an activation token hands its folders to the open
// window, and closing the window ends the program. The compositor is the one
// scripts/test-wayland.sh starts and names in OSTLEBRY_WAYLAND_DISPLAY;
// without it the test is skipped, so that it never opens windows on the
// user's own desktop.
#include "shell/DisplayKey.h"
#include "shell/HandOffPlace.h"
#include "shell/common/ProductInfo.h"
#include "shell/qt/FolderHandOff.h"
#include "shell/qt/StartFolders.h"
#include "shell/qt/WindowActivation.h"
#include "support/FolderTreeFixture.h"
#include "support/ModalBoxAnswerer.h"
#include "support/WindowDriver.h"

#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace vantorel;
using vantorel::test::ModalBoxAnswerer;
using vantorel::test::WindowDriver;

namespace
{

/// The program, started with the probe inside it (WindowProbe.cpp), and what
/// the probe reports.
class ProbedProgram
{
public:
    explicit ProbedProgram(const QString& socketPath)
    {
        QLocalServer::removeServer(socketPath);
        m_server.listen(socketPath);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_PLUGIN_PATH", OSTLEBRY_PROBE_PLUGINS);
        environment.insert("QT_QPA_GENERIC_PLUGINS", "ostlebryprobe:" + socketPath);
        m_program.setProcessEnvironment(environment);
        m_program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_program.start(QStringLiteral(OSTLEBRY_PROGRAM), QStringList {});
    }
    ~ProbedProgram()
    {
        m_program.kill();
        m_program.waitForFinished();
    }

    /// The lines the probe has sent so far.
    QStringList reports()
    {
        if (m_probe == nullptr && m_server.hasPendingConnections())
            m_probe = m_server.nextPendingConnection();
        while (m_probe != nullptr && m_probe->canReadLine())
            m_reports << QString::fromUtf8(m_probe->readLine()).trimmed();
        return m_reports;
    }
    void close()
    {
        m_probe->write("close\n");
        m_probe->flush();
    }
    QProcess& process() { return m_program; }

private:
    QLocalServer m_server;
    QLocalSocket* m_probe = nullptr;
    QStringList m_reports;
    QProcess m_program;
};

/// The exit code CTest counts as skipped (SKIP_RETURN_CODE).
constexpr int kSkipped = 77;

/// The hand-off place of the test and the programs it starts.
QString runtimeFolder()
{
    return qEnvironmentVariable("XDG_RUNTIME_DIR");
}

/// What the probe reports once the program's window is on the screen.
QStringList windowShownOnWayland()
{
    return { "platform wayland", QString("shown ") + product::kProductName };
}

} // namespace

class TestWaylandWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland")); }

    // Every window, the program's and the test's own, starts from the default settings.
    void init() { QFile::remove(test::settingsFile()); }

    void theProgramsWindowShows()
    {
        ProbedProgram program(runtimeFolder() + "/probe");
        QTRY_COMPARE_WITH_TIMEOUT(program.reports(), windowShownOnWayland(), 10000);
    }

    void aSearchListsTheRightRows()
    {
        QTemporaryDir folder;
        const QString work = test::StandardTree::plain(folder.path());
        QVERIFY(!work.isEmpty());
        ModalBoxAnswerer answerer;
        WindowDriver w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.form));
        w.form.locations().append(work);
        // Set, not typed: Qt 6.4's Wayland platform crashes on a key event in
        // a text box when the compositor has no seat (it asks the missing
        // keyboard for its text input), and the headless compositor has none.
        w.child<QLineEdit>("Text1")->setText("alpha");
        QTest::mouseClick(w.child<QCheckBox>("Check4"), Qt::LeftButton); // Match Case off
        QVERIFY(!w.child<QCheckBox>("Check4")->isChecked());
        w.click("PushButton1");
        QTRY_COMPARE(answerer.texts(), QStringList { "Done." });
        QCOMPARE(w.results(), test::expectedSearchRows(work, "alpha"));
        QStringList sorted = w.results();
        sorted.sort();
        QCOMPARE(sorted,
            QStringList({ work + "/Alpha-Project", work + "/alpha", work + "/alpha/alpha-old",
                work + "/beta/old alpha" }));
    }

    void aLaterStartWithAnActivationTokenAddsItsFolders()
    {
        WindowDriver w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.form));
        QByteArray tokenReceived = "none";
        DesktopActivation activation;
        // As the program serves its window: at the place for this Wayland display.
        FolderHandOff handOff([&](const QList<QByteArray>& folders, const QByteArray& startupId) {
            tokenReceived = startupId;
            addStartFolders(w.form, folders);
            bringToFront(w.form, startupId, activation);
        });
        handOff.setEndsStartupFeedback(activation.endsStartupFeedback());
        const QString address = handoff::defaultAddress(
            handoff::currentDisplayKey(QGuiApplication::platformName()), nullptr);
        QVERIFY(address.startsWith(runtimeFolder() + '/'));
        QVERIFY(handOff.serve(address));

        QProcess later;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_ACTIVATION_TOKEN", "token-of-the-launch");
        later.setProcessEnvironment(environment);
        later.start(QStringLiteral(OSTLEBRY_PROGRAM), { "/first", "/second folder" });
        // The window serves while the later start runs.
        QTRY_COMPARE_WITH_TIMEOUT(later.state(), QProcess::NotRunning, 10000);
        QCOMPARE(later.exitCode(), 0);
        QCOMPARE(later.readAllStandardOutput(),
            QByteArray("ostlebry: the folders were added to the window already open.\n"));
        QCOMPARE(w.locations(), QStringList({ "/first", "/second folder" }));
        QCOMPARE(tokenReceived, QByteArray("token-of-the-launch"));
        // Used for this launch alone.
        QVERIFY(!qEnvironmentVariableIsSet("XDG_ACTIVATION_TOKEN"));
    }

    void closingTheWindowEndsTheProgram()
    {
        ProbedProgram program(runtimeFolder() + "/probe");
        QTRY_COMPARE_WITH_TIMEOUT(program.reports(), windowShownOnWayland(), 10000);
        program.close();
        QVERIFY(program.process().waitForFinished(10000));
        QCOMPARE(program.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.process().exitCode(), 0);
    }
};

int main(int argc, char* argv[])
{
    const QByteArray display = qgetenv("OSTLEBRY_WAYLAND_DISPLAY");
    if (display.isEmpty()) {
        std::fputs("Skipped: this test needs the compositor of scripts/test-wayland.sh.\n", stdout);
        return kSkipped;
    }
    // A hand-off place of the test's own, never that of a window the user has open.
    QTemporaryDir runtime;
    if (!runtime.isValid())
        return 1;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qputenv("WAYLAND_DISPLAY", display);
    qputenv("QT_QPA_PLATFORM", "wayland");
    qunsetenv("DISPLAY");
    QApplication app(argc, argv);
    TestWaylandWindow test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_WaylandWindow.moc"
