// SPDX-License-Identifier: MIT
// What users throw at the window: huge phrases, long location lists, Stop
// pressed again and again, and every command pressed while a search runs.
#include "platform/qt/controls/QtMessageBoxes.h"
#include "support/FolderTreeFixture.h"
#include "support/ModalBoxAnswerer.h"
#include "support/WindowDriver.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

/// Full-path rows of a search with Match Case, the window's first state.
QStringList expectedRows(const QString& root, const QString& phrase)
{
    return expectedSearchRows(root, phrase, true, Qt::CaseSensitive);
}

constexpr const char* kPressesChild = "--queued-presses-child";

/// A pointer move with no button held, as the pointer passing over `widget`.
void moveOver(QWidget* widget)
{
    const QPointF local(2, 2);
    QMouseEvent move(QEvent::MouseMove, local, widget->mapToGlobal(local), Qt::NoButton,
        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

/// Presses a command button by name, or "Delete" / "DoubleClick" on the
/// first location, as a user would.
void press(WindowDriver& w, const QString& command)
{
    auto* locations = w.child<QTableView>("ListView1");
    if (command == "Delete") {
        locations->selectRow(0);
        QTest::keyClick(locations, Qt::Key_Delete);
    } else if (command == "DoubleClick") {
        const QRect cell = locations->visualRect(locations->model()->index(0, 0));
        QTest::mouseDClick(locations->viewport(), Qt::LeftButton, {}, cell.center());
    } else {
        w.click(qPrintable(command));
    }
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
        m_work = StandardTree::crowded(m_dir.path());
        QVERIFY(!m_work.isEmpty());
    }

    void init() { QFile::remove(settingsFile()); }

    void cleanup() { QVERIFY(!test::openBox()); }

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
        QCOMPARE(answerer.texts(), QStringList { "Done." });
        QCOMPARE(w.results(), QStringList { "alpha row" });

        answerer.inputs = { phrase };
        w.click("PushButton17"); // Remove Results Containing X
        QCOMPARE(w.results(), QStringList { "alpha row" });
        answerer.inputs = { phrase };
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
        QCOMPARE(answerer.texts(), QStringList { "Done." });
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
        QCOMPARE(answerer.texts(), QStringList({ "Done.", "Done.", "Done." }));
        QCOMPARE(w.results(), QStringList());
        QCOMPARE(w.button("PushButton1")->text(), QStringLiteral("Start Finding"));
        QCOMPARE(w.locationsHeader(), QStringLiteral("Folder(s)"));
    }

    /// A press stops the run and the next one, in the same pump, asks for a
    /// new search: it waits until the stopped run has returned, then runs whole.
    void aStartAfterTheStopWaitsForTheStoppedSearch()
    {
        ModalBoxAnswerer answerer;
        WindowDriver w;
        w.form.locations().append(m_work);
        pastePhrase(w, "alpha");
        QStringList rowsAtEachDone;
        QStringList captionsAtEachDone;
        answerer.whileOpen = [&](const ModalBoxAnswerer::Box&) {
            rowsAtEachDone << QString::number(w.results().size());
            captionsAtEachDone << w.button("PushButton1")->text();
        };
        QString captionAfterBoth;
        QTimer::singleShot(0, &w.form, [&] {
            w.click("PushButton1");
            w.click("PushButton1");
            captionAfterBoth = w.button("PushButton1")->text();
        });
        w.click("PushButton1");
        const QStringList once = expectedRows(m_work, "alpha");
        QCOMPARE(captionAfterBoth, QStringLiteral("Stop")); // the waiting search can be stopped
        QCOMPARE(answerer.texts(), QStringList({ "Done.", "Done." }));
        // The stopped search said "Done." before the new one found anything.
        QCOMPARE(rowsAtEachDone, QStringList({ "0", QString::number(once.size()) }));
        QCOMPARE(captionsAtEachDone, QStringList({ "Stop", "Stop" }));
        QCOMPARE(w.results(), once);
        QCOMPARE(w.button("PushButton1")->text(), QStringLiteral("Start Finding"));
        QCOMPARE(w.locationsHeader(), QStringLiteral("Folder(s)"));
    }

    /// Start, Stop, Start, Stop in one pump: the last press wins, no search follows.
    void aWaitingStartIsStoppedByTheNextPress()
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
        QCOMPARE(answerer.texts(), QStringList { "Done." });
        QCOMPARE(w.results(), QStringList());
        QCOMPARE(w.button("PushButton1")->text(), QStringLiteral("Start Finding"));
    }

    /// Thousands of presses queued in one pump would nest a search per pair
    /// until the stack ran out; run in a child process so that a crash shows
    /// as a failure of this test alone.
    void thousandsOfQueuedPressesNeverNest()
    {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
            { QString::fromLatin1(kPressesChild), m_work });
        QVERIFY(child.waitForFinished(240000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
    }

    /// The pointer shows busy during a search, but passing over "Stop" gives it
    /// the hand and then the list gives it the default: removing or clearing
    /// locations must still be refused, or the run skips a location.
    void locationsStayWhateverThePointerShows_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("Clear List") << "PushButton7";
        QTest::newRow("Delete") << "Delete";
        QTest::newRow("double-click") << "DoubleClick";
    }
    void locationsStayWhateverThePointerShows()
    {
        QFETCH(QString, command);
        ModalBoxAnswerer answerer;
        WindowDriver w;
        w.form.locations().append(m_work);
        w.form.locations().append(m_work);
        pastePhrase(w, "alpha");
        QTableView* locations = w.child<QTableView>("ListView1");
        Qt::CursorShape pointerBeforeCommand = Qt::WaitCursor;
        InFirstWalkPump nested(w, [&] {
            moveOver(w.button("PushButton1"));
            moveOver(locations->viewport());
            pointerBeforeCommand = w.form.cursor().shape();
            locations->selectRow(0);
            press(w, command);
        });
        w.click("PushButton1");
        QVERIFY(nested.ran);
        QCOMPARE(pointerBeforeCommand, Qt::ArrowCursor); // the pointer no longer showed busy
        QCOMPARE(answerer.texts(), QStringList { "Done." }); // no failure report
        QCOMPARE(w.locations(), QStringList({ m_work, m_work }));
        const QStringList once = expectedRows(m_work, "alpha");
        QCOMPARE(w.results(), once + once);

        // Idle again: the same command now works.
        locations->selectRow(0);
        press(w, command);
        QCOMPARE(w.locations().size(), command == "PushButton7" ? 0 : 1);
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
        answerer.inputs = { QStringLiteral("alpha-1") };
        WindowDriver w;
        w.form.locations().append(m_work);
        w.form.results().append("an earlier row");
        pastePhrase(w, "alpha");
        InFirstWalkPump nested(w, [&] { press(w, command); });
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
        QStringList earlierAndFound = QStringList { "an earlier row" } + found;
        if (command == "PushButton1") { // Stop, before the first row
            QCOMPARE(w.results(), QStringList { "an earlier row" });
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

/// The child of thousandsOfQueuedPressesNeverNest: 8,000 clicks on the start
/// button queued in the walk's first pump. The first to arrive stops the search, then
/// each pair asks for a new one and cancels it, and the last asks again: one
/// new search, which runs whole once the stopped one has returned.
int runQueuedPresses(const QString& location)
{
    ModalBoxAnswerer answerer;
    WindowDriver w;
    w.form.locations().append(location);
    pastePhrase(w, "alpha");
    QPushButton* start = w.button("PushButton1");
    const QPoint centre = start->rect().center();
    InFirstWalkPump queue(w, [&] {
        for (int i = 0; i < 8000; ++i) {
            for (QEvent::Type type : { QEvent::MouseButtonPress, QEvent::MouseButtonRelease }) {
                const Qt::MouseButtons held
                    = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
                QCoreApplication::postEvent(start,
                    new QMouseEvent(type, centre, start->mapToGlobal(centre), Qt::LeftButton, held,
                        Qt::NoModifier));
            }
        }
    });
    w.click("PushButton1");
    // The first search found what it could before the presses reached it (up
    // to every row, when they waited for its pump); then the new one found
    // every row once.
    const QStringList once = expectedRows(location, "alpha");
    const QStringList rows = w.results();
    const qsizetype before = rows.size() - once.size();
    const bool ok = queue.ran && answerer.texts() == QStringList({ "Done.", "Done." })
        && before >= 0 && before <= once.size() && rows.first(before) == once.first(before)
        && rows.sliced(before) == once && start->text() == QStringLiteral("Start Finding");
    if (!ok)
        qWarning("queued presses: boxes %s, %lld rows, %lld expected, caption %s",
            qPrintable(answerer.texts().join(QLatin1Char('|'))), qlonglong(rows.size()),
            qlonglong(once.size()), qPrintable(start->text()));
    return ok ? 0 : 1;
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    if (argc == 3 && qstrcmp(argv[1], kPressesChild) == 0)
        return runQueuedPresses(QString::fromLocal8Bit(argv[2]));
    TestInputFaults test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_InputFaults.moc"
