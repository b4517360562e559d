// SPDX-License-Identifier: MIT
#include "presentation/ApplySkin.h"
#include "shell/Form1Logic.h"
#include "shell/common/GuardedProcedure.h"
#include "support/FakeMainWindow.h"
#include "support/FakeSkin.h"

#include <QTest>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

const QString kSkinPath = QStringLiteral("/opt/ostlebry/x/o.cjs");

/// The colour changes a present skin makes, in the window's control order.
const QStringList kColourChanges = {
    "Form1: back colour 0x8000000F",
    "Frame3: back colour 0x8000000F",
    "Frame2: back colour 0x8000000F",
    "Check4: back colour 0x8000000F",
    "Frame1: back colour 0x8000000F",
    "Option1: back colour 0x8000000F",
    "Option2: back colour 0x8000000F",
};

struct SkinnedStart {
    FakeMainWindow fake;
    SkinLog log;
    FakeSkinnableWindow window { log };
    FakeSkinComponent skin { log };
    Form1Logic logic { fake.controls(), fake.services() };
    SkinnedStart() { logic.setAppearance(window, skin); }
};

} // namespace

class TestApplySkin : public QObject
{
    Q_OBJECT

private slots:
    void skinPathIsBesideTheProgram()
    {
        FakeMainWindow fake;
        SkinLog log;
        FakeSkinnableWindow window(log);
        FakeSkinComponent skin(log);
        QCOMPARE(ApplySkin(fake.programFolder, fake.files, window, skin).skinPath(), kSkinPath);
    }

    void presentSkinRecoloursThenMakesTheFiveCalls()
    {
        SkinnedStart s;
        s.fake.files.existing.insert(kSkinPath);
        s.logic.Form_Load();
        QStringList expected = kColourChanges;
        expected << "skin: invoke 2(\"/opt/ostlebry/x/o.cjs\", \"\")"
                 << "skin: get 1"
                 << "skin: put 1 = 49" // 0x30 keeps its bits and gains bit value 1
                 << "skin: put 5 = true"
                 << "skin: put 10 = true"
                 << "skin: invoke 3(\"7982\")"; // the window's handle, 0x1F2E
        QCOMPARE(s.log, expected);
        QCOMPARE(s.fake.boxes.shown.size(), 0);
    }

    void optionBitAlreadySetStaysSet()
    {
        SkinnedStart s;
        s.fake.files.existing.insert(kSkinPath);
        s.skin.options = qint32(-1);
        s.logic.Form_Load();
        QVERIFY(s.log.contains("skin: put 1 = -1"));
    }

    void absentSkinChangesNothing()
    {
        SkinnedStart s;
        s.logic.Form_Load();
        QCOMPARE(s.log, SkinLog());
        QCOMPARE(s.fake.boxes.shown.size(), 0);
        QCOMPARE(s.fake.window.caption, QStringLiteral("Vantorel Software"));
    }

    void hiddenSkinFileChangesNothing()
    {
        // The file exists but does not list as a normal file.
        FakeMainWindow fake;
        struct HiddenSkin : FakeFileSystem {
            bool isNormalFile(const QString&) override { return false; }
        };
        HiddenSkin files;
        files.existing.insert(kSkinPath);
        SkinLog log;
        FakeSkinnableWindow window(log);
        FakeSkinComponent skin(log);
        QVERIFY(files.fileExists(kSkinPath));
        ApplySkin(fake.programFolder, files, window, skin)();
        QCOMPARE(log, SkinLog());
    }

    void unloadableSkinIsReportedOnceAndStartUpGoesOn()
    {
        SkinnedStart s;
        s.fake.files.existing.insert(kSkinPath);
        s.skin.failAt = QStringLiteral("invoke 2");
        s.skin.failure
            = QStringLiteral("Cannot load the skin \"/opt/ostlebry/x/o.cjs\": it holds no rules");
        s.logic.Form_Load();
        QCOMPARE(s.fake.boxes.failureReports(),
            QStringList { composeFailureReport(s.skin.failure, locationText("Form_Load"), 100) });
        // The colours changed before the failure stay; no later skin call is made.
        QCOMPARE(s.log,
            QStringList(kColourChanges) << "skin: invoke 2(\"/opt/ostlebry/x/o.cjs\", \"\")");
        // Start-up went on with its next steps.
        QCOMPARE(s.fake.window.caption, QStringLiteral("Vantorel Software"));
        QCOMPARE(s.fake.boxes.applicationTitle(), QStringLiteral("Vantorel"));
        QCOMPARE(s.fake.results.columnCaption(), QStringLiteral("Results"));
    }

    void optionsThatAreNoNumberFailTheStep()
    {
        SkinnedStart s;
        s.fake.files.existing.insert(kSkinPath);
        s.skin.options = QStringLiteral("many");
        s.logic.Form_Load();
        QCOMPARE(s.fake.boxes.failureReports(),
            QStringList { composeFailureReport("Type mismatch", locationText("Form_Load"), 100) });
        QCOMPARE(s.log.last(), QStringLiteral("skin: get 1"));
    }

    void onlyOptionsChecksFramesAndLabelsTakeTheSkinBackground_data()
    {
        using Kind = SkinnableControl::Kind;
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<bool>("takes");
        QTest::newRow("option button") << Kind::OptionButton << true;
        QTest::newRow("check box") << Kind::CheckBox << true;
        QTest::newRow("frame") << Kind::Frame << true;
        QTest::newRow("label") << Kind::Label << true;
        QTest::newRow("list") << Kind::List << false;
        QTest::newRow("text box") << Kind::TextBox << false;
        QTest::newRow("command button") << Kind::CommandButton << false;
        QTest::newRow("other") << Kind::Other << false;
    }
    void onlyOptionsChecksFramesAndLabelsTakeTheSkinBackground()
    {
        QFETCH(SkinnableControl::Kind, kind);
        QFETCH(bool, takes);
        QCOMPARE(ApplySkin::takesSkinBackground(kind), takes);
    }
};

QTEST_GUILESS_MAIN(TestApplySkin)
#include "tst_ApplySkin.moc"
