// SPDX-License-Identifier: MIT
#include "shell/Form1Logic.h"
#include "shell/StartUp.h"
#include "shell/common/GuardedProcedure.h"
#include "support/FakeMainWindow.h"

#include <QTest>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

QString settingsKey(const QString& key)
{
    return MemorySettingsBackend::address(
        QStringLiteral("Ostlebry"), QStringLiteral("Vantorel Software"), key);
}

/// Start-up alone, without the appearance step.
StartUp startUpOf(FakeMainWindow& fake)
{
    return StartUp({ .window = fake.window,
                       .locations = fake.locations,
                       .results = fake.results,
                       .matchCase = fake.matchCase,
                       .phrase = fake.phrase },
        { .boxes = fake.boxes,
            .settings = fake.settings,
            .files = fake.files,
            .programFolder = fake.programFolder,
            .random = fake.random,
            .launcher = fake.launcher },
        {});
}

/// A window whose setting writers are wired as the real window wires them.
struct StartedWindow {
    FakeMainWindow fake;
    Form1Logic logic { fake.controls(), fake.services() };
    StartedWindow()
    {
        fake.matchCase.onClick = [this] { logic.Check4_Click(); };
        fake.phrase.onChange = [this] { logic.Text1_Change(); };
    }
};

} // namespace

class TestStartUp : public QObject
{
    Q_OBJECT

private slots:
    void firstRunWithAnEmptyStore()
    {
        StartedWindow w;
        w.logic.Form_Load();
        QCOMPARE(w.fake.boxes.shown.size(), 0);
        QCOMPARE(w.fake.window.caption, QStringLiteral("Vantorel Software"));
        QVERIFY(w.fake.window.hasIcon);
        QCOMPARE(w.fake.boxes.applicationTitle(), QStringLiteral("Vantorel"));
        QCOMPARE(w.fake.locations.columnCaption(), QStringLiteral("Folder(s)"));
        QCOMPARE(w.fake.results.columnCaption(), QStringLiteral("Results"));
        QCOMPARE(w.fake.matchCase.value(), qint16(1));
        QCOMPARE(w.fake.phrase.text(), QString());
        // The restored empty phrase replaces the design text: a change, so it is stored;
        // the box keeps its state, so nothing is stored under "Check4".
        QCOMPARE(w.fake.settings.values.value(settingsKey("Text1"), QStringLiteral("absent")),
            QString());
        QVERIFY(!w.fake.settings.values.contains(settingsKey("Check4")));
    }

    void restoresTheStoredState()
    {
        StartedWindow w;
        w.fake.settings.values.insert(settingsKey("Check4"), QStringLiteral("0"));
        w.fake.settings.values.insert(settingsKey("Text1"), QStringLiteral("  alpha "));
        w.logic.Form_Load();
        QCOMPARE(w.fake.matchCase.value(), qint16(0));
        QCOMPARE(w.fake.phrase.text(), QStringLiteral("  alpha "));
        QCOMPARE(w.fake.settings.writes, (QStringList { "Check4=0", "Text1=  alpha " }));
        QCOMPARE(w.fake.boxes.shown.size(), 0);
    }

