// SPDX-License-Identifier: MIT
#include "search/LocationCommands.h"
#include "search/NormaliseFolderPath.h"
#include "shell/GuardedProcedure.h"
#include "support/FakeMainWindow.h"

#include <QTest>

using namespace vantorel;
using namespace vantorel::test;

namespace
{
const QString kLastFolderKey
    = MemorySettingsBackend::address("Ostlebry", "Vantorel Software", "LastFolder");
}

class TestLocations : public QObject
{
    Q_OBJECT

private slots:
    void backslashPaths_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("added");
        QTest::newRow("plain") << R"(C:\Work\alpha)"
                               << R"(C:\Work\alpha)";
        QTest::newRow("doubled twice") << R"(C:\\Work\\alpha)"
                                       << R"(C:\Work\alpha)";
        QTest::newRow("run of three") << R"(C:\\\Work)"
                                      << R"(C:\\Work)";
        QTest::newRow("run of four") << R"(C:\\\\Work)"
                                     << R"(C:\\Work)";
        QTest::newRow("network path") << R"(\\server\share\dir)"
                                      << R"(\\server\share\dir)";
        QTest::newRow("three leading") << R"(\\\server\\share)"
                                       << R"(\\server\share)";
        QTest::newRow("one leading") << R"(\server)"
                                     << R"(\\server)";
        QTest::newRow("backslashes only") << R"(\\\\\)"
                                          << R"(\\)";
        QTest::newRow("drive root") << R"(C:\)"
                                    << R"(C:\)";
    }
    void backslashPaths()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, added);
        QCOMPARE(NormaliseFolderPath(chosen, QLatin1Char('\\')), added);
    }

    void slashPaths_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("added");
        QTest::newRow("plain") << "/home/ann/work"
                               << "/home/ann/work";
        QTest::newRow("repeated slashes") << "//home///ann//work"
                                          << "/home/ann/work";
        QTest::newRow("backslash is a letter") << R"(/data/a\\b\c)"
                                               << R"(/data/a\\b\c)";
        QTest::newRow("root") << "/"
                              << "/";
        QTest::newRow("relative") << "work"
                                  << "/work";
    }
    void slashPaths()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, added);
        QCOMPARE(NormaliseFolderPath(chosen, QLatin1Char('/')), added);
    }

    void addOpensTheBrowserAtTheLastFolderAndStoresTheChoice()
    {
        FakeMainWindow fake;
        LocationCommands commands(fake.controls(), fake.services(), m_busy);
        fake.settings.values.insert(kLastFolderKey, "/srv");
        fake.folderBrowser.answers = QStringList { "//srv//photos" };
        commands.PushButton3_Click();
        QCOMPARE(fake.folderBrowser.calls.size(), 1);
        QCOMPARE(fake.folderBrowser.calls[0].title, QStringLiteral("Please select folder:"));
        QCOMPARE(fake.folderBrowser.calls[0].initialFolder, QStringLiteral("/srv"));
        QCOMPARE(fake.ListView1.rows(), QStringList { "/srv/photos" });
        QCOMPARE(fake.MousePointer.history, (QList<qint16> { 11, 0 }));
        QCOMPARE(fake.settings.values.value(kLastFolderKey), QStringLiteral("//srv//photos"));
        QCOMPARE(fake.boxes.shown.size(), 0);
    }

    void cancelledBrowserAddsNothingAndLeavesThePointer()
    {
        FakeMainWindow fake;
        LocationCommands commands(fake.controls(), fake.services(), m_busy);
        fake.MousePointer.setValue(1);
        fake.MousePointer.history.clear();
        commands.PushButton3_Click();
        QCOMPARE(fake.ListView1.count(), 0);
        QVERIFY(fake.MousePointer.history.isEmpty());
        QVERIFY(!fake.settings.values.contains(kLastFolderKey));
    }

    void unreadableSettingStillOpensTheBrowser()
    {
        FakeMainWindow fake;
        LocationCommands commands(fake.controls(), fake.services(), m_busy);
        fake.settings.failReads = true;
        fake.folderBrowser.answers = QStringList { "/data" };
        commands.PushButton3_Click();
        QCOMPARE(fake.boxes.failureReports().size(), 1);
        QVERIFY(fake.boxes.failureReports()[0].contains("PushButton3_Click at line 100\r\r"));
        QCOMPARE(fake.folderBrowser.calls.value(0).initialFolder, QString());
        QCOMPARE(fake.ListView1.rows(), QStringList { "/data" });
    }

    void failingAppendStillRestoresThePointer()
    {
        FakeMainWindow fake;
        LocationCommands commands(fake.controls(), fake.services(), m_busy);
        fake.folderBrowser.answers = QStringList { "/data" };
        fake.ListView1.beforeOperation = [](const char* op) {
            if (QByteArray(op) == "append")
                throw Failure("Out of memory");
        };
        commands.PushButton3_Click();
        QCOMPARE(fake.boxes.failureReports(),
            QStringList {
                composeFailureReport("Out of memory", locationText("PushButton3_Click"), 106) });
        QCOMPARE(fake.MousePointer.value(), qint16(0));
    }

    void sampleFolderAndPhrase()
    {
        FakeMainWindow fake;
        LocationCommands commands(fake.controls(), fake.services(), m_busy);
        QStringList changes;
        fake.Text1.onChange = [&] { changes << fake.Text1.text(); };
        commands.PushButton8_Click();
        commands.PushButton8_Click();
        QCOMPARE(fake.ListView1.rows(),
            (QStringList { "/opt/ostlebry/Samples", "/opt/ostlebry/Samples" }));
        QCOMPARE(fake.Text1.text(), QStringLiteral("ampl"));
        QCOMPARE(changes, QStringList { "ampl" });
    }

    void removeByDeleteOrDoubleClick()
    {
        FakeMainWindow fake;
        LocationCommands commands(fake.controls(), fake.services(), m_busy);
        fake.ListView1.setRows({ "/a", "/b", "/c" });
        fake.ListView1.select(1);
        commands.ListView1_KeyDown(65); // not Delete
        QCOMPARE(fake.ListView1.count(), 3);
        commands.ListView1_KeyDown(LocationCommands::kDeleteKey);
        QCOMPARE(fake.ListView1.rows(), (QStringList { "/a", "/c" }));
        fake.ListView1.select(0);
        commands.ListView1_DblClick();
        QCOMPARE(fake.ListView1.rows(), QStringList { "/c" });
        fake.ListView1.select(-1); // no selected row: nothing
        commands.ListView1_DblClick();
        QCOMPARE(fake.ListView1.rows(), QStringList { "/c" });
    }

    void aBusyWindowRefusesRemoveAndClearWhateverThePointerShows()
    {
        FakeMainWindow fake;
        LocationCommands commands(fake.controls(), fake.services(), m_busy);
        fake.ListView1.setRows({ "/a", "/b" });
        fake.ListView1.select(0);
        {
            const BusyState::Scope searching(m_busy);
            for (qint16 pointer : { qint16(11), qint16(99), qint16(0) }) {
                fake.MousePointer.setValue(pointer);
                commands.ListView1_KeyDown(LocationCommands::kDeleteKey);
                commands.ListView1_DblClick();
                commands.PushButton7_Click();
                QCOMPARE(fake.ListView1.count(), 2);
            }
            // An add in the middle of the search ends with the default pointer,
            // but the search still holds the window busy.
            fake.folderBrowser.answers = QStringList { "/c" };
            commands.PushButton3_Click();
            QCOMPARE(fake.MousePointer.value(), qint16(0));
            commands.PushButton7_Click();
            QCOMPARE(fake.ListView1.count(), 3);
        }
        fake.MousePointer.setValue(11); // the pointer alone does not make the window busy
        commands.ListView1_DblClick();
        QCOMPARE(fake.ListView1.rows(), (QStringList { "/b", "/c" }));
        commands.PushButton7_Click();
        QCOMPARE(fake.ListView1.count(), 0);
        commands.ListView1_KeyDown(LocationCommands::kDeleteKey); // empty list: nothing, no failure
        QCOMPARE(fake.boxes.shown.size(), 0);
    }

private:
    BusyState m_busy;
};

QTEST_GUILESS_MAIN(TestLocations)
#include "tst_Locations.moc"
