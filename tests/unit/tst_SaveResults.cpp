// SPDX-License-Identifier: MIT
#include "platform/qt/files/QtFileSystem.h"
#include "platform/qt/files/QtOutputFileService.h"
#include "results/ResultFilterCommands.h"
#include "results/SaveResultsCommand.h"
#include "support/FakeControls.h"
#include "support/FakeListControl.h"
#include "support/RecordingMessageBoxes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace vantorel;
using namespace std::chrono_literals;
using vantorel::test::FakeListControl;
using vantorel::test::FakePointer;
using vantorel::test::FakeSaveFileDialog;
using vantorel::test::RecordingMessageBoxes;
using vantorel::test::ScriptedEventPump;

namespace
{

/// Real output files whose writes fail, as on a full disk, so that the
/// discarding of the new content is the real one.
class FullDiskOutputFiles : public OutputFileService
{
    class File : public OutputFile
    {
    public:
        explicit File(std::unique_ptr<OutputFile> real)
            : m_real(std::move(real))
        {
        }
        void write(const QByteArray&) override
        {
            throw Failure(QStringLiteral("out.txt: No space left on device"));
        }
        void commit() override { m_real->commit(); }

    private:
        std::unique_ptr<OutputFile> m_real;
    };

public:
    std::unique_ptr<OutputFile> create(const QString& path) override
    {
        return std::make_unique<File>(m_real.create(path));
    }

private:
    QtOutputFileService m_real;
};

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

QString reportLine(const QString& report)
{
    return report.section(QStringLiteral("\r\n"), 1).section(QLatin1Char('\r'), 0, 0);
}

QString atLine(int line)
{
    return QStringLiteral("in Vantorel2021/08/31.Form1.PushButton2_Click at line %1").arg(line);
}

} // namespace

