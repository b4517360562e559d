// SPDX-License-Identifier: MIT
// What users throw at the window: huge phrases, long location lists, Stop
// pressed again and again, and every command pressed while a search runs.
#include "platform/qt/QtMessageBoxes.h"
#include "support/FolderTreeFixture.h"
#include "support/ModalBoxAnswerer.h"
#include "support/WindowDriver.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>

using namespace vantorel;
using namespace vantorel::test;

namespace {

QStringList expectedRows(const QString& root, const QString& phrase)
{
    QStringList rows;
    for (const ReferenceEntry& entry : referenceWalk(QFile::encodeName(root)))
        if (QFile::decodeName(entry.name).contains(phrase))
            rows << root + QLatin1Char('/') + QFile::decodeName(entry.relativePath);
    return rows;
}

/// Sets the phrase as a paste does: one change, one settings write.
void pastePhrase(WindowDriver& w, const QString& phrase)
{
    w.child<QLineEdit>("Text1")->setText(phrase);
}

/// Runs `action` once, in the first event pump of the walk itself.
class InFirstWalkPump : public QObject
{
public:
    InFirstWalkPump(WindowDriver& w, std::function<void()> action)
    {
        connect(&m_timer, &QTimer::timeout, &w.form, [this, &w, action] {
            if (!w.locationsHeader().startsWith(QStringLiteral("Searching ")))
                return;
            m_timer.stop();
            action();
            ran = true;
        });
        m_timer.start(0);
    }
    bool ran = false;

private:
    QTimer m_timer;
};

} // namespace

class TestInputFaults : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_work;

