// SPDX-License-Identifier: MIT
#include "presentation/HelpCommand.h"
#include "shell/Form1Logic.h"
#include "shell/common/GuardedProcedure.h"
#include "shell/common/ProductInfo.h"
#include "support/FakeMainWindow.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace vantorel;
using namespace vantorel::test;

using Kind = RecordingMessageBoxes::Kind;

namespace
{

const QString kHelpText = HelpCommand::helpText(product::contactPage());

} // namespace

class TestHelpCommand : public QObject
{
    Q_OBJECT

private slots:
    void namesTheContactPageOrSaysThereIsNone()
    {
        QCOMPARE(HelpCommand::helpText(QStringLiteral("https://ostlebry.org/contact")),
            QStringLiteral(
                "Questions? Please contact Team Ostlebry at https://ostlebry.org/contact"));
        QCOMPARE(HelpCommand::helpText(QString()),
            QStringLiteral(
                "Questions? No contact page was set when this copy of Ostlebry was built."));
    }

    void showsTheContactPageTitledWithTheApplicationTitle()
    {
        FakeMainWindow fake;
        Form1Logic logic(fake.controls(), fake.services());
        logic.Form_Load();
        logic.PushButton5_Click();
        QCOMPARE(fake.boxes.shown.size(), 1);
        QCOMPARE(fake.boxes.shown[0].kind, Kind::Information);
        QCOMPARE(fake.boxes.shown[0].text, kHelpText);
        QCOMPARE(fake.boxes.shown[0].title, QStringLiteral("Vantorel"));
    }

    void repeatedClicksShowTheSameBox()
    {
        FakeMainWindow fake;
        Form1Logic logic(fake.controls(), fake.services());
        logic.PushButton5_Click();
        logic.PushButton5_Click();
        QCOMPARE(fake.boxes.informations(), (QStringList { kHelpText, kHelpText }));
        QCOMPARE(fake.pointer.history, QList<qint16> {});
    }

    void aBoxThatCannotBeShownIsReportedAtLine100()
    {
        FakeMainWindow fake;
        fake.boxes.whileShown = [](const RecordingMessageBoxes::Shown& box) {
            if (box.kind == Kind::Information)
                throw Failure(QStringLiteral("Out of memory"));
        };
        HelpCommand(fake.boxes).PushButton5_Click();
        QCOMPARE(fake.boxes.failureReports(),
            QStringList {
                composeFailureReport("Out of memory", locationText("PushButton5_Click"), 100) });
    }

    void worksWhileASearchRuns()
    {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        QVERIFY(QDir(root.path()).mkpath("alpha/beta"));
        FakeMainWindow fake;
        Form1Logic logic(fake.controls(), fake.services());
        fake.locations.setRows({ root.path() });
        fake.phrase.setText(QStringLiteral("beta"));
        qint16 pointerDuringHelp = -1;
        fake.boxes.whileShown = [&](const RecordingMessageBoxes::Shown& box) {
            if (box.text == kHelpText)
                pointerDuringHelp = fake.pointer.value();
        };
        fake.pump.onPump = [&](int pumpNumber) {
            if (pumpNumber == 1)
                logic.PushButton5_Click();
        };
        logic.PushButton1_Click();
        QCOMPARE(pointerDuringHelp, qint16(PointerSetting::Busy));
        QCOMPARE(fake.boxes.informations(), (QStringList { kHelpText, QStringLiteral("Done.") }));
    }
};

QTEST_GUILESS_MAIN(TestHelpCommand)
#include "tst_HelpCommand.moc"