class TestSaveResults : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
        m_list.setRows({});
        m_list.beforeOperation = nullptr;
        m_boxes = RecordingMessageBoxes();
        m_boxes.setApplicationTitle(QStringLiteral("Vantorel"));
        m_pointer = FakePointer();
        m_dialog = FakeSaveFileDialog();
        m_settings = test::MemorySettingsBackend();
        m_pump.pumps = 0;
        m_pump.onPump = nullptr;
    }

    void writesEveryRowWithCrLf()
    {
        m_list.setRows({ QStringLiteral("alpha"), QStringLiteral("Old alpha") });
        const QString path = file("found.txt");
        m_dialog.answers = { path };
        command().PushButton2_Click();

        QCOMPARE(contentOf(path), QByteArray("alpha\r\nOld alpha\r\n"));
        QCOMPARE(contentOf(path).size(), 18);
        QCOMPARE(m_boxes.shown.size(), 1);
        QCOMPARE(m_boxes.shown[0].kind, RecordingMessageBoxes::Kind::Information);
        QCOMPARE(m_boxes.shown[0].text, QStringLiteral("Done."));
        QCOMPARE(m_boxes.shown[0].title, QStringLiteral("Vantorel"));
        QCOMPARE(m_pointer.history, (QList<qint16> { 11, 0 }));
        QVERIFY(m_pump.pumps >= 1); // the first row always yields once
    }

    void dialogRequest()
    {
        command().PushButton2_Click();
        QCOMPARE(m_dialog.requests.size(), 1);
        const SaveDialogRequest& request = m_dialog.requests[0];
        QCOMPARE(request.fileName, QString());
        QCOMPARE(request.flags, 0x280201);
        QCOMPARE(request.title, QStringLiteral("Save"));
        QCOMPARE(request.filter, QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"));
        QCOMPARE(request.startFolder, QString()); // nothing saved yet: the home folder
        QCOMPARE(request.proposedName, QStringLiteral("Folders found.txt"));
    }

    /// The dialog opens where the last save went; a cancelled or failed save
    /// does not move it.
    void theDialogOpensInTheFolderOfTheLastSave()
    {
        m_list.setRows({ QStringLiteral("alpha") });
        QVERIFY(QDir(m_dir->path()).mkpath("lists"));
        m_dialog.answers = { file("lists/found.txt") };
        command().PushButton2_Click();
        command().PushButton2_Click(); // cancelled
        m_dialog.answers = { file("no such folder/found.txt") };
        command().PushButton2_Click(); // fails at line 132
        command().PushButton2_Click();
        QCOMPARE(m_dialog.requests.size(), 4);
        QCOMPARE(m_dialog.requests[0].startFolder, QString());
        for (int i = 1; i < 4; ++i)
            QCOMPARE(m_dialog.requests[i].startFolder, file("lists"));
    }

    void cancelEndsSilently()
    {
        m_list.setRows({ QStringLiteral("alpha") });
        command().PushButton2_Click(); // no answer queued: the dialog was cancelled
        QVERIFY(m_boxes.shown.isEmpty());
        QCOMPARE(m_pointer.history, QList<qint16> {});
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList {});
    }

    void rowsKeepTheirBlanksAndTheNameItsForm()
    {
        m_list.setRows(
            { QStringLiteral("  lead"), QStringLiteral("trail  "), QStringLiteral(" ") });
        const QString path = file("no extension");
        m_dialog.answers = { path };
        command().PushButton2_Click();
        QCOMPARE(contentOf(path), QByteArray("  lead\r\ntrail  \r\n \r\n"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList { "no extension" });
    }

    void lineBreaksInANameStayInItsLine()
    {
        m_list.setRows({ QStringLiteral("two\nlines"), QStringLiteral("cr\r\nlf"),
            QStringLiteral("back\\n") });
        // A name the file name encoding cannot decode is written as its bytes.
        const QByteArray undecodable = "/data/bad\xff\rname";
        m_list.appendFolder(
            std::string_view(undecodable.constData(), std::size_t(undecodable.size())), 9, true);
        const QString path = file("breaks.txt");
        m_dialog.answers = { path };
        command().PushButton2_Click();
        QCOMPARE(contentOf(path),
            QByteArray("two\\nlines\r\ncr\\r\\nlf\r\nback\\n\r\n/data/bad\xff\\rname\r\n"));
    }

    void aLinkToNothingIsAskedAbout()
    {
        const QString path = file("link.txt");
        QVERIFY(QFile::link(file("elsewhere.txt"), path));
        m_list.setRows({ QStringLiteral("new") });
        m_dialog.answers = { path };
        m_boxes.yesNoAnswers = { false };
        command().PushButton2_Click();
        QCOMPARE(m_boxes.texts(RecordingMessageBoxes::Kind::YesNo),
            QStringList { QStringLiteral("Are you sure you wish to overwrite ") + path
                + QStringLiteral(" ?") });
        QVERIFY(!QFileInfo::exists(file("elsewhere.txt")));
    }

    void emptyListGivesAnEmptyFile()
    {
        const QString path = file("empty.txt");
        m_dialog.answers = { path };
        command().PushButton2_Click();
        QVERIFY(QFileInfo::exists(path));
        QCOMPARE(QFileInfo(path).size(), 0);
        QCOMPARE(m_boxes.informations(), QStringList { "Done." });
        QCOMPARE(m_pump.pumps, 0);
    }

    void textInTheSystemEncoding()
    {
        const QString row = QStringLiteral("Musik \u00c4rger \u65e5\u672c");
        m_list.setRows({ row });
        const QString path = file("enc.txt");
        m_dialog.answers = { path };
        command().PushButton2_Click();
        QStringEncoder encoder(QStringConverter::System);
        const QByteArray expected = QByteArray(encoder.encode(row)) + "\r\n";
        QCOMPARE(contentOf(path), expected);
    }

    void overwrite_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }

    void overwrite()
    {
        QFETCH(bool, yes);
        const QString path = file("old.txt");
        writeFile(path, "old content that is longer than the new\r\n");
        m_list.setRows({ QStringLiteral("new") });
        m_dialog.answers = { path };
        m_boxes.yesNoAnswers = { yes };
        command().PushButton2_Click();

        QCOMPARE(m_boxes.texts(RecordingMessageBoxes::Kind::YesNo),
            QStringList { QStringLiteral("Are you sure you wish to overwrite ") + path
                + QStringLiteral(" ?") });
        if (yes) {
            QCOMPARE(contentOf(path), QByteArray("new\r\n"));
            QCOMPARE(m_boxes.informations(), QStringList { "Done." });
            QCOMPARE(m_pointer.history, (QList<qint16> { 11, 0 }));
        } else {
            QCOMPARE(contentOf(path), QByteArray("old content that is longer than the new\r\n"));
            QCOMPARE(m_boxes.shown.size(), 1);
            QCOMPARE(m_pointer.history, QList<qint16> {});
        }
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList { "old.txt" });
    }

    void overwriteAFileWithTwoNames()
    {
        const QString path = file("old.txt");
        writeFile(path, "old content that is longer than the new\r\n");
        QVERIFY(::link(qPrintable(path), qPrintable(file("other.txt"))) == 0);
        m_list.setRows({ QStringLiteral("new") });
        m_dialog.answers = { path };
        m_boxes.yesNoAnswers = { true };
        command().PushButton2_Click();
        QCOMPARE(contentOf(path), QByteArray("new\r\n"));
        QCOMPARE(contentOf(file("other.txt")), QByteArray("new\r\n"));
        QCOMPARE(m_boxes.informations(), QStringList { "Done." });
        QVERIFY(m_boxes.failureReports().isEmpty());
    }

    void pumpsBeforeEachRowWithoutSlicing()
    {
        m_list.setRows({ "a", "b", "c" });
        m_dialog.answers = { file("p.txt") };
        QList<QByteArray> writtenBeforePump;
        m_pump.onPump = [&](int) { writtenBeforePump << contentOf(file("p.txt")); };
        command(0ms).PushButton2_Click();
        QCOMPARE(m_pump.pumps, 3);
        // Nothing reaches the file's place before the save is complete.
        QCOMPARE(writtenBeforePump, (QList<QByteArray>(3, QByteArray("<unreadable>"))));
        QCOMPARE(contentOf(file("p.txt")), QByteArray("a\r\nb\r\nc\r\n"));
    }

    void pathInAMissingFolder()
    {
        m_list.setRows({ "a", "b", "c" });
        const QString path = file("missing/out.txt");
        m_dialog.answers = { path };
        command().PushButton2_Click();
        expectOneReport(132, path);
        QVERIFY(!QFileInfo::exists(path));
    }

    void pathThatNamesAFolder()
    {
        m_list.setRows({ "a", "b" });
        const QString path = file("folder");
        QVERIFY(QDir(m_dir->path()).mkdir("folder"));
        writeFile(path + "/inside.txt", "kept");
        m_dialog.answers = { path };
        command().PushButton2_Click(); // the overwrite question is answered Yes
        QCOMPARE(m_boxes.texts(RecordingMessageBoxes::Kind::YesNo).size(), 1);
        expectOneReport(132, path);
        QVERIFY(QFileInfo(path).isDir());
        QCOMPARE(contentOf(path + "/inside.txt"), QByteArray("kept"));
    }

    void unreadableListFailsTheSaveOnce()
    {
        const QString path = file("old.txt");
        writeFile(path, "old\r\n");
        m_list.setRows({ "a", "b" });
        m_list.beforeOperation = [](const char* operation) {
            if (qstrcmp(operation, "count") == 0)
                throw Failure(QStringLiteral("The list cannot be read"));
        };
        m_dialog.answers = { path };
        command().PushButton2_Click();
        expectOneReport(134, QStringLiteral("The list cannot be read"));
        QCOMPARE(contentOf(path), QByteArray("old\r\n"));
    }

    void fullDevice()
    {
        const QString path = QStringLiteral("/dev/full");
        struct stat before;
        if (::stat("/dev/full", &before) != 0 || !S_ISCHR(before.st_mode))
            QSKIP("this system has no /dev/full");
        m_list.setRows({ "a", "b" });
        m_dialog.answers = { path };
        command().PushButton2_Click();
        expectOneReport(142, path);
        struct stat after;
        QCOMPARE(::stat("/dev/full", &after), 0);
        QVERIFY(S_ISCHR(after.st_mode));
        QCOMPARE(after.st_rdev, before.st_rdev);
    }

    void fullDiskLeavesTheOldFile_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("line");
        QTest::newRow("fails while the rows are written") << 100000 << 138;
        QTest::newRow("fails when the last block is written") << 3 << 142;
    }

    void fullDiskLeavesTheOldFile()
    {
        QFETCH(int, rows);
        QFETCH(int, line);
        const QString path = file("old.txt");
        writeFile(path, "old\r\n");
        QStringList texts;
        for (int i = 0; i < rows; ++i)
            texts << QStringLiteral("row %1").arg(i);
        m_list.setRows(texts);
        m_dialog.answers = { path };
        FullDiskOutputFiles full;
        SaveResultsCommand(m_list, m_boxes, m_pointer, m_pump, m_dialog, m_files, full, m_settings)
            .PushButton2_Click();
        expectOneReport(line, QStringLiteral("out.txt"));
        QCOMPARE(contentOf(path), QByteArray("old\r\n"));
        QCOMPARE(
            QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList { "old.txt" });
    }

    void filterRunInsideTheSavePump()
    {
        const QString path = file("old.txt");
        writeFile(path, "old\r\n");
        m_list.setRows({ "keep 1", "drop 2", "keep 3", "drop 4", "keep 5" });
        m_dialog.answers = { path };
        m_boxes.inputAnswers = { QStringLiteral("DROP") };
        ResultFilterCommands filters(m_list, m_boxes, m_pointer);
        m_pump.onPump = [&](int pump) {
            if (pump == 2)
                filters.PushButton17_Click();
        };
        command(0ms).PushButton2_Click();

        QCOMPARE(m_list.rows(), (QStringList { "keep 1", "keep 3", "keep 5" }));
        // Rows 4 and 5 no longer exist when their turn comes: one report, and
        // a file that would not match the list does not replace the old one.
        expectOneReport(138, QStringLiteral("Index out of bounds"));
        QCOMPARE(contentOf(path), QByteArray("old\r\n"));
        QCOMPARE(m_pointer.history, (QList<qint16> { 11, 11, 1, 0 }));
    }

    void secondSaveInsideTheFirstOnesPump()
    {
        const QStringList rows { "one", "two", "three", "four" };
        m_list.setRows(rows);
        const QString first = file("first.txt");
        const QString second = file("second.txt");
        m_dialog.answers = { first, second };
        SaveResultsCommand save = command(0ms);
        m_pump.onPump = [&](int pump) {
            if (pump == 2)
                save.PushButton2_Click();
        };
        save.PushButton2_Click();

        QCOMPARE(contentOf(first), QByteArray("one\r\ntwo\r\nthree\r\nfour\r\n"));
        QCOMPARE(contentOf(second), QByteArray("one\r\ntwo\r\nthree\r\nfour\r\n"));
        QVERIFY(m_boxes.failureReports().isEmpty());
        QCOMPARE(m_boxes.informations(), (QStringList { "Done.", "Done." }));
        QCOMPARE(m_pointer.history, (QList<qint16> { 11, 11, 0, 0 }));
        QCOMPARE(m_pump.pumps, 8);
    }

