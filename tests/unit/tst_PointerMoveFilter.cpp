// SPDX-License-Identifier: MIT
#include "platform/qt/pointer/QtPointerMoveFilter.h"
#include "presentation/PointerFeedback.h"
#include "support/FakeControls.h"

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

/// A pointer move with no button held, as the pointer passing over `widget`.
void moveOver(QWidget* widget)
{
    const QPointF local(2, 2);
    QMouseEvent move(QEvent::MouseMove, local, widget->mapToGlobal(local), Qt::NoButton,
        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

struct WatchedWindow {
    QWidget window;
    QTreeWidget* list = new QTreeWidget(&window);
    QPushButton* startStop = new QPushButton(QStringLiteral("Start Finding"), &window);
    QPushButton* help = new QPushButton(QStringLiteral("Help"), &window);
    QGroupBox* frame3 = new QGroupBox(&window);
    QLineEdit* text = new QLineEdit(frame3);
    QGroupBox* frame1 = new QGroupBox(&window);
    QRadioButton* option = new QRadioButton(frame1);
    FakePointer pointer;
    PointerFeedback feedback { pointer };
    QtPointerMoveFilter filter { feedback };

    WatchedWindow()
    {
        window.setObjectName("Form1");
        list->setObjectName("ListView1");
        startStop->setObjectName("PushButton1");
        help->setObjectName("PushButton5");
        frame3->setObjectName("Frame3");
        text->setObjectName("Text1");
        frame1->setObjectName("Frame1");
        option->setObjectName("Option1");
        filter.watchAll(window);
    }
};

} // namespace

class TestPointerMoveFilter : public QObject
{
    Q_OBJECT

private slots:
    void movesReachTheHandlersOfTheirControls()
    {
        WatchedWindow w;
        moveOver(w.help);
        moveOver(w.list->viewport());
        moveOver(w.startStop);
        moveOver(w.text);
        moveOver(w.list->header()->viewport());
        moveOver(w.frame1);
        moveOver(&w.window);
        QCOMPARE(w.pointer.history, (QList<qint16> { 99, 0, 99, 0, 0, 0, 0 }));
    }

    void anOptionButtonHasNoHandlerAndItsFrameDoesNotAnswerForIt()
    {
        WatchedWindow w;
        moveOver(w.help);
        moveOver(w.option);
        QCOMPARE(w.pointer.history, QList<qint16> { 99 });
    }

    void busyIsKeptExceptOverStartStop()
    {
        WatchedWindow w;
        w.pointer.setValue(PointerSetting::Busy);
        moveOver(w.help);
        moveOver(w.list->viewport());
        moveOver(w.text);
        QCOMPARE(w.pointer.value(), qint16(PointerSetting::Busy));
        moveOver(w.startStop);
        moveOver(&w.window);
        QCOMPARE(w.pointer.history, (QList<qint16> { 11, 99, 0 }));
    }

    void watchedControlsTrackThePointer()
    {
        WatchedWindow w;
        for (QWidget* tracked : { static_cast<QWidget*>(&w.window), static_cast<QWidget*>(w.help),
                 static_cast<QWidget*>(w.list->viewport()), static_cast<QWidget*>(w.text),
                 static_cast<QWidget*>(w.frame3) })
            QVERIFY2(tracked->hasMouseTracking(), qPrintable(tracked->objectName()));
        QVERIFY(w.option->testAttribute(Qt::WA_NoMousePropagation));
    }
};

QTEST_MAIN(TestPointerMoveFilter)
#include "tst_PointerMoveFilter.moc"
