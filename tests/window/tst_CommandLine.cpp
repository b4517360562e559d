// SPDX-License-Identifier: MIT
#include "shell/CommandLine.h"
#include "shell/DisplayKey.h"
#include "shell/HandOffMessage.h"
#include "shell/HandOffPlace.h"
#include "shell/common/ProductInfo.h"
#include "shell/qt/FolderHandOff.h"
#include "shell/qt/StartFolders.h"
#include "shell/qt/WindowActivation.h"
#include "shell/qt/X11StartupNotice.h"
#include "support/DescriptorLimit.h"
#include "support/EnvironmentValue.h"
#include "support/ModalBoxAnswerer.h"
#include "support/WindowDriver.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
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
    HandOverThread(const QString& address, const Folders& folders, int timeoutMs,
        const QByteArray& startupId = {}, bool* windowEndsFeedback = nullptr)
        : m_thread([=, this] {
            m_result = FolderHandOff::handOver(
                address, folders, timeoutMs, startupId, windowEndsFeedback);
        })
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

/// A window's hand-off serving in a folder of its own, and what it was handed.
struct ServingWindow {
    QTemporaryDir dir;
    QString address = dir.filePath("s");
    QList<Folders> received;
    QByteArrayList startupIds;
    FolderHandOff handOff { [this](const Folders& folders, const QByteArray& startupId) {
        received << folders;
        startupIds << startupId;
    } };

    bool serve(const QString& at = {})
    {
        return dir.isValid() && handOff.serve(at.isEmpty() ? address : at);
    }
};

