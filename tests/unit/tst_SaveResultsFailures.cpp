// SPDX-License-Identifier: MIT
// A save that fails: at which line it is reported, once, and that the old file
// is kept; also a list changed by a command run in the save's pump.
#include "platform/files/QtOutputFileService.h"
#include "results/ResultFilterCommands.h"
#include "results/SaveResultsCommand.h"
#include "support/FileContent.h"
#include "support/SaveResultsFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <sys/stat.h>

using namespace vantorel;
using namespace std::chrono_literals;
using vantorel::test::contentOf;
using vantorel::test::RecordingMessageBoxes;
using vantorel::test::writeFile;

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

QString reportLine(const QString& report)
{
    return report.section(QStringLiteral("\r\n"), 1).section(QLatin1Char('\r'), 0, 0);
}

QString atLine(int line)
{
    return QStringLiteral("in Vantorel2021/08/31.Form1.PushButton2_Click at line %1").arg(line);
}

} // namespace

class TestSaveResultsFailures : public QObject, private test::SaveResultsFixture
{
    Q_OBJECT

private slots:
    void init() { begin(); }

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
        SaveResultsCommand(
            m_list, m_boxes, m_pointer, m_pump, m_dialog, m_files, full, m_settings, m_busy)
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

private:
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
};

QTEST_GUILESS_MAIN(TestSaveResultsFailures)
#include "tst_SaveResultsFailures.moc"
