// SPDX-License-Identifier: MIT
#include "search/LocationCommands.h"
#include "search/NormaliseFolderPath.h"
#include "shell/common/GuardedProcedure.h"
#include "support/FakeMainWindow.h"

#include <QTest>

using namespace vantorel;
using namespace vantorel::test;

namespace
{
const QString kLastFolderKey
    = MemorySettingsBackend::address("Ostlebry", "Vantorel Software", "LastFolder");

LocationCommands commandsOver(FakeMainWindow& fake, BusyState& busy)
{
    return LocationCommands(fake.locations, fake.phrase, fake.pointer, fake.boxes,
        fake.folderBrowser, fake.programFolder, fake.settings, busy);
}
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
        LocationCommands commands = commandsOver(fake, m_busy);
        fake.settings.values.insert(kLastFolderKey, "/srv");
        fake.folderBrowser.answers = QStringList { "//srv//photos" };
        commands.PushButton3_Click();
        QCOMPARE(fake.folderBrowser.calls.size(), 1);
        QCOMPARE(fake.folderBrowser.calls[0].title, QStringLiteral("Please select folder:"));
        QCOMPARE(fake.folderBrowser.calls[0].initialFolder, QStringLiteral("/srv"));
        QCOMPARE(fake.locations.rows(), QStringList { "/srv/photos" });
        QCOMPARE(fake.pointer.history, (QList<qint16> { 11, 0 }));
        QCOMPARE(fake.settings.values.value(kLastFolderKey), QStringLiteral("//srv//photos"));
        QCOMPARE(fake.boxes.shown.size(), 0);
    }

    void aChosenFolderWhoseNameIsNotTextKeepsItsBytes()
    {
        FakeMainWindow fake;
        LocationCommands commands = commandsOver(fake, m_busy);
        fake.folderBrowser.nativeAnswers = { "//data//bad\xff dir" };
        commands.PushButton3_Click();
        QCOMPARE(fake.locations.count(), 1);
        QCOMPARE(fake.locations.nativePath(0), QByteArray("/data/bad\xff dir"));
        QCOMPARE(fake.locations.text(0), QFile::decodeName("/data/bad\xff dir"));
    }

    void cancelledBrowserAddsNothingAndLeavesThePointer()
    {
        FakeMainWindow fake;
        LocationCommands commands = commandsOver(fake, m_busy);
        fake.pointer.setValue(1);
        fake.pointer.history.clear();
        commands.PushButton3_Click();
        QCOMPARE(fake.locations.count(), 0);
        QVERIFY(fake.pointer.history.isEmpty());
        QVERIFY(!fake.settings.values.contains(kLastFolderKey));
    }

    void unreadableSettingStillOpensTheBrowser()
    {
        FakeMainWindow fake;
        LocationCommands commands = commandsOver(fake, m_busy);
        fake.settings.failReads = true;
        fake.folderBrowser.answers = QStringList { "/data" };
        commands.PushButton3_Click();
        QCOMPARE(fake.boxes.failureReports().size(), 1);
        QVERIFY(fake.boxes.failureReports()[0].contains("PushButton3_Click at line 100\r\r"));
        QCOMPARE(fake.folderBrowser.calls.value(0).initialFolder, QString());
        QCOMPARE(fake.locations.rows(), QStringList { "/data" });
    }

    void failingAppendStillRestoresThePointer()
    {
        FakeMainWindow fake;
        LocationCommands commands = commandsOver(fake, m_busy);
        fake.folderBrowser.answers = QStringList { "/data" };
        fake.locations.beforeOperation = [](const char* op) {
            if (QByteArray(op) == "append")
                throw Failure("Out of memory");
        };
        commands.PushButton3_Click();
        QCOMPARE(fake.boxes.failureReports(),
            QStringList {
                composeFailureReport("Out of memory", locationText("PushButton3_Click"), 106) });
        QCOMPARE(fake.pointer.value(), qint16(0));
    }

    void sampleFolderAndPhrase()
    {
        FakeMainWindow fake;
        LocationCommands commands = commandsOver(fake, m_busy);
        QStringList changes;
        fake.phrase.onChange = [&] { changes << fake.phrase.text(); };
        commands.PushButton8_Click();
        commands.PushButton8_Click();
        QCOMPARE(fake.locations.rows(),
            (QStringList { "/opt/ostlebry/Samples", "/opt/ostlebry/Samples" }));
        QCOMPARE(fake.phrase.text(), QStringLiteral("ampl"));
        QCOMPARE(changes, QStringList { "ampl" });
    }

    void removeByDeleteOrDoubleClick()
    {
        FakeMainWindow fake;
        LocationCommands commands = commandsOver(fake, m_busy);
        fake.locations.setRows({ "/a", "/b", "/c" });
        fake.locations.select(1);
        commands.ListView1_KeyDown(65); // not Delete
        QCOMPARE(fake.locations.count(), 3);
        commands.ListView1_KeyDown(LocationCommands::kDeleteKey);
        QCOMPARE(fake.locations.rows(), (QStringList { "/a", "/c" }));
        fake.locations.select(0);
        commands.ListView1_DblClick();
        QCOMPARE(fake.locations.rows(), QStringList { "/c" });
        fake.locations.select(-1); // no selected row: nothing
        commands.ListView1_DblClick();
        QCOMPARE(fake.locations.rows(), QStringList { "/c" });
    }

    void aBusyWindowRefusesRemoveAndClearWhateverThePointerShows()
    {
        FakeMainWindow fake;
        LocationCommands commands = commandsOver(fake, m_busy);
        fake.locations.setRows({ "/a", "/b" });
        fake.locations.select(0);
        {
            const BusyState::Scope searching(m_busy);
            for (qint16 pointer : { qint16(11), qint16(99), qint16(0) }) {
                fake.pointer.setValue(pointer);
                commands.ListView1_KeyDown(LocationCommands::kDeleteKey);
                commands.ListView1_DblClick();
                commands.PushButton7_Click();
                QCOMPARE(fake.locations.count(), 2);
            }
            // An add in the middle of the search ends with the default pointer,
            // but the search still holds the window busy.
            fake.folderBrowser.answers = QStringList { "/c" };
            commands.PushButton3_Click();
            QCOMPARE(fake.pointer.value(), qint16(0));
            commands.PushButton7_Click();
            QCOMPARE(fake.locations.count(), 3);
        }
        fake.pointer.setValue(11); // the pointer alone does not make the window busy
        commands.ListView1_DblClick();
        QCOMPARE(fake.locations.rows(), (QStringList { "/b", "/c" }));
        commands.PushButton7_Click();
        QCOMPARE(fake.locations.count(), 0);
        commands.ListView1_KeyDown(LocationCommands::kDeleteKey); // empty list: nothing, no failure
        QCOMPARE(fake.boxes.shown.size(), 0);
    }

private:
    BusyState m_busy;
};

QTEST_GUILESS_MAIN(TestLocations)
#include "tst_Locations.moc"
