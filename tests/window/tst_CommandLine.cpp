// SPDX-License-Identifier: MIT
#include "shell/CommandLine.h"
#include "shell/FolderHandOff.h"
#include "shell/HandOffMessage.h"
#include "shell/HandOffPlace.h"
#include "shell/StartFolders.h"
#include "shell/common/ProductInfo.h"
#include "support/DescriptorLimit.h"
#include "support/EnvironmentValue.h"
#include "support/ModalBoxAnswerer.h"
#include "support/WindowDriver.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace vantorel;
using vantorel::test::EnvironmentValue;
using Action = CommandLine::Action;
using Folders = QList<QByteArray>;

namespace
{

CommandLine read(const QStringList& arguments)
{
    Folders native { "ostlebry" };
    for (const QString& argument : arguments)
        native << QFile::encodeName(argument);
    return readCommandLine(native, "/home/user/work");
}

Folders bytesOf(const QStringList& folders)
{
    Folders native;
    for (const QString& folder : folders)
        native << QFile::encodeName(folder);
    return native;
}

/// Hands folders over from a thread of its own, since the serving side needs
/// this thread's event loop to answer.
class HandOverThread
{
public:
    HandOverThread(const QString& address, const Folders& folders, int timeoutMs)
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

int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::NoDotAndDotDot | QDir::System)
                   .size());
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
            (Folders { "/home/user/work/b", "/x/y", "/home/user/c", "/a", "/home/user/work/-dash",
                "/no/such folder", "/" }));
    }

    void theSameFolderTwiceIsAddedTwice()
    {
        QCOMPARE(read({ ".", "/home/user/work/" }).folders,
            (Folders { "/home/user/work", "/home/user/work" }));
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

    void aFolderWhoseNameIsNotTextKeepsItsBytes()
    {
        const QByteArray odd("bad\xff\xfe dir");
        const CommandLine line = readCommandLine({ "ostlebry", odd, "/x/" + odd + "/.." }, "/w");
        QCOMPARE(line.folders, (Folders { "/w/" + odd, "/x" }));
    }

    void defaultAddressIsTheUsersOwn()
    {
        QTemporaryDir runtime;
        QVERIFY(runtime.isValid());
        const EnvironmentValue xdg("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        QCOMPARE(handoff::defaultAddress(), runtime.path() + "/ostlebry.socket");
        // A runtime folder others can enter is no place for it.
        QVERIFY(QFile::setPermissions(runtime.path(),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                | QFile::ExeOther));
        const EnvironmentValue tmp("TMPDIR", QFile::encodeName(runtime.filePath("tmp")));
        QVERIFY(QDir(runtime.path()).mkdir("tmp"));
        const QString own = runtime.filePath(QStringLiteral("tmp/ostlebry-%1").arg(::getuid()));
        QCOMPARE(handoff::defaultAddress(), own + "/ostlebry.socket");
        struct stat status {
        };
        QCOMPARE(::lstat(QFile::encodeName(own).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, mode_t(0700));
    }

    void aFallbackFolderThatOthersCouldUseIsRefused()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const EnvironmentValue xdg("XDG_RUNTIME_DIR", QByteArray());
        const EnvironmentValue tmpdir("TMPDIR", QFile::encodeName(tmp.path()));
        const QString own = tmp.filePath(QStringLiteral("ostlebry-%1").arg(::getuid()));
        const QByteArray ownBytes = QFile::encodeName(own);

        // Planted as a link to a folder of the right kind: refused all the same.
        QVERIFY(QDir(tmp.path()).mkdir("elsewhere"));
        QVERIFY(::chmod(QFile::encodeName(tmp.filePath("elsewhere")).constData(), 0700) == 0);
        QVERIFY(QFile::link(tmp.filePath("elsewhere"), own));
        QString problem;
        QCOMPARE(handoff::defaultAddress(&problem), QString());
        QVERIFY2(problem.endsWith("is a link"), qPrintable(problem));

        // Open to others, as a folder made by someone else with mode 777 would be.
        QVERIFY(QFile::remove(own));
        QVERIFY(
            ::mkdir(ownBytes.constData(), 0700) == 0 && ::chmod(ownBytes.constData(), 0777) == 0);
        QCOMPARE(handoff::defaultAddress(&problem), QString());
        QVERIFY2(problem.endsWith("is open to other users"), qPrintable(problem));
        QVERIFY(!handoff::privateFolderProblem(ownBytes, ::getuid() + 1).isEmpty());

        // With no address there is neither hand-over nor serving.
        QVERIFY(!FolderHandOff::handOver(QString(), { "/a" }, 1000));
        FolderHandOff serving([](const Folders&) {});
        QVERIFY(!serving.serve(QString()));
    }

    void onlyAPeerOfTheSameUserIsTrusted()
    {
        int ends[2] = { -1, -1 };
        QCOMPARE(::socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
        QVERIFY(handoff::peerIsUser(ends[0], ::getuid()));
        QVERIFY(!handoff::peerIsUser(ends[0], ::getuid() + 1));
        ::close(ends[0]);
        ::close(ends[1]);
        QVERIFY(!handoff::peerIsUser(-1, ::getuid()));
    }

    void foldersReachTheServingWindowInOrder()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString address = dir.filePath("s");
        QList<Folders> received;
        FolderHandOff serving([&](const Folders& folders) { received << folders; });
        QVERIFY(serving.serve(address));
        const Folders folders { "/b", "/a", "/with\nnewline", "/b", "/not\xfftext" };
        HandOverThread first(address, folders, 10000);
        QTRY_COMPARE(received.size(), 1);
        QVERIFY(first.result());
        HandOverThread second(address, { "/c" }, 10000);
        QTRY_COMPARE(received.size(), 2);
        QVERIFY(second.result());
        QCOMPARE(received, (QList<Folders> { folders, { "/c" } }));
        QTRY_COMPARE(serving.openConnections(), 0);
    }

    void aMessageOfManyReadsIsTakenWhole()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString address = dir.filePath("s");
        QList<Folders> received;
        FolderHandOff serving([&](const Folders& folders) { received << folders; });
        QVERIFY(serving.serve(address));
        // Far more than a socket buffer: it arrives in many reads.
        Folders folders;
        for (int i = 0; i < handoff::kMaxFolders; ++i)
            folders << "/home/user/a folder with a rather long name to fill the buffer/"
                    + QByteArray::number(i);
        HandOverThread handing(address, folders, 10000);
        QTRY_COMPARE(received.size(), 1);
        QVERIFY(handing.result());
        QCOMPARE(received.first(), folders);
        // One more than the limit is not handed over: that start opens its own window.
        QVERIFY(!FolderHandOff::handOver(address, folders + Folders { "/x" }, 10000));
        QCOMPARE(received.size(), 1);
    }

    void aStartThatGaveUpLeavesNothingBehind()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString address = dir.filePath("s");
        QList<Folders> received;
        FolderHandOff serving([&](const Folders& folders) { received << folders; });
        QVERIFY(serving.serve(address));
        {
            // Waiting here keeps the window from answering, as a busy window does.
            HandOverThread late(address, { "/late" }, 300);
            QVERIFY(!late.result());
        }
        HandOverThread next(address, { "/next" }, 10000);
        QTRY_VERIFY(received.contains(Folders { "/next" }));
        QVERIFY(next.result());
        QCOMPARE(received, QList<Folders> { { "/next" } });
    }

    void idleClientsCannotUseUpTheWindowsDescriptors()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString address = dir.filePath("s");
        QList<Folders> received;
        FolderHandOff serving([&](const Folders& folders) { received << folders; });
        QVERIFY(serving.serve(address));
        constexpr int kIdle = 3 * FolderHandOff::kMaxConnections;
        // Room for the idle clients' own ends and what the window may hold, not
        // for the window's end of every one of them.
        const test::DescriptorLimit limit(
            rlim_t(openDescriptors() + kIdle + FolderHandOff::kMaxConnections + 8));
        QVERIFY(limit.active());
        std::vector<std::unique_ptr<QLocalSocket>> idle;
        for (int i = 0; i < kIdle; ++i) {
            idle.push_back(std::make_unique<QLocalSocket>());
            idle.back()->connectToServer(address);
            QVERIFY(idle.back()->waitForConnected(5000));
        }
        QTRY_VERIFY(serving.openConnections() >= FolderHandOff::kMaxConnections);
        HandOverThread handing(address, { "/a" }, 10000);
        QTRY_COMPARE(received, QList<Folders> { { "/a" } });
        QVERIFY(handing.result());
        QVERIFY(serving.openConnections() <= FolderHandOff::kMaxConnections);
    }

    void handedFoldersFollowTheWindowsRowsAndMissingOnesAreReportedWhenSearched()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkpath("tree/a/b"));
        test::WindowDriver w;
        addStartFolders(w.form, bytesOf({ dir.filePath("tree"), "/no/such folder" }));
        QCOMPARE(w.locations(), (QStringList { dir.filePath("tree"), "/no/such folder" }));
        FolderHandOff serving([&](const Folders& folders) {
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

    void aFolderWhoseNameIsNotTextIsSearchedFromTheCommandLine()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QByteArray odd = QFile::encodeName(dir.path()) + "/bad\xff dir";
        QVERIFY(::mkdir(odd.constData(), 0700) == 0 && ::mkdir(odd + "/target", 0700) == 0);
        const CommandLine line
            = readCommandLine({ "ostlebry", "bad\xff dir" }, QFile::encodeName(dir.path()));
        QCOMPARE(line.folders, Folders { odd });
        test::WindowDriver w;
        addStartFolders(w.form, line.folders);
        test::ModalBoxAnswerer answerer;
        w.typePhrase("target");
        w.click("PushButton1");
        QCOMPARE(answerer.boxes.size(), 1);
        QCOMPARE(answerer.boxes[0].text, QStringLiteral("Done."));
        QCOMPARE(w.results().size(), 1);
        QCOMPARE(w.form.results().nativePath(0), odd + "/target");
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
        Folders received;
        FolderHandOff serving([&](const Folders& folders) { received << folders; });
        QVERIFY(serving.serve(address));
        HandOverThread handing(address, { "/a" }, 10000);
        QTRY_COMPARE(received, Folders { "/a" });
        QVERIFY(handing.result());
    }

    void aSecondWindowLeavesTheFirstServing()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString address = dir.filePath("s");
        Folders first;
        Folders second;
        FolderHandOff firstWindow([&](const Folders& folders) { first << folders; });
        FolderHandOff secondWindow([&](const Folders& folders) { second << folders; });
        QVERIFY(firstWindow.serve(address));
        // The probe blocks this thread, so the first server cannot accept: it
        // still counts, since the connection waits in its queue.
        QVERIFY(!secondWindow.serve(address));
        HandOverThread handing(address, { "/a" }, 10000);
        QTRY_COMPARE(first, Folders { "/a" });
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
        FolderHandOff serving([&](const Folders&) { ++calls; });
        QVERIFY(serving.serve(address));
        QLocalSocket socket;
        socket.connectToServer(address);
        QVERIFY(socket.waitForConnected(5000));
        // A message that claims more bytes than any start may send.
        socket.write(QByteArray::fromHex("7ffffff0"));
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
