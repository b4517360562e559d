// SPDX-License-Identifier: MIT
// The window over a network share that stopped answering (an emulated FUSE
// share): what Stop and the close button leave behind while a listing hangs.
#include "support/FolderTreeFixture.h"
#include "support/HungShare.h"
#include "support/ModalBoxAnswerer.h"
#include "support/WindowDriver.h"

#include "shell/Form1Logic.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

#ifdef OSTLEBRY_SHARE_FS
const QString kShareProgram = QStringLiteral(OSTLEBRY_SHARE_FS);
#else
const QString kShareProgram;
#endif

constexpr char kHungWindowChild[] = "--hung-window";
const QStringList kShareTree = { "a/alpha", "a/hung/alpha-below", "b/alpha" };

/// What the process holds: its threads and its open descriptors.
struct Holdings {
    qsizetype threads = 0;
    qsizetype descriptors = 0;
};

Holdings holdings()
{
    return {
        QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(),
        QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size()
    };
}

/// An X server of the test's own (Xvfb), or the one the test runs under.
class XServer
{
public:
    XServer()
    {
        if (qgetenv("QT_QPA_PLATFORM") == "xcb" && !qEnvironmentVariableIsEmpty("DISPLAY")) {
            m_display = qEnvironmentVariable("DISPLAY");
        } else {
            m_server.start(QStringLiteral("Xvfb"),
                { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                    QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                    QStringLiteral("1280x1024x24") });
            if (m_server.waitForStarted() && m_server.waitForReadyRead(10000))
                m_display = QLatin1Char(':') + QString::fromLatin1(m_server.readLine().trimmed());
        }
        if (!m_display.isEmpty())
            m_connection = xcb_connect(m_display.toLocal8Bit().constData(), nullptr);
    }
    ~XServer()
    {
        if (m_connection != nullptr)
            xcb_disconnect(m_connection);
        m_server.terminate();
        m_server.waitForFinished();
    }

    bool usable() const
    {
        return m_connection != nullptr && !xcb_connection_has_error(m_connection);
    }
    const QString& display() const { return m_display; }

    /// Whether `window` exists and is mapped; a window is destroyed, not
    /// only unmapped, once the connection that made it ends.
    bool exists(xcb_window_t window) { return attributes(window) != nullptr; }
    bool isMapped(xcb_window_t window)
    {
        const auto reply = attributes(window);
        return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    }
    /// The window manager's close button: WM_DELETE_WINDOW to `window`.
    void askToClose(xcb_window_t window)
    {
        xcb_client_message_event_t message {};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = atom("WM_PROTOCOLS");
        message.data.data32[0] = atom("WM_DELETE_WINDOW");
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(m_connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
            reinterpret_cast<const char*>(&message));
        xcb_flush(m_connection);
    }

private:
    template <class Reply> using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

    Owned<xcb_get_window_attributes_reply_t> attributes(xcb_window_t window)
    {
        return { xcb_get_window_attributes_reply(
                     m_connection, xcb_get_window_attributes(m_connection, window), nullptr),
            &std::free };
    }
    xcb_atom_t atom(const char* name)
    {
        const Owned<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(m_connection,
                xcb_intern_atom(m_connection, 0, uint16_t(qstrlen(name)), name), nullptr),
            &std::free);
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    QProcess m_server;
    QString m_display;
    xcb_connection_t* m_connection = nullptr;
};

/// The threads of process `pid` and what each waits on in the kernel.
QStringList kernelWaits(qint64 pid)
{
    QStringList waits;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile wchan(tasks + QLatin1Char('/') + task + QStringLiteral("/wchan"));
        waits << (wchan.open(QIODevice::ReadOnly) ? QString::fromLatin1(wchan.readAll())
                                                  : QString());
    }
    return waits;
}

/// The child: the window as the program runs it, its own end included,
/// searching `location` from the start. Prints the window's X id.
int showSearchingWindow(const QString& location)
{
    Form1 window;
    window.load();
    window.locations().append(location);
    window.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("alpha"));
    window.showCentred();
    std::printf("%llu\n", static_cast<unsigned long long>(window.winId()));
    std::fflush(stdout);
    QTimer::singleShot(0, &window, [&window] { window.logic().PushButton1_Click(); });
    return QApplication::exec();
}

} // namespace

class TestHungShare : public QObject
{
    Q_OBJECT

private slots:
    void stopPressedAgainAndAgainLeavesAFewThreadsBehind();
    void closingWhileAListingHangsTakesTheWindowOffTheScreen();
};

