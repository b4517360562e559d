// SPDX-License-Identifier: MIT
#include "presentation/PointerFeedback.h"
#include "support/FakeControls.h"

#include <QTest>

using namespace vantorel;
using namespace vantorel::test;

using Area = PointerFeedback::Area;

class TestPointerFeedback : public QObject
{
    Q_OBJECT

private slots:
    void everyControlHasItsHandler_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<Area>("area");
        for (const char* button : { "PushButton2", "PushButton3", "PushButton4", "PushButton5",
                 "PushButton6", "PushButton7", "PushButton8", "PushButton11", "PushButton17" })
            QTest::newRow(button) << QString::fromLatin1(button) << Area::CommandButton;
        QTest::newRow("PushButton1") << "PushButton1" << Area::StartStop;
        for (const char* background :
            { "Form1", "Frame1", "Frame2", "Frame3", "ListView1", "ListView2", "Text1" })
            QTest::newRow(background) << QString::fromLatin1(background) << Area::Background;
        for (const char* none :
            { "Option1", "Option2", "Check4", "PushButton9", "pushbutton2", "" })
            QTest::newRow(none) << QString::fromLatin1(none) << Area::None;
    }
    void everyControlHasItsHandler()
    {
        QFETCH(QString, control);
        QFETCH(Area, area);
        QCOMPARE(PointerFeedback::areaOf(control), area);
    }

    /// Each handler from each starting value: the value after the move, and
    /// whether it wrote (a write happens even when the value is already there).
    void oneMove_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<Area>("area");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("writes");
        // start, handler, value after the move, whether it wrote
        QTest::newRow("button from 0") << 0 << Area::CommandButton << 99 << true;
        QTest::newRow("start/stop from 0") << 0 << Area::StartStop << 99 << true;
        QTest::newRow("background from 0") << 0 << Area::Background << 0 << true;
        QTest::newRow("option from 0") << 0 << Area::None << 0 << false;
        QTest::newRow("button from 1") << 1 << Area::CommandButton << 99 << true;
        QTest::newRow("start/stop from 1") << 1 << Area::StartStop << 99 << true;
        QTest::newRow("background from 1") << 1 << Area::Background << 0 << true;
        QTest::newRow("option from 1") << 1 << Area::None << 1 << false;
        QTest::newRow("button from 11") << 11 << Area::CommandButton << 11 << false;
        QTest::newRow("start/stop from 11") << 11 << Area::StartStop << 99 << true;
        QTest::newRow("background from 11") << 11 << Area::Background << 11 << false;
        QTest::newRow("option from 11") << 11 << Area::None << 11 << false;
        QTest::newRow("button from 99") << 99 << Area::CommandButton << 99 << true;
        QTest::newRow("start/stop from 99") << 99 << Area::StartStop << 99 << true;
        QTest::newRow("background from 99") << 99 << Area::Background << 0 << true;
        QTest::newRow("option from 99") << 99 << Area::None << 99 << false;
    }
    void oneMove()
    {
        QFETCH(int, start);
        QFETCH(Area, area);
        QFETCH(int, after);
        QFETCH(bool, writes);
        FakePointer pointer;
        pointer.setValue(qint16(start));
        pointer.history.clear();
        PointerFeedback(pointer).moved(area);
        QCOMPARE(int(pointer.value()), after);
        QCOMPARE(pointer.history, writes ? QList<qint16> { qint16(after) } : QList<qint16> {});
    }

    void busyIsKeptOverEverythingButStartStop()
    {
        FakePointer pointer;
        PointerFeedback feedback(pointer);
        pointer.setValue(PointerSetting::Busy); // a search starts
        for (Area area : { Area::CommandButton, Area::Background, Area::None, Area::CommandButton })
            feedback.moved(area);
        QCOMPARE(pointer.history, QList<qint16> { 11 });

        // Over Start/Stop the hand replaces the busy pointer, and from then on
        // the other handlers see no busy pointer for the rest of the run.
        feedback.moved(Area::StartStop);
        feedback.moved(Area::Background);
        feedback.moved(Area::CommandButton);
        feedback.moved(Area::None);
        QCOMPARE(pointer.history, (QList<qint16> { 11, 99, 0, 99 }));
    }

    void afterAFilterTheFirstMoveLeavesTheArrow()
    {
        FakePointer pointer;
        PointerFeedback feedback(pointer);
        pointer.setValue(PointerSetting::Arrow);
        feedback.moved(Area::None);
        QCOMPARE(pointer.value(), qint16(1));
        feedback.moved(Area::Background);
        QCOMPARE(pointer.value(), qint16(0));

        pointer.setValue(PointerSetting::Arrow);
        feedback.moved(Area::CommandButton);
        QCOMPARE(pointer.value(), qint16(99));
    }

    void movesOverOneControlWriteEachTime()
    {
        FakePointer pointer;
        PointerFeedback feedback(pointer);
        for (int i = 0; i < 3; ++i)
            feedback.moved(Area::CommandButton);
        feedback.moved(Area::Background);
        feedback.moved(Area::Background);
        QCOMPARE(pointer.history, (QList<qint16> { 99, 99, 99, 0, 0 }));
    }
};

QTEST_GUILESS_MAIN(TestPointerFeedback)
#include "tst_PointerFeedback.moc"
