// SPDX-License-Identifier: MIT
#include "shell/CommandLine.h"
#include "shell/FolderHandOff.h"
#include "shell/StartFolders.h"
#include "shell/common/ProductInfo.h"
#include "support/ModalBoxAnswerer.h"
#include "support/WindowDriver.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace vantorel;
using Action = CommandLine::Action;

namespace
{

CommandLine read(const QStringList& arguments)
{
    return readCommandLine(
        QStringList { QStringLiteral("ostlebry") } + arguments, QStringLiteral("/home/user/work"));
}

/// Hands folders over from a thread of its own, since the serving side needs
/// this thread's event loop to answer.
class HandOverThread
{
public:
    HandOverThread(const QString& address, const QStringList& folders, int timeoutMs)
        : m_thread([=, this] { m_result = FolderHandOff::handOver(address, folders, timeoutMs); })
    {
    }
    ~HandOverThread()
    {
        if (m_thread.joinable())
            m_thread.join();
    }
    bool result()
    {
        m_thread.join();
        return m_result;
    }

private:
    bool m_result = false;
    std::thread m_thread;
};

/// A socket file with nobody behind it, as a program that ended without removing it leaves.
bool leaveStaleSocket(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = QFile::encodeName(path);
    if (fd < 0 || size_t(bytes.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, bytes.constData(), bytes.size());
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound && QFileInfo::exists(path);
}

QProcessEnvironment withoutDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
        environment.remove(QLatin1String(name));
    return environment;
}

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run runProgram(const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(OSTLEBRY_PROGRAM), arguments);
    Run run;
    if (!program.waitForFinished(60000) || program.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = program.exitCode();
    run.out = QString::fromLocal8Bit(program.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(program.readAllStandardError());
    return run;
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void foldersAreFullAndTidyInTheirOrder()
    {
        const CommandLine line
            = read({ "b", "/x//y/", "../c", "/a/./b/..", "--", "-dash", "/no/such folder", "/" });
        QCOMPARE(line.action, Action::Start);
        QCOMPARE(line.folders,
            (QStringList { "/home/user/work/b", "/x/y", "/home/user/c", "/a",
                "/home/user/work/-dash", "/no/such folder", "/" }));
    }

    void theSameFolderTwiceIsAddedTwice()
    {
        QCOMPARE(read({ ".", "/home/user/work/" }).folders,
            (QStringList { "/home/user/work", "/home/user/work" }));
    }

    void noArgumentsStartsWithAnEmptyList()
    {
        const CommandLine line = read({});
        QCOMPARE(line.action, Action::Start);
        QVERIFY(line.folders.isEmpty());
    }

    void helpAndVersionEndAtOnce()
    {
        const CommandLine help = read({ "/x", "--help" });
        QCOMPARE(help.action, Action::Help);
        QVERIFY2(help.text.contains("[options] [folder...]\n"), qPrintable(help.text));
        QCOMPARE(read({ "-h" }).action, Action::Help);
        QCOMPARE(read({ "-v" }).action, Action::Version);
        QCOMPARE(read({ "--help-all" }).action, Action::Error);
        const CommandLine version = read({ "--version" });
        QCOMPARE(version.action, Action::Version);
        QCOMPARE(version.text, "ostlebry " + product::version() + "\n");
        QVERIFY(!product::version().isEmpty());
    }

    void badArgumentsAreNamed_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("text");
        QTest::newRow("unknown option") << QStringList { "/x",
            "--bogus" } << "ostlebry: Unknown option 'bogus'.\nTry 'ostlebry --help' for more.\n";
        QTest::newRow("empty folder")
            << QStringList { "/x", "" }
            << "ostlebry: an empty argument names no folder.\nTry 'ostlebry --help' for more.\n";
    }
    void badArgumentsAreNamed()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, text);
        const CommandLine line = read(arguments);
        QCOMPARE(line.action, Action::Error);
        QCOMPARE(line.text, text);
        QVERIFY(line.folders.isEmpty());
    }

    void defaultAddressIsTheUsersOwn()
    {
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        QTemporaryDir runtime;
        QVERIFY(runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        QCOMPARE(FolderHandOff::defaultAddress(), runtime.path() + "/ostlebry.socket");
        qunsetenv("XDG_RUNTIME_DIR");
        QCOMPARE(FolderHandOff::defaultAddress(),
            QDir::tempPath() + QStringLiteral("/ostlebry-%1.socket").arg(::getuid()));
        if (!saved.isNull())
            qputenv("XDG_RUNTIME_DIR", saved);
    }

    void foldersReachTheServingWindowInOrder()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString address = dir.filePath("s");
        QList<QStringList> received;
        FolderHandOff serving([&](const QStringList& folders) { received << folders; });
        QVERIFY(serving.serve(address));
        const QStringList folders { "/b", "/a", "/with\nnewline", "/b" };
        HandOverThread first(address, folders, 10000);
        QTRY_COMPARE(received.size(), 1);
        QVERIFY(first.result());
        HandOverThread second(address, { "/c" }, 10000);
        QTRY_COMPARE(received.size(), 2);
        QVERIFY(second.result());
        QCOMPARE(received, (QList<QStringList> { folders, { "/c" } }));
    }

    void handedFoldersFollowTheWindowsRowsAndMissingOnesAreReportedWhenSearched()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkpath("tree/a/b"));
        test::WindowDriver w;
        addStartFolders(w.form, { dir.filePath("tree"), "/no/such folder" });
        QCOMPARE(w.locations(), (QStringList { dir.filePath("tree"), "/no/such folder" }));
        FolderHandOff serving([&](const QStringList& folders) {
            addStartFolders(w.form, folders);
            bringToFront(w.form);
        });
        QVERIFY(serving.serve(dir.filePath("s")));
        HandOverThread handing(dir.filePath("s"), { "/c", "/a" }, 10000);
        QTRY_COMPARE(
            w.locations(), (QStringList { dir.filePath("tree"), "/no/such folder", "/c", "/a" }));
        QVERIFY(handing.result());

        test::ModalBoxAnswerer answerer;
        w.typePhrase("b");
        w.click("PushButton1");
        QCOMPARE(answerer.boxes.size(), 4);
        for (int i = 0; i < 3; ++i)
            QVERIFY2(answerer.boxes[i].text.contains("PushButton1_Click at line 126"),
                qPrintable(answerer.boxes[i].text));
        QVERIFY(answerer.boxes[0].text.contains("/no/such folder"));
        QCOMPARE(answerer.boxes[3].text, QStringLiteral("Done."));
        QCOMPARE(w.results(), QStringList { dir.filePath("tree/a/b") });
    }

    void nobodyServingMeansNoHandOver()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(!FolderHandOff::handOver(dir.filePath("s"), { "/a" }, 10000));
        QVERIFY(leaveStaleSocket(dir.filePath("stale")));
        QVERIFY(!FolderHandOff::handOver(dir.filePath("stale"), { "/a" }, 10000));
    }

    void aLeftOverSocketDoesNotStopTheNextWindowServing()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString address = dir.filePath("s");
        QVERIFY(leaveStaleSocket(address));
        QStringList received;
        FolderHandOff serving([&](const QStringList& folders) { received << folders; });
        QVERIFY(serving.serve(address));
        HandOverThread handing(address, { "/a" }, 10000);
        QTRY_COMPARE(received, QStringList { "/a" });
        QVERIFY(handing.result());
    }

    void aSecondWindowLeavesTheFirstServing()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString address = dir.filePath("s");
        QStringList first;
        QStringList second;
        FolderHandOff firstWindow([&](const QStringList& folders) { first << folders; });
        FolderHandOff secondWindow([&](const QStringList& folders) { second << folders; });
        QVERIFY(firstWindow.serve(address));
        // The probe blocks this thread, so the first server cannot accept: it
        // still counts, since the connection waits in its queue.
        QVERIFY(!secondWindow.serve(address));
        HandOverThread handing(address, { "/a" }, 10000);
        QTRY_COMPARE(first, QStringList { "/a" });
        QVERIFY(handing.result());
        QVERIFY(second.isEmpty());
    }

    void aWindowThatNeverAnswersIsNotTrusted()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QLocalServer silent;
        QVERIFY(silent.listen(dir.filePath("s")));
        HandOverThread handing(dir.filePath("s"), { "/a" }, 300);
        QVERIFY(!handing.result());
    }

    void garbageIsTurnedAway()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString address = dir.filePath("s");
        int calls = 0;
        FolderHandOff serving([&](const QStringList&) { ++calls; });
        QVERIFY(serving.serve(address));
        QLocalSocket socket;
        socket.connectToServer(address);
        QVERIFY(socket.waitForConnected(5000));
        // A list that claims a negative length of its first text.
        socket.write(QByteArray::fromHex("00000001"
                                         "fffffff0"));
        QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState);
        QCOMPARE(calls, 0);
    }

    void helpAndVersionNeedNoDisplay()
    {
        const QString program = QStringLiteral(OSTLEBRY_PROGRAM);
        const Run help = runProgram({ "--help" }, withoutDisplay());
        QCOMPARE(help.exitCode, 0);
        QCOMPARE(help.err, QString());
        // The usage line names the program as it was started; the rest is fixed.
        QCOMPARE(help.out.section('\n', 0, 0), "Usage: " + program + " [options] [folder...]");
        QCOMPARE(help.out.section('\n', 1), read({ "--help" }).text.section('\n', 1));

        const Run version = runProgram({ "--version" }, withoutDisplay());
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out, "ostlebry " + product::version() + "\n");

        const Run none = runProgram({ "/tmp" }, withoutDisplay());
        QCOMPARE(none.exitCode, 2);
        QVERIFY2(none.err.startsWith("ostlebry: no display found."), qPrintable(none.err));
    }

    void aBadOptionEndsTheProgramWithItsName()
    {
        QTemporaryDir runtime;
        QVERIFY(runtime.isValid());
        QProcessEnvironment environment = withoutDisplay();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_RUNTIME_DIR", runtime.path());
        const Run run = runProgram({ "--bogus" }, environment);
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.err,
            QStringLiteral("ostlebry: Unknown option 'bogus'.\nTry 'ostlebry --help' for more.\n"));
    }

    void aSecondStartHandsItsFoldersToTheFirst()
    {
        QTemporaryDir runtime;
        QVERIFY(runtime.isValid());
        QProcessEnvironment environment = withoutDisplay();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        // Never the address of a window the user has open.
        environment.insert("XDG_RUNTIME_DIR", runtime.path());
        QProcess first;
        first.setProcessEnvironment(environment);
        first.start(QStringLiteral(OSTLEBRY_PROGRAM), { "/first" });
        QVERIFY(first.waitForStarted());
        const QString address = runtime.filePath("ostlebry.socket");
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(address), 30000);

        const Run second = runProgram({ "relative", "/second" }, environment);
        first.kill();
        first.waitForFinished();
        QCOMPARE(second.exitCode, 0);
        QCOMPARE(second.out,
            QStringLiteral("ostlebry: the folders were added to the window already open.\n"));
    }
};

QTEST_MAIN(TestCommandLine)
#include "tst_CommandLine.moc"
