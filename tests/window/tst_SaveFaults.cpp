// SPDX-License-Identifier: MIT
// Saves that cannot succeed, made through the real window and its file
// dialog: each gives one clear report, and whatever stood at the path before
// is still there afterwards.
#include "platform/qt/list/QtListControl.h"
#include "shell/common/GuardedProcedure.h"
#include "support/FifoWatchdog.h"
#include "support/FileSizeLimit.h"
#include "support/ModalBoxAnswerer.h"
#include "support/WindowDriver.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

const char* const kCloseDuringSave = "OSTLEBRY_TEST_CLOSE_DURING_SAVE";
const QString kSaveLocation = locationText(QStringLiteral("PushButton2_Click"));

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void addRows(WindowDriver& w, int count)
{
    for (int i = 0; i < count; ++i)
        w.form.results().append(QStringLiteral("/some/folder/row %1").arg(i));
}

/// Saves 20,000 rows over `target`, answering Yes, while a file may grow to
/// 64 KB only: the disk fills up half-way. `texts` gets the boxes shown.
void saveOverWithLittleRoom(const QString& target, QStringList& texts)
{
    ModalBoxAnswerer answerer;
    WindowDriver w;
    addRows(w, 20000);
    answerer.fileChoices = { target };
    answerer.yesNo = { true };
    {
        FileSizeLimit limit(64 * 1024);
        QVERIFY(limit.active());
        w.click("PushButton2");
    }
    texts = answerer.texts();
}

/// The one report a failed save gives: it names the path, the reason and the line.
void expectOneSaveReport(const QStringList& texts, const QString& path, int line)
{
    QCOMPARE(texts.size(), 1);
    const QString text = texts.first();
    QVERIFY2(text.startsWith(path + ": "), qPrintable(text));
    const QString reason = text.mid(path.size() + 2).section('\n', 0, 0);
    QVERIFY2(!reason.trimmed().isEmpty(), qPrintable(text));
    QVERIFY2(text.endsWith('\n' + kSaveLocation + "at line " + QString::number(line) + "\n\n"
                 + supportLine()),
        qPrintable(text));
}

} // namespace

class TestSaveFaults : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString& name) const { return m_dir->path() + '/' + name; }

private slots:
    void init()
    {
        QFile::remove(settingsFile());
        // The file dialog opens where it was last; a place that blocks its
        // listing (a device file in /proc) must not carry over from another run.
        QFile::remove(QFileInfo(settingsFile()).path() + "/QtProject.conf");
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void cleanup() { QVERIFY(!test::openBox()); }

    void aFolderNoOneMayWriteIn()
    {
        // Not even root may create files at the top of /sys.
        const QString target = QStringLiteral("/sys/ostlebry-results.txt");
        ModalBoxAnswerer answerer;
        WindowDriver w;
        addRows(w, 3);
        answerer.fileChoices = { target };
        w.click("PushButton2");
        QCOMPARE(answerer.fileDialogs, QStringList { "Save" });
        expectOneSaveReport(answerer.texts(), target, 132);
        QVERIFY(!QFileInfo::exists(target));
        QCOMPARE(w.results().size(), 3);
    }

    void aDiskThatFillsUpKeepsTheOldFile()
    {
        const QString target = path("results.txt");
        QVERIFY(writeFile(target, "old\r\n"));
        QStringList texts;
        saveOverWithLittleRoom(target, texts);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(texts.value(0), "Are you sure you wish to overwrite " + target + " ?");
        expectOneSaveReport(texts.mid(1), target, 138);
        // A write cut short names its cause rather than "Unknown error".
        QVERIFY2(texts.last().startsWith(target + ": File too large\n"), qPrintable(texts.last()));
        QCOMPARE(contentOf(target), QByteArray("old\r\n"));
        // The unfinished copy is gone too.
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
            QStringList { "results.txt" });
    }

    void aDiskThatFillsUpUnderAFileWithTwoNames()
    {
        // A second name rules out a renamed copy: the rows go into the file itself.
        const QString target = path("results.txt");
        QVERIFY(writeFile(target, "old\r\n"));
        QCOMPARE(::link(qPrintable(target), qPrintable(path("other name.txt"))), 0);
        QStringList texts;
        saveOverWithLittleRoom(target, texts);
        if (QTest::currentTestFailed())
            return;
        const QStringList reports = texts.mid(1);
        expectOneSaveReport(reports, target, 138);
        QVERIFY2(reports.first().contains("now holds only part of the results"),
            qPrintable(reports.first()));
        QCOMPARE(contentOf(path("other name.txt")), contentOf(target));
    }

    void aNamedPipe()
    {
        const QString fifo = path("pipe");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
        ModalBoxAnswerer answerer;
        WindowDriver w;
        addRows(w, 3);
        answerer.fileChoices = { fifo };
        answerer.yesNo = { true };
        {
            FifoWatchdog watchdog(fifo);
            w.click("PushButton2");
            QVERIFY2(!watchdog.fired(), "the save waited on the pipe");
        }
        const QStringList texts = answerer.texts();
        QCOMPARE(texts.value(0), "Are you sure you wish to overwrite " + fifo + " ?");
        expectOneSaveReport(texts.mid(1), fifo, 132);
        QVERIFY(texts.last().startsWith(fifo + ": This is a named pipe (FIFO), not a file\n"));
        struct stat after;
        QCOMPARE(::stat(QFile::encodeName(fifo).constData(), &after), 0);
        QVERIFY(S_ISFIFO(after.st_mode));
        QCOMPARE(w.results().size(), 3);
    }

    /// Closing the window ends the program on the spot, inside the save's own
    /// event pump; the old file must come through whole. The program's end is
    /// real, so it happens in a second run of this test program.
    void theWindowClosedInTheMiddleOfASave()
    {
        const QString target = path("results.txt");
        QVERIFY(writeFile(target, "old\r\n"));
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(kCloseDuringSave, target);
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(120000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(contentOf(target), QByteArray("old\r\n"));
    }
};

/// The second run: saves many rows over `target` and closes the window in the
/// first pump of the writing, the first one under the busy pointer. Ends with
/// 0 only when the close ended the program.
int closeDuringSave(const QString& target)
{
    ModalBoxAnswerer answerer;
    WindowDriver w([] { std::_Exit(0); });
    addRows(w, 200000);
    answerer.fileChoices = { target };
    answerer.yesNo = { true };
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, &w.form, [&] {
        if (w.form.cursor().shape() == Qt::WaitCursor && !test::openBox())
            w.form.close();
    });
    closer.start(0);
    w.click("PushButton2");
    return 3;
}

// The test's own main: the same program also serves as the second run.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString target = qEnvironmentVariable(kCloseDuringSave);
    if (!target.isEmpty())
        return closeDuringSave(target);
    TestSaveFaults test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_SaveFaults.moc"
