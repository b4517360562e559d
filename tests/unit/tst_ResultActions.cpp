// SPDX-License-Identifier: MIT
// The results list's own actions, with doubles: what is opened, copied, ticked.
#include "results/ResultActions.h"
#include "support/FakeControls.h"
#include "support/FakeListControl.h"
#include "support/FakeMainWindow.h"
#include "support/RecordingMessageBoxes.h"

#include <QTest>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

/// Appends the folder at `path` as the walk does, shown by its full path or by its name.
void appendFolder(ListControl& list, const QByteArray& path, bool showFullPath)
{
    const qsizetype name = path.size() - path.lastIndexOf('/') - 1;
    list.appendFolder(std::string_view(path.constData(), std::size_t(path.size())),
        std::size_t(name), showFullPath);
}

struct Fixture {
    FakeListControl results { QStringLiteral("Results") };
    FakeLauncher launcher;
    FakeFileSystem files;
    FakeClipboard clipboard;
    RecordingMessageBoxes boxes;
    ResultActions actions { results, launcher, files, clipboard, boxes };

    Fixture()
    {
        // Rows as a search leaves them after the display option was switched
        // halfway: two full paths, then two names alone.
        appendFolder(results, "/work/alpha", true);
        appendFolder(results, "/work/alpha/alpha-old", true);
        appendFolder(results, "/work/old/alpha-2019", false);
        appendFolder(results, "/data/alpha", false);
        files.existing = { "/work/alpha", "/work/alpha/alpha-old", "/work/old/alpha-2019",
            "/work/old", "/work", "/data/alpha", "/data" };
    }
};

} // namespace

class TestResultActions : public QObject
{
    Q_OBJECT

    std::unique_ptr<Fixture> m_fixture;

private slots:
    void init() { m_fixture = std::make_unique<Fixture>(); }
    void cleanup() { m_fixture.reset(); }

    void openFolderOpensTheFullPathOfANameOnlyRow()
    {
        m_fixture->actions.openFolder(2);
        m_fixture->actions.openFolder(3);
        m_fixture->actions.openFolder(0);
        QCOMPARE(m_fixture->launcher.openedFolders,
            QStringList({ "/work/old/alpha-2019", "/data/alpha", "/work/alpha" }));
        QVERIFY(m_fixture->launcher.launched.isEmpty()); // no command line is ever built
        QVERIFY(m_fixture->boxes.shown.isEmpty());
    }

    void openContainingFolderOpensTheParentWithTheRowSelected()
    {
        m_fixture->actions.openContainingFolder(2);
        m_fixture->actions.openContainingFolder(1);
        QCOMPARE(m_fixture->launcher.openedFolders, QStringList({ "/work/old", "/work/alpha" }));
        QCOMPARE(m_fixture->launcher.shownItems,
            QList<QByteArray>({ "/work/old/alpha-2019", "/work/alpha/alpha-old" }));
        // Gone since the search, with its parent still there: nothing to select.
        m_fixture->files.existing.remove("/data/alpha");
        m_fixture->actions.openContainingFolder(3);
        QCOMPARE(m_fixture->launcher.openedFolders.last(), QStringLiteral("/data"));
        QCOMPARE(m_fixture->launcher.shownItems.size(), 2);
        QVERIFY(m_fixture->boxes.shown.isEmpty());
    }

