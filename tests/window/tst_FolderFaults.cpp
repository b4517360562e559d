// SPDX-License-Identifier: MIT
// File systems that fight back, met by the real window offscreen: locations
// that are not folders, folders that vanish or change during the search,
// links that lead back up, trees too deep or too wide to list at once.
#include "platform/qt/list/QtListControl.h"
#include "support/DescriptorLimit.h"
#include "support/FolderTreeFixture.h"
#include "support/ModalBoxAnswerer.h"
#include "support/WindowDriver.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <qpa/qwindowsysteminterface.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

QString doneBox()
{
    return QStringLiteral("Done.");
}

} // namespace

class TestFolderFaults : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_root;
    int m_case = 0;

private slots:
    void init()
    {
        QFile::remove(settingsFile());
        m_root = m_dir.path() + QStringLiteral("/case-%1").arg(++m_case);
        QVERIFY(QDir().mkpath(m_root));
    }

    void cleanup() { QVERIFY(!test::openBox()); }

    void aLocationThatIsAFileIsReportedAndTheNextSearched()
    {
        const QString file = m_root + "/alpha.txt";
        QFile text(file);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not a folder\n");
        text.close();
        const QString work = m_root + "/work";
        QVERIFY(makeFolders(work, { "alpha/inner", "beta" }));

        ModalBoxAnswerer answerer;
        WindowDriver w;
        w.form.locations().append(file);
        w.form.locations().append(work);
        w.typePhrase("alpha");
        w.click("PushButton1");
        QCOMPARE(answerer.texts(),
            QStringList({ shownReport("Path not found: " + file + " (Not a directory)",
                              "PushButton1_Click", 126),
                doneBox() }));
        QCOMPARE(w.results(), QStringList { work + "/alpha" });
        QCOMPARE(QFileInfo(file).size(), qint64(13));
    }

    // The window manager's close button, pressed while a failure report is
    // open: Qt's own modality would drop that close, and a search over many
    // missing locations could then be neither stopped nor closed.
    void closingTheWindowWhileAReportIsOpenEndsTheProgram()
    {
        ModalBoxAnswerer answerer;
        bool ended = false;
        WindowDriver w([&ended] { ended = true; });
        bool endedWhileOpen = false;
        answerer.whileOpen = [&](const ModalBoxAnswerer::Box& box) {
            if (box.title != QStringLiteral("Application Error"))
                return;
            QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
                w.form.windowHandle());
            endedWhileOpen = ended;
        };
        w.form.locations().append(m_root + "/gone");
        w.typePhrase("alpha");
        w.click("PushButton1");
        QCOMPARE(answerer.boxes.first().title, QStringLiteral("Application Error"));
        QVERIFY(endedWhileOpen);
    }

    void aFolderChangedDuringTheSearch_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("reason");
        QTest::newRow("removed") << "remove"
                                 << "No such file or directory";
        QTest::newRow("replaced by a file") << "file"
                                            << "Not a directory";
        QTest::newRow("replaced by a link to another tree") << "link"
                                                            << "Not a directory";
    }

    /// The folder goes away after its parent was listed and before the walk
    /// enters it: one report for the location, the rest of the tree searched.
    void aFolderChangedDuringTheSearch()
    {
        QFETCH(QString, change);
        QFETCH(QString, reason);
        const QString work = m_root + "/work";
        const QString elsewhere = m_root + "/elsewhere";
        QVERIFY(makeFolders(work, { "a/alpha1", "b/alpha2/alpha3", "c/alpha4" }));
        QVERIFY(makeFolders(elsewhere, { "alpha-outside" }));

        ModalBoxAnswerer answerer;
        WindowDriver w;
        w.form.locations().append(work);
        w.typePhrase("alpha");
        // Runs in every pump; acts in the first one of the walk, when the
        // location's own subfolders are listed and none is entered yet.
        QString headerAtChange;
        QTimer changer;
        connect(&changer, &QTimer::timeout, &w.form, [&] {
            if (!w.locationsHeader().startsWith("Searching "))
                return;
            changer.stop();
            headerAtChange = w.locationsHeader();
            QVERIFY(QDir(work + "/b").removeRecursively());
            if (change == "file") {
                QFile stand(work + "/b");
                QVERIFY(stand.open(QIODevice::WriteOnly));
            } else if (change == "link") {
                QVERIFY(QFile::link(elsewhere, work + "/b"));
            }
        });
        changer.start(0);
        w.click("PushButton1");
        QCOMPARE(headerAtChange, "Searching " + work);
        QCOMPARE(answerer.texts(),
            QStringList({ shownReport("1 folder could not be read: " + work + "/b: " + reason,
                              "PushButton1_Click", 128),
                doneBox() }));
        // What is left of the tree, and nothing of the tree the link leads to.
        QStringList rows = expectedSearchRows(work, "alpha");
        QCOMPARE(rows.size(), 2);
        QCOMPARE(w.results(), rows);
        QVERIFY(QDir(elsewhere + "/alpha-outside").exists());
    }

    void linksThatLeadBackUpAreListedNotEntered()
    {
        const QString work = StandardTree::linksAndLoops(m_root);
        QVERIFY(!work.isEmpty());

        ModalBoxAnswerer answerer;
        WindowDriver w;
        w.search(work, "alpha");
        QCOMPARE(answerer.texts(), QStringList { doneBox() });
        // The loop of two links resolves to nothing, so it is no folder and no row.
        const QStringList rows = expectedSearchRows(work, "alpha");
        QCOMPARE(rows.size(), 5);
        QCOMPARE(w.results(), rows);
        QCOMPARE(w.button("PushButton1")->text(), QStringLiteral("Start Finding"));
    }

    void aTreeDeeperThanTheDescriptorLimit()
    {
        const QByteArray leaf = StandardTree::deep(QFile::encodeName(m_root));
        QVERIFY(!leaf.isEmpty());

        ModalBoxAnswerer answerer;
        WindowDriver w;
        w.form.locations().append(m_root);
        w.typePhrase("alpha");
        {
            DescriptorLimit limit(256);
            QVERIFY(limit.active());
            w.click("PushButton1");
        }
        QCOMPARE(answerer.texts(), QStringList { doneBox() });
        QCOMPARE(w.results(), QStringList { QFile::decodeName(leaf) });
        QVERIFY(removeTree(m_root));
    }

    void aHundredThousandSubfoldersInOneFolder()
    {
        // In memory where there is a memory file system: on a disk, making and
        // removing the folders takes far longer than searching them.
        const QString base = QFileInfo(QStringLiteral("/dev/shm")).isWritable()
            ? QStringLiteral("/dev/shm")
            : QDir::tempPath();
        QTemporaryDir memory(base + QStringLiteral("/ostlebry-wide-XXXXXX"));
        QVERIFY(memory.isValid());
        m_root = memory.path();
        const QByteArray wide = QFile::encodeName(m_root);
        for (int i = 0; i < 100000; ++i) {
            const QByteArray name = wide + "/f" + QByteArray::number(i).rightJustified(6, '0');
            QVERIFY(::mkdir(name.constData(), 0755) == 0);
        }
        QVERIFY(::mkdir((wide + "/f012345/alpha-below").constData(), 0755) == 0);

        ModalBoxAnswerer answerer;
        WindowDriver w;
        w.search(m_root, "f0123");
        QCOMPARE(answerer.texts(), QStringList { doneBox() });
        const QStringList rows = expectedSearchRows(m_root, "f0123");
        QCOMPARE(rows.size(), 100);
        QCOMPARE(w.results(), rows);

        w.typePhrase("alpha");
        w.click("PushButton6"); // Clear Results
        w.click("PushButton1");
        QCOMPARE(w.results(), QStringList { m_root + "/f012345/alpha-below" });
        QVERIFY(removeTree(m_root));
    }
};

QTEST_MAIN(TestFolderFaults)
#include "tst_FolderFaults.moc"