private:
    QString file(const QString& name) const { return m_dir->filePath(name); }

    SaveResultsCommand command(
        std::chrono::milliseconds interval = TimeSlicedPump::kDefaultInterval)
    {
        return SaveResultsCommand(m_list, m_boxes, m_pointer, m_pump, m_dialog, m_files,
            m_outputFiles, m_settings, interval);
    }

    /// One failure report at `line` that names `subject`, no "Done.", pointer reset.
    void expectOneReport(int line, const QString& subject)
    {
        const QStringList reports = m_boxes.failureReports();
        QCOMPARE(reports.size(), 1);
        QCOMPARE(reportLine(reports[0]), atLine(line));
        QVERIFY2(reports[0].section(QStringLiteral("\r\n"), 0, 0).contains(subject),
            qPrintable(reports[0]));
        QVERIFY(!m_boxes.informations().contains(QStringLiteral("Done.")));
        QCOMPARE(m_pointer.value(), qint16(0));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeListControl m_list { QStringLiteral("Results") };
    RecordingMessageBoxes m_boxes;
    FakePointer m_pointer;
    FakeSaveFileDialog m_dialog;
    ScriptedEventPump m_pump;
    QtFileSystem m_files;
    QtOutputFileService m_outputFiles;
    test::MemorySettingsBackend m_settings;
};

QTEST_GUILESS_MAIN(TestSaveResults)
#include "tst_SaveResults.moc"
