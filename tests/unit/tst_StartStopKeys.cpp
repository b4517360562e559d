// SPDX-License-Identifier: MIT
// The rule of Enter and Esc for the start button, with a caption double.
#include "shell/StartStopKeys.h"
#include "support/FakeControls.h"

#include <QTest>

using namespace vantorel;
using namespace vantorel::test;

class TestStartStopKeys : public QObject
{
    Q_OBJECT

private slots:
    void keysPressTheButtonOnlyForTheirOwnCaption_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("enter");
        QTest::addColumn<bool>("pressed");
        QTest::newRow("Enter, idle") << "Start Finding" << true << true;
        QTest::newRow("Enter, running") << "Stop" << true << false;
        QTest::newRow("Esc, idle") << "Start Finding" << false << false;
        QTest::newRow("Esc, running") << "Stop" << false << true;
        // Only the exact caption marks a run, as for the button itself.
        QTest::newRow("Esc, caption stop in lower case") << "stop" << false << false;
        QTest::newRow("Enter, another caption") << "Find" << true << true;
    }
    void keysPressTheButtonOnlyForTheirOwnCaption()
    {
        QFETCH(QString, caption);
        QFETCH(bool, enter);
        QFETCH(bool, pressed);
        FakeCaption button(caption);
        int presses = 0;
        StartStopKeys keys(button, [&] { ++presses; });
        enter ? keys.enterInPhrase() : keys.escape();
        QCOMPARE(presses, pressed ? 1 : 0);
    }
};

QTEST_MAIN(TestStartStopKeys)
#include "tst_StartStopKeys.moc"
