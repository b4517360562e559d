// SPDX-License-Identifier: MIT
// Folders handed from a second start to the window already running: what
// arrives, in what order and with which start-up id, into the window's rows,
// and how the serving side holds up against stale sockets, rival windows,
// idle, silent or malformed clients.
#include "shell/HandOffMessage.h"
#include "shell/qt/FolderHandOff.h"
#include "shell/qt/StartFolders.h"
#include "shell/qt/WindowActivation.h"
#include "shell/qt/X11StartupNotice.h"
#include "support/DescriptorLimit.h"
#include "support/HandOffDoubles.h"
#include "support/ModalBoxAnswerer.h"
#include "support/WindowDriver.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace vantorel;
using vantorel::test::HandOverThread;
using vantorel::test::RecordingActivation;
using vantorel::test::ServingWindow;
using Folders = QList<QByteArray>;

namespace
{

Folders bytesOf(const QStringList& folders)
{
    Folders native;
    for (const QString& folder : folders)
        native << QFile::encodeName(folder);
    return native;
}

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

} // namespace

class TestHandOffDelivery : public QObject
{
    Q_OBJECT

private slots:
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
};

QTEST_MAIN(TestHandOffDelivery)
#include "tst_HandOffDelivery.moc"
