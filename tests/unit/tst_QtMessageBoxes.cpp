// SPDX-License-Identifier: MIT
// The message and input boxes: their title, icon, buttons and text.
#include "platform/qt/controls/QtMessageBoxes.h"
#include "support/ModalBoxAnswerer.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace vantorel;

namespace
{

// Answers the next modal box once it is up, after looking at it.
void whenModal(std::function<void(QWidget*)> answer)
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, qApp, [timer, answer] {
        if (QWidget* modal = test::openBox()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start(10);
}

} // namespace

class TestQtMessageBoxes : public QObject
{
    Q_OBJECT

private slots:
    // No box is left open behind a test.
    void cleanup() { QVERIFY(!test::openBox()); }

    void messageTextLineBreaks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("CR LF") << "a\r\nb"
                               << "a\nb";
        QTest::newRow("bare CR") << "a\rb"
                                 << "a\nb";
        QTest::newRow("report's empty line") << "x\r\nline 1\r\rsupport"
                                             << "x\nline 1\n\nsupport";
        QTest::newRow("plain") << "Done."
                               << "Done.";
    }
    void messageTextLineBreaks()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(QtMessageBoxes::displayText(text), shown);
    }

    void boxesCarryTitleIconAndButtons()
    {
        QtMessageBoxes boxes(nullptr, QStringLiteral("Vantorel Software"));
        boxes.setApplicationTitle(QStringLiteral("Vantorel"));

        QString title, text;
        QMessageBox::Icon icon = QMessageBox::Critical;
        QMessageBox::StandardButtons buttons;
        const auto look = [&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->standardButtons();
        };
        whenModal([&](QWidget* modal) {
            look(modal);
            qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
        });
        boxes.information(QStringLiteral("Done."));
        QCOMPARE(title, QStringLiteral("Vantorel"));
        QCOMPARE(text, QStringLiteral("Done."));
        QCOMPARE(icon, QMessageBox::NoIcon);
        QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

        whenModal([&](QWidget* modal) {
            look(modal);
            qobject_cast<QMessageBox*>(modal)->button(QMessageBox::No)->click();
        });
        QCOMPARE(boxes.askYesNo(QStringLiteral("Overwrite?")), false);
        QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(icon, QMessageBox::NoIcon);
        whenModal([&](QWidget* modal) {
            qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Yes)->click();
        });
        QCOMPARE(boxes.askYesNo(QStringLiteral("Overwrite?")), true);

        whenModal([&](QWidget* modal) {
            look(modal);
            qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
        });
        boxes.failureReport(QStringLiteral("Path not found\r\nin X at line 100\r\rsupport"));
        QCOMPARE(title, QStringLiteral("Application Error"));
        QCOMPARE(icon, QMessageBox::Warning);
        QCOMPARE(text, QStringLiteral("Path not found\nin X at line 100\n\nsupport"));
    }

    void inputBoxStartsEmptyAndCancelGivesEmptyText()
    {
        QtMessageBoxes boxes(nullptr, QStringLiteral("Vantorel"));
        QString title, startText, label;
        whenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QInputDialog*>(modal);
            QVERIFY(dialog);
            title = dialog->windowTitle();
            label = dialog->labelText();
            startText = dialog->textValue();
            dialog->setTextValue(QStringLiteral("temp"));
            static_cast<QDialog*>(dialog)->accept();
        });
        QCOMPARE(
            boxes.inputBox(QStringLiteral("Remove entries containing: ")), QStringLiteral("temp"));
        QCOMPARE(title, QStringLiteral("Vantorel"));
        QCOMPARE(label, QStringLiteral("Remove entries containing: "));
        QCOMPARE(startText, QString());

        whenModal([](QWidget* modal) {
            auto* dialog = qobject_cast<QInputDialog*>(modal);
            dialog->setTextValue(QStringLiteral("typed"));
            dialog->reject();
        });
        QCOMPARE(boxes.inputBox(QStringLiteral("Remove entries not containing: ")), QString());
    }
};

QTEST_MAIN(TestQtMessageBoxes)
#include "tst_QtMessageBoxes.moc"
