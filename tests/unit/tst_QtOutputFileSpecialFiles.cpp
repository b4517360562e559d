// SPDX-License-Identifier: MIT
// Saving to what is not a plain file: a device, a named pipe, a socket, a
// file of the kernel's.
#include "support/FifoWatchdog.h"
#include "support/OutputFileFixture.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

using namespace vantorel;
using namespace vantorel::test;

class TestQtOutputFileSpecialFiles : public QObject, private OutputFileFixture
{
    Q_OBJECT

private slots:
    void init() { begin(); }

    void fullDeviceFailsAndStaysADevice()
    {
        struct stat before;
        if (::stat("/dev/full", &before) != 0 || !S_ISCHR(before.st_mode))
            QSKIP("this system has no /dev/full");
        auto file = m_files.create(QStringLiteral("/dev/full"));
        QCOMPARE(failureOf([&] { file->write("abc"); }),
            QStringLiteral("/dev/full: No space left on device"));
        struct stat after;
        QCOMPARE(::stat("/dev/full", &after), 0);
        QVERIFY(S_ISCHR(after.st_mode));
        QCOMPARE(after.st_rdev, before.st_rdev);
    }

    void refusesANamedPipeWithoutWaitingForAReader_data()
    {
        QTest::addColumn<bool>("throughALink");
        QTest::newRow("the pipe") << false;
        QTest::newRow("a link to it") << true;
    }

    void refusesANamedPipeWithoutWaitingForAReader()
    {
        QFETCH(bool, throughALink);
        const QString fifo = m_dir->filePath("pipe");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
        QString path = fifo;
        if (throughALink) {
            path = m_dir->filePath("link");
            QCOMPARE(::symlink("pipe", qPrintable(path)), 0);
        }
        QString failure;
        FifoWatchdog watchdog(fifo);
        failure = save(path, "new");
        QVERIFY2(!watchdog.fired(), "the save waited on the pipe");
        QCOMPARE(failure,
            QDir::toNativeSeparators(path)
                + QStringLiteral(": This is a named pipe (FIFO), not a file"));
        QVERIFY(S_ISFIFO(statusOf(fifo).st_mode));
    }

    void refusesASocket()
    {
        const QString path = m_dir->filePath("socket");
        const QByteArray native = QFile::encodeName(path);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        if (size_t(native.size()) >= sizeof address.sun_path)
            QSKIP("the temporary folder's path is too long for a socket");
        qstrcpy(address.sun_path, native.constData());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        QVERIFY(bound);
        QCOMPARE(save(path, "new"),
            QDir::toNativeSeparators(path) + QStringLiteral(": This is a socket, not a file"));
        QVERIFY(S_ISSOCK(statusOf(path).st_mode));
    }

    /// The kernel's files and devices are refused before anything is opened,
    /// however the path reaches them; a device is refused wherever it is.
    void refusesTheKernelsOwnFiles_data()
    {
        QTest::addColumn<QString>("path"); // "~" is the test's folder
        QTest::addColumn<QString>("reason");
        const QString proc
            = "This is in /proc, among the kernel's own files: results are not saved there";
        QTest::newRow("a setting in /proc") << "/proc/self/comm" << proc;
        QTest::newRow("a link to it") << "~/comm link" << proc;
        QTest::newRow("through a linked folder") << "~/kernel/self/comm" << proc;
        QTest::newRow("through ..") << "~/../../proc/self/comm" << proc;
        QTest::newRow("a new file in /sys")
            << "/sys/ostlebry-results.txt"
            << "This is in /sys, among the kernel's own files: results are not saved there";
        QTest::newRow("a new file in /dev")
            << "/dev/ostlebry-results.txt"
            << "This is in /dev, among the kernel's own files: results are not saved there";
        QTest::newRow("a terminal")
            << "/dev/tty"
            << "This is in /dev, among the kernel's own files: results are not saved there";
        QTest::newRow("a device elsewhere") << "~/random"
                                            << "This is a device, not a file";
    }
    void refusesTheKernelsOwnFiles()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        QCOMPARE(::symlink("/proc/self/comm", qPrintable(m_dir->filePath("comm link"))), 0);
        QCOMPARE(::symlink("/proc", qPrintable(m_dir->filePath("kernel"))), 0);
        const QString random = m_dir->filePath("random");
        if (::mknod(QFile::encodeName(random).constData(), S_IFCHR | 0666, makedev(1, 8)) != 0
            && path.endsWith("random"))
            QSKIP("no right to make a device here");
        path.replace('~', m_dir->path());
        QFile comm(QStringLiteral("/proc/self/comm"));
        QVERIFY(comm.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
        const QByteArray name = comm.readAll();

        const QString failure = save(path, "new");
        const bool madeInDev = QFile::remove(QStringLiteral("/dev/ostlebry-results.txt"));
        QCOMPARE(failure, QDir::toNativeSeparators(path) + ": " + reason);
        QVERIFY(!madeInDev);
        comm.seek(0);
        QCOMPARE(comm.readAll(), name);
    }

    void devNullTakesTheWrites()
    {
        QCOMPARE(save(QStringLiteral("/dev/null"), "new"), QStringLiteral("<none>"));
        QVERIFY(S_ISCHR(statusOf(QStringLiteral("/dev/null")).st_mode));
    }
};

QTEST_GUILESS_MAIN(TestQtOutputFileSpecialFiles)
#include "tst_QtOutputFileSpecialFiles.moc"