private slots:
    void initTestCase()
    {
        m_work = m_dir.path() + "/Work";
        QVERIFY(makeFolders(m_work, {"alpha/alpha-old", "Alpha-Project/src", "beta/old alpha", "docs"}));
        for (int i = 0; i < 40; ++i)
            QVERIFY(QDir().mkpath(m_work + QStringLiteral("/many/alpha-%1").arg(i)));
    }

    void init() { QFile::remove(settingsFile()); }

    void cleanup() { QVERIFY(!QApplication::activeModalWidget()); }

    void aPhraseOfAHundredThousandCharacters()
    {
        QString phrase(100000, QLatin1Char('a'));
        phrase.replace(0, 5, QStringLiteral("alpha"));
        ModalBoxAnswerer answerer;
        WindowDriver w;
        w.form.locations().append(m_work);
        w.form.results().append("alpha row");
        pastePhrase(w, phrase);
        w.click("PushButton1");
        QCOMPARE(answerer.texts(), QStringList{"Done."});
        QCOMPARE(w.results(), QStringList{"alpha row"});

        answerer.inputs = {phrase};
        w.click("PushButton17"); // Remove Results Containing X
        QCOMPARE(w.results(), QStringList{"alpha row"});
        answerer.inputs = {phrase};
        w.click("PushButton11"); // Remove Results Not Containing X
        QCOMPARE(w.results(), QStringList());
        QCOMPARE(w.phrase(), phrase);
    }

    void aThousandLocations()
    {
        ModalBoxAnswerer answerer;
        WindowDriver w;
        for (int i = 0; i < 1000; ++i)
            w.form.locations().append(m_work + "/beta");
        pastePhrase(w, "alpha");
        w.click("PushButton1");
        QCOMPARE(answerer.texts(), QStringList{"Done."});
        QStringList expected;
        for (int i = 0; i < 1000; ++i)
            expected << m_work + "/beta/old alpha";
        QCOMPARE(w.results(), expected);
        QCOMPARE(w.locations().size(), 1000);
    }

    void stopPressedInEveryPump()
    {
        ModalBoxAnswerer answerer;
        WindowDriver w;
        w.form.locations().append(m_work);
        w.form.locations().append(m_work);
        pastePhrase(w, "alpha");
        int presses = 0;
        QTimer presser;
        connect(&presser, &QTimer::timeout, &w.form, [&] {
            if (w.button("PushButton1")->text() == QStringLiteral("Stop")) {
                ++presses;
                w.click("PushButton1");
            }
        });
        presser.start(0);
        for (int run = 0; run < 3; ++run)
            w.click("PushButton1");
        presser.stop();
        QCOMPARE(presses, 3);
        QCOMPARE(answerer.texts(), QStringList({"Done.", "Done.", "Done."}));
        QCOMPARE(w.results(), QStringList());
        QCOMPARE(w.button("PushButton1")->text(), QStringLiteral("Start Finding"));
        QCOMPARE(w.locationsHeader(), QStringLiteral("Folder(s)"));
    }

    /// A press stops the run; the presses after it, in the same pump, each
    /// start and finish a whole search of their own before the stopped run
    /// returns.
    void startStopStartInOnePump()
    {
        ModalBoxAnswerer answerer;
        WindowDriver w;
        w.form.locations().append(m_work);
        pastePhrase(w, "alpha");
        QTimer::singleShot(0, &w.form, [&] {
            for (int i = 0; i < 3; ++i)
                w.click("PushButton1");
        });
        w.click("PushButton1");
        const QStringList once = expectedRows(m_work, "alpha");
        QCOMPARE(w.results(), once + once);
        QCOMPARE(answerer.texts(), QStringList({"Done.", "Done.", "Done."}));
        QCOMPARE(w.button("PushButton1")->text(), QStringLiteral("Start Finding"));
        QCOMPARE(w.locationsHeader(), QStringLiteral("Folder(s)"));
    }

    void everyCommandInsideARunningSearch_data()
    {
        QTest::addColumn<QString>("command");
        WindowDriver w;
        QStringList names;
        for (QPushButton* button : w.form.findChildren<QPushButton*>())
            names << button->objectName();
        names.sort();
        QVERIFY(names.size() >= 10);
        for (const QString& name : names)
            QTest::newRow(qPrintable(name)) << name;
        QTest::newRow("Delete on the locations") << "Delete";
        QTest::newRow("double-click on the locations") << "DoubleClick";
    }

    void everyCommandInsideARunningSearch()
    {
        QFETCH(QString, command);
        ModalBoxAnswerer answerer;
        answerer.inputs = {QStringLiteral("alpha-1")};
        WindowDriver w;
        w.form.locations().append(m_work);
        w.form.results().append("an earlier row");
        pastePhrase(w, "alpha");
        QTableView* locations = w.child<QTableView>("ListView1");
        InFirstWalkPump nested(w, [&] {
            if (command == "Delete") {
                locations->selectRow(0);
                QTest::keyClick(locations, Qt::Key_Delete);
            } else if (command == "DoubleClick") {
                const QRect cell = locations->visualRect(locations->model()->index(0, 0));
                QTest::mouseDClick(locations->viewport(), Qt::LeftButton, {}, cell.center());
            } else {
                w.click(qPrintable(command));
            }
        });
        w.click("PushButton1");
        QVERIFY(nested.ran);

        const QStringList texts = answerer.texts();
        QVERIFY(!texts.isEmpty());
        QCOMPARE(texts.last(), QStringLiteral("Done."));
        for (const ModalBoxAnswerer::Box& box : answerer.boxes)
            QVERIFY2(box.title != QStringLiteral("Application Error"), qPrintable(box.text));
        QCOMPARE(w.button("PushButton1")->text(), QStringLiteral("Start Finding"));
        QCOMPARE(w.locationsHeader(), QStringLiteral("Folder(s)"));
        QCOMPARE(w.locations().value(0), m_work); // never removed while busy

        const QStringList found = expectedRows(m_work, "alpha");
        QStringList earlierAndFound = QStringList{"an earlier row"} + found;
        if (command == "PushButton1") { // Stop, before the first row
            QCOMPARE(w.results(), QStringList{"an earlier row"});
        } else if (command == "PushButton6" || command == "PushButton11") {
            QCOMPARE(w.results(), found); // the earlier row was cleared or filtered away
        } else if (command == "PushButton8") { // sample location, not searched by this run
            QCOMPARE(w.locations().size(), 2);
            QCOMPARE(w.results(), earlierAndFound);
        } else {
            QCOMPARE(w.locations().size(), 1);
            QCOMPARE(w.results(), earlierAndFound);
        }
    }
};

QTEST_MAIN(TestInputFaults)
#include "tst_InputFaults.moc"
