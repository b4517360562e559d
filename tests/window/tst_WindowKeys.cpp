// SPDX-License-Identifier: MIT
// The window's keys: Enter and Esc for the start button in the real window,
// offscreen, with its boxes answered (their rule alone is a unit test), the
// command shortcuts, and Tab through the whole window.
#include "platform/controls/QtEventPump.h"
#include "platform/qt/list/QtListControl.h"
#include "presentation/HelpCommand.h"
#include "shell/qt/Form1.h"
#include "support/FolderTreeFixture.h"
#include "support/ModalBoxAnswerer.h"

#include "support/WindowDriver.h"
#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

struct Window : WindowDriver {
    QPushButton* start() { return button("PushButton1"); }
    QLineEdit* phrase() { return child<QLineEdit>("Text1"); }
};

} // namespace

class TestWindowKeys : public QObject
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
    void cleanup() { QVERIFY(!test::openBox()); }

    void enterInThePhraseBoxStartsTheSearch()
    {
        ModalBoxAnswerer answerer;
        Window w;
        w.form.locations().append(m_work);
        w.phrase()->setText("alpha");
        QTest::keyClick(w.phrase(), Qt::Key_Return);
        QTRY_COMPARE(answerer.texts(), QStringList { "Done." });
        QStringList rows = w.results();
        rows.sort();
        QCOMPARE(rows,
            QStringList(
                { m_work + "/alpha", m_work + "/alpha/alpha-old", m_work + "/beta/old alpha" }));
        QCOMPARE(w.start()->text(), QStringLiteral("Start Finding"));
        // The phrase box keeps its text: Enter typed nothing into it.
        QCOMPARE(w.phrase()->text(), QStringLiteral("alpha"));

        // The keypad's Enter does the same.
        w.form.results().clear();
        QTest::keyClick(w.phrase(), Qt::Key_Enter, Qt::KeypadModifier);
        QTRY_COMPARE(answerer.texts(), QStringList({ "Done.", "Done." }));
        QCOMPARE(w.results().size(), 3);
    }

    void enterWithABlankPhraseAsksForOne()
    {
        ModalBoxAnswerer answerer;
        Window w;
        w.form.locations().append(m_work);
        w.phrase()->setText("  ");
        QTest::keyClick(w.phrase(), Qt::Key_Return);
        QTRY_COMPARE(answerer.texts(), QStringList { "Input search for what phrase." });
        QVERIFY(w.results().isEmpty());
    }

    void enterDuringASearchDoesNotStopIt()
    {
        ModalBoxAnswerer answerer;
        Window w;
        // Two locations: the run pumps between them, where a queued Enter lands.
        w.form.locations().append(m_work);
        w.form.locations().append(m_work);
        w.phrase()->setText("alpha");
        QString captionInside;
        QTimer::singleShot(0, &w.form, [&] {
            captionInside = w.start()->text();
            QTest::keyClick(w.phrase(), Qt::Key_Return);
            QTest::keyClick(w.phrase(), Qt::Key_Return);
        });
        QTest::mouseClick(w.start(), Qt::LeftButton);
        QCOMPARE(captionInside, QStringLiteral("Stop"));
        QCOMPARE(answerer.texts(), QStringList { "Done." });
        // Both locations walked to the end, and no second search followed: keys
        // are handled as they are sent, so it would have run inside the click.
        QCOMPARE(w.results().size(), 6);
        QVERIFY(!test::openBox());
    }

    void escStopsARunningSearch()
    {
        ModalBoxAnswerer answerer;
        Window w;
        w.form.locations().append(m_work);
        w.phrase()->setText("alpha");
        QString nameInside;
        QString captionAfterEsc;
        QTimer::singleShot(0, &w.form, [&] {
            // Screen readers hear the caption the button has now.
            nameInside = QAccessible::queryAccessibleInterface(w.start())->text(QAccessible::Name);
            QTest::keyClick(w.phrase(), Qt::Key_Escape);
            captionAfterEsc = w.start()->text();
        });
        QTest::mouseClick(w.start(), Qt::LeftButton);
        QCOMPARE(nameInside, QStringLiteral("Stop"));
        QCOMPARE(captionAfterEsc, QStringLiteral("Start Finding"));
        QCOMPARE(answerer.texts(), QStringList { "Done." });
        QVERIFY(w.results().isEmpty()); // stopped before the first folder was tested
        QCOMPARE(QAccessible::queryAccessibleInterface(w.start())->text(QAccessible::Name),
            QStringLiteral("Start Finding"));
    }

    /// Tab and Shift+Tab, pressed as keys, go through every control in the
    /// window's order and leave the lists as they leave any other control.
    void tabGoesThroughTheWholeWindow()
    {
        Window w;
        w.form.locations().append(m_work);
        w.form.locations().append(m_work);
        w.form.results().append("one");
        w.form.results().append("two");
        QVERIFY(QTest::qWaitForWindowActive(&w.form));
        const QStringList order { "ListView1", "ListView2", "PushButton3", "PushButton1",
            "PushButton2", "PushButton6", "PushButton17", "PushButton11", "Option1", "Check4",
            "Text1", "PushButton4", "PushButton5", "PushButton7", "PushButton8" };
        w.child<QWidget>("ListView1")->setFocus();
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("ListView1"));
        QStringList forward { QApplication::focusWidget()->objectName() };
        for (int i = 0; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            forward << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(forward, order + QStringList { "ListView1" });
        QStringList backward { QApplication::focusWidget()->objectName() };
        for (int i = 0; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            backward << QApplication::focusWidget()->objectName();
        }
        QStringList reversed = order;
        std::reverse(reversed.begin(), reversed.end());
        QCOMPARE(backward, QStringList { "ListView1" } + reversed);
    }

    /// F1 and Ctrl+S press their buttons from any control; Ctrl+Q closes the window.
    void commandShortcuts()
    {
        ModalBoxAnswerer answerer;
        int ends = 0;
        WindowDriver closing([&] { ++ends; });
        QVERIFY(QTest::qWaitForWindowActive(&closing.form));
        closing.child<QLineEdit>("Text1")->setFocus();
        QTest::keyClick(closing.child<QLineEdit>("Text1"), Qt::Key_F1);
        QCOMPARE(answerer.boxes.size(), 1);
        QCOMPARE(answerer.boxes[0].text, HelpCommand::helpText());
        // The closed box leaves the window to be activated again, as a desktop does.
        QApplication::setActiveWindow(&closing.form);
        QVERIFY(QTest::qWaitForWindowActive(&closing.form));
        QTest::keyClick(closing.child<QWidget>("ListView2"), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(answerer.fileDialogs, QStringList { "Save" }); // cancelled: nothing more
        QCOMPARE(answerer.boxes.size(), 1);
        QCOMPARE(ends, 0);
        QApplication::setActiveWindow(&closing.form);
        QVERIFY(QTest::qWaitForWindowActive(&closing.form));
        QTest::keyClick(closing.child<QWidget>("ListView1"), Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(ends, 1);
    }

    /// Enter on a focused button presses it, as Space does; a held Enter
    /// presses it once.
    void enterOnAFocusedButtonPressesIt()
    {
        ModalBoxAnswerer answerer;
        Window w;
        QVERIFY(QTest::qWaitForWindowActive(&w.form));
        QPushButton* help = w.button("PushButton5");
        help->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), help);
        QTest::keyClick(help, Qt::Key_Return);
        QTRY_COMPARE(answerer.boxes.size(), 1);
        QCOMPARE(answerer.boxes[0].text, HelpCommand::helpText());

        QApplication::setActiveWindow(&w.form);
        QVERIFY(QTest::qWaitForWindowActive(&w.form));
        help->setFocus(Qt::TabFocusReason);
        QTest::keyClick(help, Qt::Key_Enter, Qt::KeypadModifier);
        QTRY_COMPARE(answerer.boxes.size(), 2);

        // The key held down: its repeats press nothing.
        QApplication::setActiveWindow(&w.form);
        QVERIFY(QTest::qWaitForWindowActive(&w.form));
        help->setFocus(Qt::TabFocusReason);
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r", true);
        QApplication::sendEvent(help, &down);
        QApplication::sendEvent(help, &repeat);
        QTRY_COMPARE(answerer.boxes.size(), 3);
        QCoreApplication::processEvents();
        QCOMPARE(answerer.boxes.size(), 3);
    }

    /// Tab into the locations list frames a row without selecting it; Delete
    /// removes that row.
    void deleteRemovesTheFramedLocation()
    {
        Window w;
        for (const char* folder : { "/one", "/two", "/three" })
            w.form.locations().append(folder);
        w.form.pump().pump();
        QVERIFY(QTest::qWaitForWindowActive(&w.form));
        auto* list = w.child<QWidget>("ListView1");
        QWidget* last = w.button("PushButton8");
        last->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), last);
        QTest::keyClick(last, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), list);
        QCOMPARE(w.form.locations().selectedRow(), -1);
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(w.locations(), QStringList({ "/two", "/three" }));
    }

    void escWhenIdleDoesNothing()
    {
        ModalBoxAnswerer answerer;
        Window w;
        w.form.locations().append(m_work);
        w.phrase()->setText("alpha");
        QTest::keyClick(w.phrase(), Qt::Key_Escape);
        QTest::keyClick(&w.form, Qt::Key_Escape);
        // A search started by the keys would have run inside them, box and all.
        QVERIFY(answerer.boxes.isEmpty());
        QVERIFY(!test::openBox());
        QCOMPARE(w.start()->text(), QStringLiteral("Start Finding"));
        QVERIFY(w.results().isEmpty());
        QCOMPARE(w.phrase()->text(), QStringLiteral("alpha"));
    }
};

QTEST_MAIN(TestWindowKeys)
#include "tst_WindowKeys.moc"
