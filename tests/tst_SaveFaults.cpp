// SPDX-License-Identifier: MIT
// Saves that cannot succeed, made through the real window and its file
// dialog: each gives one clear report, and whatever stood at the path before
// is still there afterwards.
#include "platform/qt/QtListControl.h"
#include "shell/GuardedProcedure.h"
#include "support/ModalBoxAnswerer.h"
#include "support/WindowDriver.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QProcess>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vantorel;
using namespace vantorel::test;

namespace {

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

/// The one report a failed save gives: it names the path, the reason and the line.
void expectOneSaveReport(const QStringList& texts, const QString& path, int line)
{
    QCOMPARE(texts.size(), 1);
    const QString text = texts.first();
    QVERIFY2(text.startsWith(path + ": "), qPrintable(text));
    const QString reason = text.mid(path.size() + 2).section('\n', 0, 0);
    QVERIFY2(!reason.trimmed().isEmpty(), qPrintable(text));
    QVERIFY2(text.endsWith('\n' + kSaveLocation + "at line " + QString::number(line)
                           + "\n\n" + supportLine()),
             qPrintable(text));
}

/// Lowers the largest file this process may write, as a full disk would.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        // Past the limit write() fails with EFBIG instead of ending the process.
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        m_ok = ::getrlimit(RLIMIT_FSIZE, &m_saved) == 0;
        rlimit lowered = m_saved;
        lowered.rlim_cur = bytes;
        m_ok = m_ok && ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        if (m_ok)
            ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool active() const { return m_ok; }

private:
    rlimit m_saved{};
    bool m_ok = false;
    void (*m_oldHandler)(int) = nullptr;
};

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

    void cleanup() { QVERIFY(!QApplication::activeModalWidget()); }

    void aFolderNoOneMayWriteIn()
    {
        // Not even root may create files at the top of /sys.
        const QString target = QStringLiteral("/sys/ostlebry-results.txt");
        ModalBoxAnswerer answerer;
        WindowDriver w;
        addRows(w, 3);
        answerer.fileChoices = {target};
        w.click("PushButton2");
        QCOMPARE(answerer.fileDialogs, QStringList{"Save"});
        expectOneSaveReport(answerer.texts(), target, 132);
        QVERIFY(!QFileInfo::exists(target));
        QCOMPARE(w.results().size(), 3);
    }

    void aFullDevice()
    {
        struct stat before;
        if (::stat("/dev/full", &before) != 0 || !S_ISCHR(before.st_mode))
            QSKIP("this system has no /dev/full");
        ModalBoxAnswerer answerer;
        WindowDriver w;
        addRows(w, 3);
        answerer.fileChoices = {"/dev/full"};
        w.click("PushButton2");
        expectOneSaveReport(answerer.texts().mid(1), "/dev/full", 142);
        struct stat after;
        QCOMPARE(::stat("/dev/full", &after), 0);
        QVERIFY(S_ISCHR(after.st_mode));
        QCOMPARE(after.st_rdev, before.st_rdev);
    }

    void aDiskThatFillsUpKeepsTheOldFile()
    {
        const QString target = path("results.txt");
        QVERIFY(writeFile(target, "old\r\n"));
        ModalBoxAnswerer answerer;
        WindowDriver w;
        addRows(w, 20000);
        answerer.fileChoices = {target};
        answerer.yesNo = {true};
        {
            FileSizeLimit limit(64 * 1024);
            QVERIFY(limit.active());
            w.click("PushButton2");
        }
        const QStringList texts = answerer.texts();
        QCOMPARE(texts.value(0), "Are you sure you wish to overwrite " + target + " ?");
        expectOneSaveReport(texts.mid(1), target, 138);
        QCOMPARE(contentOf(target), QByteArray("old\r\n"));
        // The unfinished copy is gone too.
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"results.txt"});
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
    answerer.fileChoices = {target};
    answerer.yesNo = {true};
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, &w.form, [&] {
        if (w.form.cursor().shape() == Qt::WaitCursor && !QApplication::activeModalWidget())
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
