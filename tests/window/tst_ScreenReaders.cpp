// SPDX-License-Identifier: MIT
// The names screen readers read for the real window's controls, offscreen,
// and for the rows of its results list.
#include "shell/qt/Form1.h"
#include "support/ModalBoxAnswerer.h"
#include "support/ResultsListDriver.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QGroupBox>
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

    void screenReadersReadTheCaptions_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::newRow("ListView1") << "ListView1"
                                   << "Folder(s): the folders to search within";
        QTest::newRow("ListView2") << "ListView2"
                                   << "Results: the folders found";
        QTest::newRow("PushButton3") << "PushButton3"
                                     << "Add Drive/Folder To Search Within";
        QTest::newRow("PushButton7") << "PushButton7"
                                     << "Clear List";
        QTest::newRow("PushButton8") << "PushButton8"
                                     << "Load Sample/Example Folder";
        QTest::newRow("Frame3") << "Frame3"
                                << "Search For These Character(s)";
        QTest::newRow("Text1") << "Text1"
                               << "Search For These Character(s)";
        QTest::newRow("Frame2") << "Frame2"
                                << "Case Option";
        QTest::newRow("Check4") << "Check4"
                                << "Match Case";
        QTest::newRow("Frame1") << "Frame1"
                                << "Option";
        QTest::newRow("Option1") << "Option1"
                                 << "Display full path";
        QTest::newRow("Option2") << "Option2"
                                 << "Display folder name only";
        QTest::newRow("PushButton1") << "PushButton1"
                                     << "Start Finding";
        QTest::newRow("PushButton2") << "PushButton2"
                                     << "Save Results As Text File";
        QTest::newRow("PushButton4") << "PushButton4"
                                     << "Copy Results To Clipboard";
        QTest::newRow("PushButton17") << "PushButton17"
                                      << "Remove Results Containing X";
        QTest::newRow("PushButton11") << "PushButton11"
                                      << "Remove Results Not Containing X";
        QTest::newRow("PushButton5") << "PushButton5"
                                     << "Help";
        QTest::newRow("PushButton6") << "PushButton6"
                                     << "Clear Results";
    }
    void screenReadersReadTheCaptions()
    {
        QFETCH(QString, control);
        QFETCH(QString, name);
        Window w;
        QWidget* widget = w.form.findChild<QWidget*>(control);
        QVERIFY(widget);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible);
        QCOMPARE(accessible->text(QAccessible::Name), name);
        // Captions keep their text: no mnemonic was added.
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            QVERIFY(!button->text().contains('&'));
        if (auto* frame = qobject_cast<QGroupBox*>(widget))
            QVERIFY(!frame->title().contains('&'));
    }

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