// Each search walks a healthy folder, then waits on the share until Stop. The
// threads and descriptors of the listings left behind do not grow with the
// presses, and the healthy folder's rows come every time.
void TestHungShare::stopPressedAgainAndAgainLeavesAFewThreadsBehind()
{
    HungShare share(kShareProgram, kShareTree, QStringLiteral("hung"));
    if (!share.unavailable().isEmpty())
        QSKIP(qPrintable(share.unavailable()));
    QTemporaryDir local;
    QVERIFY(makeFolders(local.path(), { "healthy/alpha-here" }));
    const QString healthyRow = local.path() + "/healthy/alpha-here";
    ModalBoxAnswerer answerer;
    WindowDriver w;
    // First with nothing hanging: the threads Qt starts on first use are then counted.
    w.search(local.path() + "/healthy", "alpha");
    const Holdings idle = holdings();
    w.form.locations().append(share.mountPoint());
    // Stopped once it has waited in the share for three pumps: on a listing
    // that hangs, on one held behind it, or on the one a search left.
    const QString inShare = "Searching " + share.mountPoint() + "/a";
    int pumpsInShare = 0;
    QTimer stopper;
    connect(&stopper, &QTimer::timeout, &w.form, [&] {
        if (share.hangingListings() > 0 && w.locationsHeader().startsWith(inShare)
            && w.button("PushButton1")->text() == "Stop" && ++pumpsInShare == 3)
            w.click("PushButton1");
    });
    stopper.start(0);
    constexpr int kPresses = 20;
    for (int press = 0; press < kPresses; ++press) {
        pumpsInShare = 0;
        w.click("PushButton1");
    }
    stopper.stop();
    QCOMPARE(answerer.texts(), QStringList(kPresses + 1, "Done."));
    QCOMPARE(w.results().count(healthyRow), kPresses + 1);
    QCOMPARE(share.hangingListings(), 1);
    // The listing the share holds, the read-ahead's thread in it and the one
    // that joins it, and the walk's own listing held behind it (before: two
    // threads and four descriptors more at every press).
    QTRY_VERIFY(holdings().threads <= idle.threads + 3);
    QVERIFY(holdings().descriptors <= idle.descriptors + 8);

    // Once the share answers, what was left behind ends, and a search finds everything.
    share.release();
    QTRY_VERIFY(holdings().threads <= idle.threads);
    QTRY_VERIFY(holdings().descriptors <= idle.descriptors);
    w.form.results().clear();
    w.click("PushButton1");
    QStringList rows = w.results(); // in the file system's order
    QStringList expected = { healthyRow, share.mountPoint() + "/a/alpha",
        share.mountPoint() + "/a/hung/alpha-below", share.mountPoint() + "/b/alpha" };
    rows.sort();
    expected.sort();
    QCOMPARE(rows, expected);
    QCOMPARE(answerer.texts().size(), kPresses + 2);
}

// The close button, pressed while a thread of the program is held in the
// kernel by the share: the window is gone at once, with every window of the
// program's display connection, while the process waits for the share.
void TestHungShare::closingWhileAListingHangsTakesTheWindowOffTheScreen()
{
    HungShare share(kShareProgram, kShareTree, QStringLiteral("hung"));
    if (!share.unavailable().isEmpty())
        QSKIP(qPrintable(share.unavailable()));
    XServer x;
    if (!x.usable())
        QSKIP("no X server: Xvfb (package xvfb) is not installed");
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), x.display());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
        { QLatin1String(kHungWindowChild), share.mountPoint() });
    QVERIFY(child.waitForReadyRead(20000));
    const auto window = xcb_window_t(child.readLine().trimmed().toULongLong());
    QTRY_COMPARE_WITH_TIMEOUT(share.hangingListings(), 1, 20000);
    QTRY_VERIFY(x.isMapped(window));

    QElapsedTimer sinceClose;
    sinceClose.start();
    x.askToClose(window);
    QTRY_VERIFY_WITH_TIMEOUT(!x.exists(window), 2000);
    qInfo("the window left the screen %lld ms after the close", sinceClose.elapsed());
    // Still held by the share: the process ends only when the listing returns.
    QCOMPARE(child.state(), QProcess::Running);
    const QStringList waits = kernelWaits(child.processId());
    QVERIFY2(waits.join(' ').contains("fuse") || waits.join(' ').contains("request_wait_answer"),
        qPrintable(waits.join(' ')));

    share.release();
    QVERIFY(child.waitForFinished(10000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
}

// The test's own main: the same program also serves as the window it closes.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], kHungWindowChild) == 0)
        return showSearchingWindow(QString::fromLocal8Bit(argv[2]));
    TestHungShare test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_HungShare.moc"
