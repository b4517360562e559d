// SPDX-License-Identifier: MIT
// What the search lists of a folder tree: which folders, in which order,
// with full paths or names only.
#include "support/FolderTreeFixture.h"
#include "support/MemoryFolderService.h"
#include "support/SearchWalkFixture.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace vantorel;

class TestFolderSearchEngine : public QObject, private test::SearchWalkFixture
{
    Q_OBJECT

private slots:
    void init() { begin(); }
    void cleanup() { finish(); }

    void listsMatchesDepthFirstPreOrderWithFullPaths();
    void chainInKnownOrder();
    void matchCaseComparesExactly();
    void nameOnlyRows();
    void locationItselfIsNeverTested();
    void overlappingLocationsListTwice();
    void rowsAppendAfterExistingRows();
    void linksAreListedNeverEntered();
    void namesInUnicodeAndInRawBytes();
    void rootFolderJoinsWithoutDoubleSeparator();
};

void TestFolderSearchEngine::listsMatchesDepthFirstPreOrderWithFullPaths()
{
    makeTree({ "alpha/alpha-old/inner", "Alpha-Project/docs", "Work/beta/ALPHA", ".hidden-alpha/x",
        "Other/x/y/alpha-deep", "Other/z", "gamma", "betaalphabet" });
    QFile file(text(m_root + "/alpha-file.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    const QStringList expected = expectedRows(m_root,
        { "alpha", "alpha-old", "Alpha-Project", "ALPHA", ".hidden-alpha", "alpha-deep",
            "betaalphabet" });
    QCOMPARE(expected.size(), 7);
    const WalkReport report = walk(m_root, QStringLiteral("alpha"));
    QCOMPARE(m_results->rows(), expected);
    QVERIFY(report.unlisted.empty());
    QVERIFY(!report.stopped);
    // A match is listed before anything below it.
    QVERIFY(expected.indexOf(text(m_root + "/alpha"))
        < expected.indexOf(text(m_root + "/alpha/alpha-old")));
}

void TestFolderSearchEngine::chainInKnownOrder()
{
    makeTree({ "alpha/x/alpha-old/y" });
    walk(m_root, QStringLiteral("alpha"));
    QCOMPARE(m_results->rows(),
        QStringList({ text(m_root + "/alpha"), text(m_root + "/alpha/x/alpha-old") }));
}

void TestFolderSearchEngine::matchCaseComparesExactly()
{
    makeTree({ "alpha", "Alpha-Project", "old-ALPHA", "x/alpha-2019", "Ärger/ärger" });
    walk(m_root, QStringLiteral("alpha"), 0);
    QCOMPARE(m_results->rows(), expectedRows(m_root, { "alpha", "alpha-2019" }));
    m_results->setRows({});
    walk(m_root, QStringLiteral("ärg"), 0);
    QCOMPARE(m_results->rows(), QStringList { text(m_root + "/Ärger/ärger") });
    m_results->setRows({});
    walk(m_root, QStringLiteral("ärg"), 1);
    QCOMPARE(
        m_results->rows(), QStringList({ text(m_root + "/Ärger"), text(m_root + "/Ärger/ärger") }));
}

void TestFolderSearchEngine::nameOnlyRows()
{
    makeTree({ "Old alpha/alpha-2019", "x" });
    m_option.deselect();
    walk(m_root, QStringLiteral(" alpha"));
    QCOMPARE(m_results->rows(), QStringList { QStringLiteral("Old alpha") });
    // The row still knows where its folder is.
    QCOMPARE(m_results->fullPaths(), QStringList { text(m_root + "/Old alpha") });
}

void TestFolderSearchEngine::locationItselfIsNeverTested()
{
    makeTree({ "alpha/alpha-old" });
    walk(m_root + "/alpha", QStringLiteral("alpha"));
    QCOMPARE(m_results->rows(), QStringList { text(m_root + "/alpha/alpha-old") });
}

void TestFolderSearchEngine::overlappingLocationsListTwice()
{
    makeTree({ "Work/Projects/alpha", "Work/alpha-notes", "alpha-top" });
    walk(m_root + "/Work", QStringLiteral("alpha"));
    walk(m_root + "/Work/Projects", QStringLiteral("alpha"));
    const QStringList expected = expectedRows(m_root + "/Work", { "alpha", "alpha-notes" })
        + QStringList { text(m_root + "/Work/Projects/alpha") };
    QCOMPARE(m_results->rows(), expected);
}

void TestFolderSearchEngine::rowsAppendAfterExistingRows()
{
    makeTree({ "alpha" });
    m_results->setRows({ QStringLiteral("earlier row") });
    walk(m_root, QStringLiteral("alpha"));
    QCOMPARE(
        m_results->rows(), QStringList({ QStringLiteral("earlier row"), text(m_root + "/alpha") }));
}

void TestFolderSearchEngine::linksAreListedNeverEntered()
{
    makeTree({ "a/alpha-real/alpha-inner" });
    QVERIFY(::symlink("..", (m_root + "/a/alpha-loop").constData()) == 0);
    QVERIFY(::symlink(m_root.constData(), (m_root + "/a/alpha-root-link").constData()) == 0);
    QFile file(text(m_root + "/file"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(::symlink("file", (m_root + "/alpha-file-link").constData()) == 0);
    QVERIFY(::symlink("missing", (m_root + "/alpha-broken-link").constData()) == 0);

    const WalkReport report = walk(m_root, QStringLiteral("alpha"));
    const QStringList expected
        = expectedRows(m_root, { "alpha-real", "alpha-inner", "alpha-loop", "alpha-root-link" });
    QCOMPARE(expected.size(), 4);
    QCOMPARE(m_results->rows(), expected);
    QVERIFY(report.unlisted.empty());
}

void TestFolderSearchEngine::namesInUnicodeAndInRawBytes()
{
    const QByteArray raw = m_root + "/alpha-\xff";
    QVERIFY(::mkdir(raw.constData(), 0755) == 0);
    QVERIFY(::mkdir((raw + "/inner").constData(), 0755) == 0);
    makeTree({ QStringLiteral("写真/ＡＬＰＨＡ") });

    walk(m_root, QStringLiteral("inner"));
    QCOMPARE(m_results->rows(), QStringList { text(raw + "/inner") });
    QVERIFY(m_results->rows().first().contains(QChar(QChar::ReplacementCharacter)));

    m_results->setRows({});
    m_option.deselect();
    walk(m_root, QStringLiteral("alpha"));
    QCOMPARE(m_results->rows(),
        expectedRows(m_root,
            { "alpha-\xff", "\xef\xbc\xa1\xef\xbc\xac\xef\xbc\xb0\xef\xbc\xa8\xef\xbc\xa1" })
            .replaceInStrings(QRegularExpression(".*/"), QString()));
}

void TestFolderSearchEngine::rootFolderJoinsWithoutDoubleSeparator()
{
    test::MemoryFolderService service;
    service.add("/alpha/beta-alpha");
    service.add("/gamma");
    const WalkReport report = walk("/", QStringLiteral("alpha"), 1, service);
    QCOMPARE(m_results->rows(),
        QStringList({ QStringLiteral("/alpha"), QStringLiteral("/alpha/beta-alpha") }));
    QCOMPARE(m_locations->captionHistory().first(), QStringLiteral("Searching /"));
    QVERIFY(report.unlisted.empty());
}

QTEST_GUILESS_MAIN(TestFolderSearchEngine)
#include "tst_FolderSearchEngine.moc"
