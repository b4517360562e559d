// SPDX-License-Identifier: MIT
// The main window on a real X server at twice the scale, where the screen is
// too small for it and it scrolls: the wheel turned over any of its controls
// by the X server itself, and where the results list stands after a second
// search.
#include "X11Probe.h"
#include "X11TestMain.h"

#include "platform/controls/QtEventPump.h"
#include "platform/list/ListModel.h"
#include "platform/qt/list/ListView.h"
#include "support/FolderTreeFixture.h"
#include "support/ModalBoxAnswerer.h"
#include "support/WindowDriver.h"

#include <QScrollBar>
#include <QTemporaryDir>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

/// Where a point of `widget` is on the X server's screen, in its pixels.
QPoint onScreen(const QWidget& widget, QPoint point)
{
    return widget.mapToGlobal(point) * widget.devicePixelRatio();
}

} // namespace

class TestX11Window : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowDriver> m_window;
    QScrollBar* m_formBar = nullptr;

    QWidget* control(const QString& name)
    {
        auto* widget = m_window->form.findChild<QWidget*>(name);
        auto* list = qobject_cast<ListView*>(widget);
        return list == nullptr ? widget : list->viewport();
    }

private slots:
    void init()
    {
        m_window = std::make_unique<WindowDriver>();
        QVERIFY(QTest::qWaitForWindowExposed(&m_window->form));
        m_formBar = m_window->child<QScrollBar>("qt_form_vertical_scroll");
        QVERIFY(m_formBar != nullptr);
        QTRY_VERIFY(m_formBar->isVisible());
    }
    void cleanup() { m_window.reset(); }

    void wheelOverAnyControlScrollsTheForm_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("formStart");
        QTest::addColumn<int>("notches");
        QTest::newRow("a frame's caption") << "Frame3" << QPoint(20, 6) << 0 << 1;
        QTest::newRow("the phrase box") << "Text1" << QPoint(40, 8) << 0 << 1;
        QTest::newRow("a check box") << "Check4" << QPoint(30, 8) << 0 << 1;
        QTest::newRow("a button") << "PushButton3" << QPoint(60, 10) << 0 << 1;
        QTest::newRow("a button, up") << "PushButton1" << QPoint(60, 10) << 120 << -1;
        QTest::newRow("the empty results list") << "ListView2" << QPoint(60, 10) << 100 << 1;
    }
    void wheelOverAnyControlScrollsTheForm()
    {
        QFETCH(QString, target);
        QFETCH(QPoint, at);
        QFETCH(int, formStart);
        QFETCH(int, notches);
        m_formBar->setValue(formStart);
        QCOMPARE(m_formBar->value(), formStart);
        QWidget* under = control(target);
        QVERIFY(under != nullptr);
        QVERIFY(turnWheel(onScreen(*under, at), notches));
        if (notches > 0)
            QTRY_VERIFY(m_formBar->value() > formStart);
        else
            QTRY_VERIFY(m_formBar->value() < formStart);
    }

    // A list that can scroll that way takes the wheel; at its end the form does.
    void wheelScrollsAListBeforeTheForm()
    {
        for (int i = 0; i < 40; ++i)
            m_window->form.locations().append(QStringLiteral("/location %1").arg(i));
        m_window->form.pump().pump();
        auto* list = m_window->child<ListView>("ListView1");
        QScrollBar* listBar = list->verticalScrollBar();
        const QPoint middle = onScreen(*list->viewport(), list->viewport()->rect().center());
        QVERIFY(turnWheel(middle, 1));
        QTRY_VERIFY(listBar->value() > 0);
        QCOMPARE(m_formBar->value(), 0);
        listBar->setValue(listBar->maximum());
        QVERIFY(turnWheel(middle, 1));
        QTRY_VERIFY(m_formBar->value() > 0);
        QCOMPARE(listBar->value(), listBar->maximum());
    }

    // Clear Results gives the list a new row header, which hears of new rows
    // last: the rows of the same search twice, as a user repeats it.
    void secondSearchsFirstRowComesIntoView()
    {
        constexpr int kHits = 597;
        QTemporaryDir tree;
        QStringList hits;
        for (int i = 0; i < kHits; ++i)
            hits << QStringLiteral("hit%1").arg(i);
        QVERIFY(makeFolders(tree.path(), hits));
        ModalBoxAnswerer answerer;
        m_window->click("PushButton6");
        m_window->search(tree.path(), "hit");
        QCOMPARE(m_window->results().size(), kHits);
        m_window->click("PushButton1");
        QCOMPARE(m_window->results().size(), 2 * kHits);
        QCOMPARE(answerer.texts(), QStringList({ "Done.", "Done." }));

        auto* list = m_window->child<ListView>("ListView2");
        const ListModel& rows = m_window->form.resultsModel();
        QTRY_COMPARE(list->visualRect(rows.index(kHits, 0)).top(), 0);
    }
};

OSTLEBRY_X11_TEST_MAIN(TestX11Window)
#include "tst_X11Window.moc"