    void storedCheck4Values_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("failure");
        QTest::newRow("clear") << "0" << 0 << "";
        QTest::newRow("greyed") << "2" << 2 << "";
        QTest::newRow("blanks") << " 1 " << 1 << "";
        QTest::newRow("half to even, up") << "1.5" << 2 << "";
        QTest::newRow("half to even, down") << "0.5" << 0 << "";
        QTest::newRow("text") << "abc" << 1 << "Type mismatch";
        QTest::newRow("empty") << "" << 1 << "Type mismatch";
        QTest::newRow("too big") << "70000" << 1 << "Overflow";
        QTest::newRow("negative") << "-1" << 1 << "Invalid property value";
        QTest::newRow("three") << "3" << 1 << "Invalid property value";
    }
    void storedCheck4Values()
    {
        QFETCH(QString, stored);
        QFETCH(int, state);
        QFETCH(QString, failure);
        StartedWindow w;
        w.fake.settings.values.insert(settingsKey("Check4"), stored);
        w.logic.Form_Load();
        QCOMPARE(int(w.fake.matchCase.value()), state);
        const QStringList reports = w.fake.boxes.failureReports();
        if (failure.isEmpty()) {
            QCOMPARE(reports.size(), 0);
        } else {
            QCOMPARE(reports.size(), 1);
            QCOMPARE(reports[0], composeFailureReport(failure, locationText("Form_Load"), 136));
        }
        // Start-up goes on after the failure.
        QCOMPARE(w.fake.results.columnCaption(), QStringLiteral("Results"));
    }

    void aStoreThatCannotBeReadIsReportedAndStartUpGoesOn()
    {
        StartedWindow w;
        w.fake.settings.failReads = true;
        w.logic.Form_Load();
        const QStringList reports = w.fake.boxes.failureReports();
        QCOMPARE(reports.size(), 2);
        QVERIFY(reports[0].contains("Form_Load at line 136\r\r"));
        QVERIFY(reports[1].contains("Form_Load at line 138\r\r"));
        QCOMPARE(w.fake.matchCase.value(), qint16(1));
        QCOMPARE(w.fake.phrase.text(), QStringLiteral("Text1"));
    }

    void applicationTitle_data()
    {
        QTest::addColumn<QString>("product");
        QTest::addColumn<QString>("title");
        QTest::newRow("two words") << "Vantorel Software"
                                   << "Vantorel";
        QTest::newRow("three words") << "Vantorel Folder Software"
                                     << "Vantorel Folder";
        const QString forty = QString(20, 'a') + ' ' + QString(19, 'a');
        QTest::newRow("40 kept") << (forty + " c") << forty;
        QTest::newRow("41 cut again") << (forty + "b c") << QString(20, 'a');
        QTest::newRow("cut again past 40") << (QString(38, 'a') + " bbb cc") << QString(38, 'a');
        QTest::newRow("trailing blank") << "Vantorel "
                                        << "Vantorel";
    }
    void applicationTitle()
    {
        QFETCH(QString, product);
        QFETCH(QString, title);
        QCOMPARE(SetAppTitleText(product), title);
    }

    void aProductNameWithoutBlankFailsAndKeepsTheTitle()
    {
        FakeMainWindow fake;
        StartUp startUp = startUpOf(fake);
        QVERIFY_THROWS_EXCEPTION(Failure, startUp.SetAppTitle(QStringLiteral("Vantorel")));
        QCOMPARE(fake.boxes.applicationTitle(), QStringLiteral("Vantorel Software"));
    }

    void homePageOpensOnlyWhenSevenIsDrawn_data()
    {
        QTest::addColumn<double>("fraction");
        QTest::addColumn<bool>("opens");
        QTest::newRow("n = 7") << 0.0625 << true;
        QTest::newRow("n = 6") << 0.0599 << false;
        QTest::newRow("n = 8") << 0.07 << false;
        QTest::newRow("n = 1") << 0.0 << false;
        QTest::newRow("n = 100") << 0.9999 << false;
    }
    void homePageOpensOnlyWhenSevenIsDrawn()
    {
        QFETCH(double, fraction);
        QFETCH(bool, opens);
        FakeMainWindow fake;
        fake.random.fraction = fraction;
        fake.random.clock = 3600.5;
        startUpOf(fake).OpenHomePageAtRandom("https://ostlebry.org/");
        QCOMPARE(fake.random.seeds, QList<double> { 3600.5 });
        if (opens) {
            QCOMPARE(fake.launcher.launched, QStringList { "explorer \"https://ostlebry.org/\"" });
            QCOMPARE(fake.launcher.styles, QList<int> { 2 });
        } else {
            QVERIFY(fake.launcher.launched.isEmpty());
        }
    }

    void withoutAHomePageNothingOpensEvenOnASeven()
    {
        FakeMainWindow fake;
        fake.random.fraction = 0.0625;
        startUpOf(fake).OpenHomePageAtRandom(QString());
        QVERIFY(fake.launcher.launched.isEmpty());
        QCOMPARE(fake.boxes.shown.size(), 0);
    }

    void pointerImage()
    {
        StartedWindow w;
        w.logic.Form_Load();
        QCOMPARE(w.fake.window.pointerImage, QString()); // absent: no message, nothing loaded
        QCOMPARE(w.fake.boxes.shown.size(), 0);

        StartedWindow present;
        present.fake.files.existing.insert("/opt/ostlebry/HAND-M.CUR");
        present.logic.Form_Load();
        QCOMPARE(present.fake.window.pointerImage, QStringLiteral("/opt/ostlebry/HAND-M.CUR"));

        StartedWindow broken;
        broken.fake.files.existing.insert("/opt/ostlebry/HAND-M.CUR");
        broken.fake.window.failPointerImage = true;
        broken.logic.Form_Load();
        QCOMPARE(broken.fake.boxes.failureReports(),
            QStringList {
                composeFailureReport("Invalid picture", locationText("Form_Load"), 108) });
    }

    void settingWritersStoreEveryChange()
    {
        StartedWindow w;
        w.logic.Form_Load();
        w.fake.settings.writes.clear();
        for (const QString& text :
            { QStringLiteral("a"), QStringLiteral("al"), QStringLiteral("alp") })
            w.fake.phrase.setText(text);
        w.fake.matchCase.setValue(0);
        QCOMPARE(w.fake.settings.writes,
            (QStringList { "Text1=a", "Text1=al", "Text1=alp", "Check4=0" }));
        // A store that fails is silent: the writers report nothing.
        w.fake.settings.failWrites = true;
        w.fake.phrase.setText(QStringLiteral("x"));
        QCOMPARE(w.fake.boxes.shown.size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestStartUp)
#include "tst_StartUp.moc"
