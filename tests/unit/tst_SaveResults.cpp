// SPDX-License-Identifier: MIT
// Saving the results: the dialog, the file written, the question before a file
// is overwritten, and the pumps between rows.
#include "results/SaveResultsCommand.h"
#include "support/FileContent.h"
#include "support/SaveResultsFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTest>

#include <unistd.h>

using namespace vantorel;
using namespace std::chrono_literals;
using vantorel::test::contentOf;
using vantorel::test::RecordingMessageBoxes;
using vantorel::test::writeFile;

class TestSaveResults : public QObject, private test::SaveResultsFixture
{
    Q_OBJECT

private slots:
    void init() { begin(); }

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
};

QTEST_GUILESS_MAIN(TestSaveResults)
#include "tst_SaveResults.moc"
