// SPDX-License-Identifier: MIT
// The names screen readers read for the rows of the real window's results
// list, offscreen (the controls' names are checked with their captions).
#include "shell/qt/Form1.h"
#include "support/ModalBoxAnswerer.h"
#include "support/ResultsListDriver.h"

#include <QAccessible>
#include <QTest>

using namespace vantorel;
using namespace vantorel::test;

namespace
{
using Window = ResultsListDriver;
} // namespace

class TestScreenReaders : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(!test::openBox()); }

    void theListsRowsAreReadAsShown()
    {
        Window w;
        w.addRows();
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(w.list());
        QVERIFY(list && list->tableInterface());
        QAccessibleInterface* cell = list->tableInterface()->cellAt(1, 0);
        QVERIFY(cell);
        QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("alpha-old"));
    }
};

QTEST_MAIN(TestScreenReaders)
#include "tst_ScreenReaders.moc"
