// SPDX-License-Identifier: MIT
// The search from end to end in the real window, offscreen.
#include "platform/qt/controls/QtMessageBoxes.h"
#include "platform/qt/list/OneLineHeader.h"
#include "platform/qt/list/QtListControl.h"
#include "shell/common/GuardedProcedure.h"
#include "shell/qt/Form1.h"
#include "support/FolderTreeFixture.h"
#include "support/ModalBoxAnswerer.h"
#include "support/WindowCase.h"
#include "support/WindowDriver.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

using Window = WindowDriver;

} // namespace

class TestMainWindowSearch : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_work;

private slots:
    void initTestCase()
    {
        m_work = StandardTree::plain(m_dir.path());
        QVERIFY(!m_work.isEmpty());
    }

    void init() { QFile::remove(settingsFile()); }

    void cleanup() { QVERIFY(!test::openBox()); }

    void startsWithAnEmptyStore()
    {
        ModalBoxAnswerer answerer;
        Window w;
        QCOMPARE(w.form.windowTitle(), QStringLiteral("Vantorel Software"));
        QVERIFY(w.child<QCheckBox>("Check4")->isChecked());
        QCOMPARE(w.child<QLineEdit>("Text1")->text(), QString());
        QCOMPARE(w.locationsHeader(), QStringLiteral("Folder(s)"));
        QVERIFY(answerer.boxes.isEmpty());
        QSettings stored(settingsFile(), QSettings::IniFormat);
        stored.beginGroup("Vantorel Software");
        QCOMPARE(stored.childKeys(), QStringList { "Text1" });
        QCOMPARE(stored.value("Text1").toString(), QString());
    }

    void aCorruptMatchCaseIsReportedAndTheBoxStaysChecked()
    {
        {
            QSettings stored(settingsFile(), QSettings::IniFormat);
            stored.setValue("Vantorel Software/Check4", "abc");
            stored.setValue("Vantorel Software/Text1", "kept phrase");
        }
        ModalBoxAnswerer answerer;
        Window w;
        QCOMPARE(answerer.texts(), QStringList { shownReport("Type mismatch", "Form_Load", 136) });
        QCOMPARE(answerer.boxes.value(0).title, QStringLiteral("Application Error"));
        QVERIFY(w.child<QCheckBox>("Check4")->isChecked());
        QCOMPARE(w.child<QLineEdit>("Text1")->text(), QStringLiteral("kept phrase"));
    }

    void findsFolders_data()
    {
        using Tree = WindowCase::Tree;
        QTest::addColumn<QList<Tree>>("trees");
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("fullPath");
        QTest::newRow("full paths, any case") << QList { Tree::Plain } << "alpha" << false << true;
        QTest::newRow("names, any case") << QList { Tree::Plain } << "alpha" << false << false;
        QTest::newRow("match case") << QList { Tree::Plain } << "Alpha" << true << true;
        QTest::newRow("a location twice, listed twice")
            << QList { Tree::Plain, Tree::Plain } << "alpha" << false << true;
        QTest::newRow("links listed, not entered")
            << QList { Tree::LinksAndLoops } << "a" << false << false;
    }
    void findsFolders()
    {
        QFETCH(QList<WindowCase::Tree>, trees);
        QFETCH(QString, phrase);
        QFETCH(bool, matchCase);
        QFETCH(bool, fullPath);
        QStringList locations;
        for (const WindowCase::Tree tree : trees)
            locations << WindowCase::tree(tree);
        WindowCase c;
        QVERIFY(c.expectSearch(locations, phrase, { matchCase, fullPath }));
        QVERIFY(!c.window().results().isEmpty());
        QCOMPARE(c.boxes().boxes.last().title, QStringLiteral("Vantorel"));
        // The phrase and the Match Case state reached the store as they changed.
        QSettings stored(c.settingsFile(), QSettings::IniFormat);
        QCOMPARE(stored.value("Vantorel Software/Text1").toString(), phrase);
        QCOMPARE(stored.value("Vantorel Software/Check4", "1").toString(), matchCase ? "1" : "0");
    }

    /// The header shows the folder being searched on one line, cut in the
    /// middle to the column, with the whole path in its tooltip: a wrapped
    /// header would push the rows down and up again as the search goes on.
    void aLongSearchingHeaderStaysOnOneLine()
    {
        Window w;
        w.form.locations().append(m_work);
        auto* list = w.child<QTableView>("ListView1");
        QHeaderView* header = list->horizontalHeader();
        const int idleHeight = header->sizeHint().height();
        const int idleRowTop = list->visualRect(list->model()->index(0, 0)).top();
        const QString path = QStringLiteral("/home/someone/Documents/Projects 2026/Client work/"
                                            "Quarterly reports and their many appendices/drafts");
        w.form.locations().setColumnCaption("Searching " + path);
        QCoreApplication::processEvents();
        QCOMPARE(header->sizeHint().height(), idleHeight);
        QCOMPARE(header->height(), idleHeight);
        QCOMPARE(list->visualRect(list->model()->index(0, 0)).top(), idleRowTop);
        QCOMPARE(w.locationsHeader(), "Searching " + path);

        const QString shown = static_cast<OneLineHeader*>(header)->shownText(0);
        QVERIFY2(shown.startsWith("Searching /home/") && shown.endsWith("/drafts")
                && shown.contains(QChar(0x2026)) && shown.size() < path.size(),
            qPrintable(shown));
        QHelpEvent help(
            QEvent::ToolTip, QPoint(20, 5), header->viewport()->mapToGlobal(QPoint(20, 5)));
        QApplication::sendEvent(header->viewport(), &help);
        QTRY_COMPARE(QToolTip::text(), "Searching " + path);
        QToolTip::hideText();

        // A caption that fits is drawn whole.
        w.form.locations().setColumnCaption("Folder(s)");
        QCOMPARE(static_cast<OneLineHeader*>(header)->shownText(0), QStringLiteral("Folder(s)"));
    }

    void blankPhraseAsksForOne()
    {
        ModalBoxAnswerer answerer;
        Window w;
        w.search(m_work, "   ");
        QCOMPARE(answerer.texts(), QStringList { "Input search for what phrase." });
        QCOMPARE(w.button("PushButton1")->text(), QStringLiteral("Start Finding"));
        QVERIFY(w.results().isEmpty());
    }

    void stopPressedInsideTheRun()
    {
        ModalBoxAnswerer answerer;
        Window w;
        w.form.locations().append(m_work);
        w.typePhrase("alpha");
        QString captionAfterStop;
        // Queued now, the second press arrives inside the run's first event pump.
        QTimer::singleShot(0, &w.form, [&] {
            QTest::mouseClick(w.button("PushButton1"), Qt::LeftButton);
            captionAfterStop = w.button("PushButton1")->text();
        });
        QTest::mouseClick(w.button("PushButton1"), Qt::LeftButton);
        QCOMPARE(captionAfterStop, QStringLiteral("Start Finding"));
        QCOMPARE(answerer.texts(), QStringList { "Done." });
        QVERIFY(w.results().isEmpty());
        QCOMPARE(w.locationsHeader(), QStringLiteral("Folder(s)"));
    }

    void aDeletedLocationIsReportedAndTheNextSearched()
    {
        ModalBoxAnswerer answerer;
        Window w;
        const QString gone = m_dir.path() + "/gone";
        QVERIFY(QDir().mkpath(gone));
        w.form.locations().append(gone);
        w.form.locations().append(m_work);
        QVERIFY(QDir(gone).removeRecursively());
        w.typePhrase("alpha-old");
        QTest::mouseClick(w.button("PushButton1"), Qt::LeftButton);
        QCOMPARE(answerer.boxes.size(), 2);
        QVERIFY2(
            answerer.boxes[0].text.endsWith(
                "\nin Vantorel2021/08/31.Form1.PushButton1_Click at line 126\n\n" + supportLine()),
            qPrintable(answerer.boxes[0].text));
        QCOMPARE(answerer.boxes[1].text, QStringLiteral("Done."));
        QCOMPARE(w.results(), QStringList { m_work + "/alpha/alpha-old" });
    }

    void commandsRunNestedInTheRun()
    {
        ModalBoxAnswerer answerer;
        Window w;
        w.form.locations().append(m_work);
        w.form.locations().append(m_work);
        w.form.results().append("an earlier row");
        w.typePhrase("alpha");
        QTableView* locations = w.child<QTableView>("ListView1");
        QTimer::singleShot(0, &w.form, [&] {
            locations->selectRow(0);
            QTest::keyClick(locations, Qt::Key_Delete); // busy: refused
            QTest::mouseClick(w.button("PushButton7"), Qt::LeftButton); // busy: refused
            QTest::mouseClick(w.button("PushButton6"), Qt::LeftButton); // Clear Results
        });
        QTest::mouseClick(w.button("PushButton1"), Qt::LeftButton);
        QCOMPARE(w.form.locations().count(), 2);
        // The clear ran in one of the run's pumps: the rows found after it follow
        // in walk order, the second location's whole.
        const QStringList once
            = expectedSearchRows(m_work, "alpha", true, Qt::CaseSensitive); // Match Case
        const QStringList twice = once + once;
        const QStringList rows = w.results();
        QVERIFY(rows.size() >= once.size());
        QCOMPARE(rows, twice.mid(twice.size() - rows.size()));
        QCOMPARE(answerer.texts(), QStringList { "Done." });
    }
};

QTEST_MAIN(TestMainWindowSearch)
#include "tst_MainWindowSearch.moc"