    void containingFolder_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("parent");
        QTest::newRow("deep") << QByteArray("/work/old/alpha-2019") << QByteArray("/work/old");
        QTest::newRow("below the root") << QByteArray("/alpha") << QByteArray("/");
        QTest::newRow("the root") << QByteArray("/") << QByteArray("/");
        QTest::newRow("trailing separator") << QByteArray("/work/alpha/") << QByteArray("/work");
        QTest::newRow("blanks kept")
            << QByteArray("/work/ old /alpha ") << QByteArray("/work/ old ");
        QTest::newRow("a name alone") << QByteArray("alpha") << QByteArray("alpha");
        QTest::newRow("bytes that are not text")
            << QByteArray("/work/bad\xff\xfe/x") << QByteArray("/work/bad\xff\xfe");
    }
    void containingFolder()
    {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, parent);
        QCOMPARE(ResultActions::containingFolder(path), parent);
    }

    void aFolderGoneSinceTheSearchIsNamedNotOpened()
    {
        m_fixture->files.existing.remove("/data/alpha");
        m_fixture->actions.openFolder(3);
        QVERIFY(m_fixture->launcher.openedFolders.isEmpty());
        QCOMPARE(m_fixture->boxes.informations(),
            QStringList { "This folder is no longer there:\n/data/alpha" });
    }

    void aDesktopThatCannotOpenIsSaidSo()
    {
        m_fixture->launcher.showing = FolderShowing::NotAsked;
        m_fixture->actions.openContainingFolder(3);
        QCOMPARE(m_fixture->launcher.openedFolders, QStringList { "/data" });
        QCOMPARE(m_fixture->boxes.informations(),
            QStringList { "The desktop could not open this folder:\n/data" });
    }

    /// The desktop answers in its own time: the box comes with the answer,
    /// and an answer that finds the actions gone with their window says nothing.
    void aLateAnswerIsReportedWhenItComes()
    {
        Fixture& f = *m_fixture;
        f.launcher.answerLater = true;
        f.actions.openFolder(3);
        {
            ResultActions closed { f.results, f.launcher, f.files, f.clipboard, f.boxes };
            closed.openFolder(2);
        }
        QCOMPARE(f.launcher.unanswered.size(), 2);
        QVERIFY(f.boxes.shown.isEmpty());
        for (const ProgramLauncher::ShowingDone& done : f.launcher.unanswered)
            done(FolderShowing::NotAsked);
        QCOMPARE(f.boxes.informations(),
            QStringList { "The desktop could not open this folder:\n/data/alpha" });
    }

    void aDesktopThatWouldOpenFoldersHereIsSaidSo()
    {
        m_fixture->launcher.showing = FolderShowing::OwnOpener;
        m_fixture->actions.openFolder(3);
        m_fixture->actions.openContainingFolder(2);
        const QString message
            = "No file manager is set to open folders, so this folder cannot be shown:\n";
        QCOMPARE(m_fixture->boxes.informations(),
            QStringList({ message + "/data/alpha", message + "/work/old" }));
    }

    void aRowNoLongerInTheListDoesNothing()
    {
        m_fixture->actions.openFolder(4);
        m_fixture->actions.openContainingFolder(-1);
        m_fixture->actions.copyPaths({ 7 });
        QVERIFY(m_fixture->launcher.openedFolders.isEmpty());
        QVERIFY(m_fixture->boxes.shown.isEmpty());
        QCOMPARE(m_fixture->clipboard.setAttempts, 0);
    }

    void copyPathGivesFullPathsOnePerLine()
    {
        m_fixture->actions.copyPaths({ 1, 2, 3 });
        QCOMPARE(m_fixture->clipboard.text,
            QStringLiteral("/work/alpha/alpha-old\n/work/old/alpha-2019\n/data/alpha"));
        QCOMPARE(m_fixture->clipboard.lastFormat, 0);
        QCOMPARE(m_fixture->clipboard.paths,
            QList<QByteArray>({ "/work/alpha/alpha-old", "/work/old/alpha-2019", "/data/alpha" }));
        m_fixture->actions.copyPaths({ 3, 9 });
        QCOMPARE(m_fixture->clipboard.text, QStringLiteral("/data/alpha"));
    }

    void aNameThatIsNotTextOpensAndCopiesItsBytes()
    {
        appendFolder(m_fixture->results, "/work/bad\xff\xfename", false);
        appendFolder(m_fixture->results, "/work/bad\xfe\xffname", true);
        m_fixture->files.existingFolders = { "/work/bad\xff\xfename", "/work/bad\xfe\xffname" };
        m_fixture->actions.openFolder(5);
        m_fixture->actions.openFolder(4);
        m_fixture->actions.openContainingFolder(4);
        QCOMPARE(m_fixture->launcher.openedNativeFolders,
            QList<QByteArray>({ "/work/bad\xfe\xffname", "/work/bad\xff\xfename", "/work" }));
        QCOMPARE(m_fixture->launcher.shownItems, QList<QByteArray> { "/work/bad\xff\xfename" });
        QVERIFY(m_fixture->boxes.shown.isEmpty());

        m_fixture->actions.copyPaths({ 4, 5 });
        const QString shown = QStringLiteral("/work/bad\ufffd\ufffdname");
        QCOMPARE(m_fixture->clipboard.text, shown + '\n' + shown);
        QCOMPARE(m_fixture->clipboard.paths,
            QList<QByteArray>({ "/work/bad\xff\xfename", "/work/bad\xfe\xffname" }));

        // Gone since the search: named as the list shows it.
        m_fixture->files.existingFolders.clear();
        m_fixture->actions.openFolder(4);
        QCOMPARE(m_fixture->boxes.informations(),
            QStringList { "This folder is no longer there:\n" + shown });
    }

    void copyTextsGivesTheRowsAsShown()
    {
        m_fixture->actions.copyTexts({ 0, 2, 3 });
        QCOMPARE(m_fixture->clipboard.text, QStringLiteral("/work/alpha\nalpha-2019\nalpha"));
        // The texts are not touched: trailing blanks stay.
        appendFolder(m_fixture->results, "/work/Old alpha  ", false);
        m_fixture->actions.copyTexts({ 4 });
        QCOMPARE(m_fixture->clipboard.text, QStringLiteral("Old alpha  "));
    }

    void copyingNothingLeavesTheClipboard()
    {
        m_fixture->clipboard.text = "kept";
        m_fixture->actions.copyTexts({});
        m_fixture->actions.copyPaths({});
        QCOMPARE(m_fixture->clipboard.text, QStringLiteral("kept"));
        QCOMPARE(m_fixture->clipboard.setAttempts, 0);
        QCOMPARE(m_fixture->clipboard.clearAttempts, 0);
    }

    void aBusyClipboardIsTriedAgain()
    {
        m_fixture->clipboard.failuresLeft = 3;
        m_fixture->actions.copyTexts({ 3 });
        QCOMPARE(m_fixture->clipboard.text, QStringLiteral("alpha"));
        QCOMPARE(m_fixture->clipboard.setAttempts, 4);
    }

    void tickAndUntickAll()
    {
        m_fixture->results.setChecked(1, true);
        m_fixture->actions.tickAll();
        for (int i = 0; i < m_fixture->results.count(); ++i)
            QVERIFY(m_fixture->results.isChecked(i));
        m_fixture->actions.untickAll();
        for (int i = 0; i < m_fixture->results.count(); ++i)
            QVERIFY(!m_fixture->results.isChecked(i));
        QCOMPARE(m_fixture->results.rows(),
            QStringList({ "/work/alpha", "/work/alpha/alpha-old", "alpha-2019", "alpha" }));
    }
};

QTEST_GUILESS_MAIN(TestResultActions)
#include "tst_ResultActions.moc"