/// Records the start-up ids the window was asked to come to the front with.
struct RecordingActivation final : WindowActivation {
    QByteArrayList startupIds;
    void activate(QWidget&, const QByteArray& startupId) override { startupIds << startupId; }
    bool endsStartupFeedback() const override { return true; }
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
        const QByteArray display = "xcb :0.0";
        const QString name = handoff::socketName(display);
        QCOMPARE(handoff::defaultAddress(display), runtime.filePath(name));
        // A runtime folder others can enter is no place for it.
        QVERIFY(QFile::setPermissions(runtime.path(),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                | QFile::ExeOther));
        const EnvironmentValue tmp("TMPDIR", QFile::encodeName(runtime.filePath("tmp")));
        QVERIFY(QDir(runtime.path()).mkdir("tmp"));
        const QString own = runtime.filePath(QStringLiteral("tmp/ostlebry-%1").arg(::getuid()));
        QCOMPARE(handoff::defaultAddress(display), own + "/" + name);
        struct stat status {
        };
        QCOMPARE(::lstat(QFile::encodeName(own).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, mode_t(0700));

        // A private runtime folder whose socket path would not fit a socket's address.
        const QString deep = runtime.filePath(QString(sizeof(sockaddr_un::sun_path), 'd'));
        QVERIFY(QDir().mkdir(deep)
            && QFile::setPermissions(deep, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const EnvironmentValue deepXdg("XDG_RUNTIME_DIR", QFile::encodeName(deep));
        QCOMPARE(handoff::defaultAddress(display), own + "/" + name);
    }

    void aDisplayIsNamedOneWayForAllItsSpellings_data()
    {
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("normal");
        QTest::newRow("bare") << QByteArray(":0") << QByteArray(":0.0");
        QTest::newRow("screen") << QByteArray(":0.0") << QByteArray(":0.0");
        QTest::newRow("unix") << QByteArray("unix:0") << QByteArray(":0.0");
        QTest::newRow("unix transport") << QByteArray("unix/:0") << QByteArray(":0.0");
        QTest::newRow("other screen") << QByteArray(":0.1") << QByteArray(":0.1");
        QTest::newRow("other display") << QByteArray(":01") << QByteArray(":1.0");
        QTest::newRow("forwarded") << QByteArray("localhost:10.0") << QByteArray("localhost:10.0");
        QTest::newRow("not a display") << QByteArray(":x") << QByteArray(":x");
    }
    void aDisplayIsNamedOneWayForAllItsSpellings()
    {
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, normal);
        QCOMPARE(handoff::normalX11Display(display), normal);
    }

    void theDisplayIsTheOneTheWindowShowsOn()
    {
        const auto key
            = [](const char* platform, const QByteArray& x11, const QByteArray& wayland) {
                  return handoff::displayKey(QLatin1String(platform), x11, wayland, "/run/user/7");
              };
        QCOMPARE(key("xcb", ":0", "wayland-0"), key("xcb", "unix:0.0", "wayland-1"));
        QVERIFY(key("xcb", ":0", {}) != key("xcb", ":1", {}));
        // Under Wayland the compositor counts, however named; DISPLAY is its X server.
        QCOMPARE(key("wayland", ":0", "wayland-1"), key("wayland", ":5", "/run/user/7/wayland-1"));
        QVERIFY(key("wayland", ":0", "wayland-1") != key("wayland", ":0", "wayland-2"));
        QVERIFY(key("wayland", ":0", "wayland-1") != key("xcb", ":0", "wayland-1"));
        // Whatever the names hold, the socket's name is short and plain.
        const QRegularExpression plain(QStringLiteral("^ostlebry-[0-9a-f]{16}\\.socket$"));
        QVERIFY(plain.match(handoff::socketName(key("xcb", "../../x\n:0", {}))).hasMatch());
    }

    void aStartReachesOnlyTheWindowOnItsDisplay()
    {
        ServingWindow onA;
        const EnvironmentValue xdg("XDG_RUNTIME_DIR", QFile::encodeName(onA.dir.path()));
        const auto addressOn = [](const QByteArray& display) {
            return handoff::defaultAddress(handoff::displayKey("xcb", display, {}, {}));
        };
        QVERIFY(addressOn(":0") != addressOn(":1"));
        QVERIFY(onA.serve(addressOn(":0")));
        QVERIFY(!FolderHandOff::handOver(addressOn(":1"), { "/b" }, 10000));
        HandOverThread sameDisplay(addressOn(":0.0"), { "/a" }, 10000);
        QTRY_COMPARE(onA.received, QList<Folders> { { "/a" } });
        QVERIFY(sameDisplay.result());
    }

    void theStartsIdentityTravelsWithItsFolders()
    {
        ServingWindow window;
        QVERIFY(window.serve());
        bool windowEndsFeedback = true;
        HandOverThread withId(
            window.address, { "/a" }, 10000, "kde-1;2_TIME3456", &windowEndsFeedback);
        QTRY_COMPARE(window.received.size(), 1);
        QVERIFY(withId.result());
        QVERIFY(!windowEndsFeedback); // this start must end it itself
        window.handOff.setEndsStartupFeedback(true);
        // An id the start-up messages cannot carry is left out; the folders are not.
        HandOverThread badId(window.address, { "/b" }, 10000, "with blank", &windowEndsFeedback);
        QTRY_COMPARE(window.received.size(), 2);
        QVERIFY(badId.result());
        QVERIFY(windowEndsFeedback);
        HandOverThread none(window.address, { "/c" }, 10000);
        QTRY_COMPARE(window.received.size(), 3);
        QVERIFY(none.result());
        QCOMPARE(window.received, (QList<Folders> { { "/a" }, { "/b" }, { "/c" } }));
        QCOMPARE(window.startupIds, (QByteArrayList { "kde-1;2_TIME3456", {}, {} }));
        QCOMPARE(x11::launchTime("kde-1;2_TIME3456"), 3456u);
        QCOMPARE(x11::launchTime("no-time"), 0u);
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
        QCOMPARE(handoff::defaultAddress("xcb :0.0", &problem), QString());
        QVERIFY2(problem.endsWith("is a link"), qPrintable(problem));

        // Open to others, as a folder made by someone else with mode 777 would be.
        QVERIFY(QFile::remove(own));
        QVERIFY(
            ::mkdir(ownBytes.constData(), 0700) == 0 && ::chmod(ownBytes.constData(), 0777) == 0);
        QCOMPARE(handoff::defaultAddress("xcb :0.0", &problem), QString());
        QVERIFY2(problem.endsWith("is open to other users"), qPrintable(problem));
        QVERIFY(!handoff::privateFolderProblem(ownBytes, ::getuid() + 1).isEmpty());

        // With no address there is neither hand-over nor serving.
        QVERIFY(!FolderHandOff::handOver(QString(), { "/a" }, 1000));
        FolderHandOff serving([](const Folders&, const QByteArray&) {});
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
        ServingWindow window;
        QVERIFY(window.serve());
        const Folders folders { "/b", "/a", "/with\nnewline", "/b", "/not\xfftext" };
        HandOverThread first(window.address, folders, 10000);
        QTRY_COMPARE(window.received.size(), 1);
        QVERIFY(first.result());
        HandOverThread second(window.address, { "/c" }, 10000);
        QTRY_COMPARE(window.received.size(), 2);
        QVERIFY(second.result());
        QCOMPARE(window.received, (QList<Folders> { folders, { "/c" } }));
        QTRY_COMPARE(window.handOff.openConnections(), 0);
    }

    void aMessageOfManyReadsIsTakenWhole()
    {
        ServingWindow window;
        QVERIFY(window.serve());
        const QString& address = window.address;
        const QList<Folders>& received = window.received;
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
        ServingWindow window;
        QVERIFY(window.serve());
        const QString& address = window.address;
        const QList<Folders>& received = window.received;
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
        ServingWindow window;
        QVERIFY(window.serve());
        const QString& address = window.address;
        const QList<Folders>& received = window.received;
        const FolderHandOff& serving = window.handOff;
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
        RecordingActivation activation;
        FolderHandOff serving([&](const Folders& folders, const QByteArray& startupId) {
            addStartFolders(w.form, folders);
            bringToFront(w.form, startupId, activation);
        });
        QVERIFY(serving.serve(dir.filePath("s")));
        HandOverThread handing(dir.filePath("s"), { "/c", "/a" }, 10000, "launch_TIME9");
        QTRY_COMPARE(
            w.locations(), (QStringList { dir.filePath("tree"), "/no/such folder", "/c", "/a" }));
        QVERIFY(handing.result());
        // The window comes to the front as the answer to that launch.
        QCOMPARE(activation.startupIds, QByteArrayList { "launch_TIME9" });

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
        ServingWindow window;
        QVERIFY(leaveStaleSocket(window.address));
        QVERIFY(window.serve());
        HandOverThread handing(window.address, { "/a" }, 10000);
        QTRY_COMPARE(window.received, QList<Folders> { { "/a" } });
        QVERIFY(handing.result());
    }

    void aSecondWindowLeavesTheFirstServing()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString address = dir.filePath("s");
        Folders first;
        Folders second;
        FolderHandOff firstWindow(
            [&](const Folders& folders, const QByteArray&) { first << folders; });
        FolderHandOff secondWindow(
            [&](const Folders& folders, const QByteArray&) { second << folders; });
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
        ServingWindow window;
        QVERIFY(window.serve());
        QLocalSocket socket;
        socket.connectToServer(window.address);
        QVERIFY(socket.waitForConnected(5000));
        // A message that claims more bytes than any start may send.
        socket.write(QByteArray::fromHex("7ffffff0"));
        QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState);
        QVERIFY(window.received.isEmpty());
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
        const auto sockets = [&runtime] {
            return QDir(runtime.path()).entryList({ "*.socket" }, QDir::System).size();
        };
        const auto environmentOn = [&runtime](const QString& display) {
            QProcessEnvironment environment = withoutDisplay();
            environment.insert("QT_QPA_PLATFORM", "offscreen");
            // Never the address of a window the user has open.
            environment.insert("XDG_RUNTIME_DIR", runtime.path());
            environment.insert("DISPLAY", display);
            return environment;
        };
        QProcess first;
        first.setProcessEnvironment(environmentOn(":71"));
        first.start(QStringLiteral(OSTLEBRY_PROGRAM), { "/first" });
        QVERIFY(first.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(sockets(), 1, 30000);

        const Run second = runProgram({ "relative", "/second" }, environmentOn(":71.0"));
        QCOMPARE(second.exitCode, 0);
        QCOMPARE(second.out,
            QStringLiteral("ostlebry: the folders were added to the window already open.\n"));

        // On another display the start opens a window of its own, serving there.
        QProcess elsewhere;
        elsewhere.setProcessEnvironment(environmentOn(":72"));
        elsewhere.start(QStringLiteral(OSTLEBRY_PROGRAM), { "/third" });
        QVERIFY(elsewhere.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(sockets(), 2, 30000);
        QCOMPARE(elsewhere.state(), QProcess::Running);
        for (QProcess* program : { &first, &elsewhere }) {
            program->kill();
            program->waitForFinished();
        }
    }
};

QTEST_MAIN(TestCommandLine)
#include "tst_CommandLine.moc"
