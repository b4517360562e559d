// SPDX-License-Identifier: MIT
// The window closed while a listing hangs on a network share that stopped
// answering (an emulated FUSE share), in a child process: the kernel holds
// one of its threads, and the window must leave the screen all the same.
#include "X11Probe.h"
#include "X11TestMain.h"

#include "platform/qt/list/QtListControl.h"
#include "shell/Form1Logic.h"
#include "shell/qt/Form1.h"
#include "support/HungShare.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QTimer>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

constexpr char kSearchingWindow[] = "--searching-window";

/// What each thread of process `pid` waits on in the kernel.
QString kernelWaits(qint64 pid)
{
    QStringList waits;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile wchan(tasks + QLatin1Char('/') + task + QStringLiteral("/wchan"));
        if (wchan.open(QIODevice::ReadOnly))
            waits << QString::fromLatin1(wchan.readAll());
    }
    return waits.join(QLatin1Char(' '));
}

/// The child: the window as the program runs it, its own end included,
/// searching `location` from the start.
int showSearchingWindow(const QString& location)
{
    Form1 window;
    window.load();
    window.locations().append(location);
    window.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("alpha"));
    window.showCentred();
    QTimer::singleShot(0, &window, [&window] { window.logic().PushButton1_Click(); });
    return QApplication::exec();
}

} // namespace

class TestX11HungShare : public QObject
{
    Q_OBJECT

private slots:
    // The close button, pressed while the share holds a thread of the
    // program in the kernel: the window and every other window of its
    // display connection are gone at once; the process ends with the listing.
    void closingWhileAListingHangsTakesTheWindowOffTheScreen()
    {
        HungShare share({ "a/alpha", "a/hung/alpha-below" }, QStringLiteral("hung"));
        if (!share.unavailable().isEmpty())
            QSKIP(qPrintable(share.unavailable()));
        X11Probe x11;
        QVERIFY(x11.connected());
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
            { QLatin1String(kSearchingWindow), share.mountPoint() });
        QTRY_COMPARE_WITH_TIMEOUT(share.hangingListings(), 1, 20000);
        quint32 window = 0;
        QTRY_VERIFY((window = x11.clientOf(child.processId())) != 0);

        QElapsedTimer sinceClose;
        sinceClose.start();
        x11.close(window);
        QTRY_VERIFY_WITH_TIMEOUT(!x11.exists(window), 2000);
        qInfo("the window left the screen within %lld ms of the close", sinceClose.elapsed());
        // The share still holds the process: it ends when the listing returns.
        QCOMPARE(child.state(), QProcess::Running);
        QVERIFY2(kernelWaits(child.processId()).contains(QLatin1String("fuse"))
                || kernelWaits(child.processId()).contains(QLatin1String("request_wait_answer")),
            qPrintable(kernelWaits(child.processId())));

        share.release();
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
    }
};

// The test's own main: the same program also serves as the window it closes.
int main(int argc, char* argv[])
{
    if (!useTestDisplay())
        return kSkipped;
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], kSearchingWindow) == 0)
        return showSearchingWindow(QString::fromLocal8Bit(argv[2]));
    TestX11HungShare test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_X11HungShare.moc"
