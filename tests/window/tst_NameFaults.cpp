// SPDX-License-Identifier: MIT
// Folder names that Linux allows and text does not expect: control
// characters, a leading dash, backslashes, the longest names, bytes that are
// no UTF-8. The search walks into each, and each row reads as text.
#include "support/FolderTreeFixture.h"
#include "support/ModalBoxAnswerer.h"
#include "support/WindowDriver.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <sys/stat.h>

using namespace vantorel;
using namespace vantorel::test;

Q_DECLARE_METATYPE(QByteArray)

class TestNameFaults : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QByteArray m_root;
    int m_case = 0;

    /// Makes folder `name` below the case's root with "alpha-inside" in it.
    bool makeNamed(const QByteArray& name)
    {
        const QByteArray path = m_root + '/' + name;
        return ::mkdir(path.constData(), 0755) == 0
            && ::mkdir((path + "/alpha-inside").constData(), 0755) == 0;
    }

private slots:
    // QTemporaryDir cannot remove names that are not valid in the file name encoding.
    void cleanupTestCase() { QVERIFY(removeTree(m_dir.path())); }

    void init()
    {
        QFile::remove(settingsFile());
        m_root = QFile::encodeName(m_dir.path()) + "/case-" + QByteArray::number(++m_case);
        QVERIFY(::mkdir(m_root.constData(), 0755) == 0);
    }

    void cleanup() { QVERIFY(!test::openBox()); }

    void oddNamesAreWalkedInto_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("newline") << QByteArray("line\nbreak") << "line\nbreak";
        QTest::newRow("tab") << QByteArray("tab\there") << "tab\there";
        QTest::newRow("carriage return") << QByteArray("carriage\rreturn") << "carriage\rreturn";
        QTest::newRow("leading dash") << QByteArray("-rf") << "-rf";
        QTest::newRow("backslash") << QByteArray("back\\slash\\") << "back\\slash\\";
        QTest::newRow("255 ASCII bytes") << QByteArray(255, 'n') << QString(255, 'n');
        QTest::newRow("255 bytes of two-byte letters")
            << QString(127, QChar(0xE9)).append('a').toUtf8()
            << QString(127, QChar(0xE9)).append('a');
        QTest::newRow("invalid UTF-8 byte")
            << QByteArray("bad-\xff-name") << QString("bad-") + QChar(0xFFFD) + "-name";
        QTest::newRow("lone continuation byte") << QByteArray("\x80") << QString(QChar(0xFFFD));
        QTest::newRow("cut multibyte letter")
            << QByteArray("cut-\xc3") << QString("cut-") + QChar(0xFFFD);
    }

    void oddNamesAreWalkedInto()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, shown);
        QVERIFY(makeNamed(name));
        QVERIFY(makeNamed("plain"));
        const QString root = QFile::decodeName(m_root);

        ModalBoxAnswerer answerer;
        WindowDriver w;
        w.search(root, "alpha");
        QCOMPARE(answerer.texts(), QStringList { "Done." });
        QStringList rows = w.results();
        rows.sort();
        QStringList expected { root + "/" + shown + "/alpha-inside", root + "/plain/alpha-inside" };
        expected.sort();
        QCOMPARE(rows, expected);

        // The name itself as a row, as the list shows it. Without Match Case,
        // since only the decoded name can hold the replacement character.
        w.child<QRadioButton>("Option2")->click();
        QTest::mouseClick(w.child<QCheckBox>("Check4"), Qt::LeftButton);
        w.click("PushButton6"); // Clear Results
        w.child<QLineEdit>("Text1")->setText(shown.left(3));
        w.click("PushButton1");
        QCOMPARE(w.results(), QStringList { shown });
        QAbstractItemModel* model = w.child<QTableView>("ListView2")->model();
        QCOMPARE(model->data(model->index(0, 0)).toString(), shown);
        QVERIFY(shown.isValidUtf16());
    }

    void namesThatDifferOnlyInInvalidBytesAreBothWalked()
    {
        QVERIFY(makeNamed("x-\xff"));
        QVERIFY(makeNamed("x-\xfe"));
        const QString root = QFile::decodeName(m_root);
        ModalBoxAnswerer answerer;
        WindowDriver w;
        w.search(root, "alpha");
        const QString row = root + "/x-" + QChar(0xFFFD) + "/alpha-inside";
        QCOMPARE(w.results(), QStringList({ row, row }));
        QCOMPARE(answerer.texts(), QStringList { "Done." });
    }

    void savedLinesAreTheNamesOwnBytes()
    {
        // As other tools print them: two names that show alike save as two
        // lines, each the folder's own bytes; a name that is valid text saves
        // as its text always did.
        QVERIFY(makeNamed("x-\xff"));
        QVERIFY(makeNamed("x-\xfe"));
        QVERIFY(makeNamed("x-\xc3\xa9"));
        const QString root = QFile::decodeName(m_root);
        const QString saved = m_dir.filePath("saved-" + QString::number(m_case) + ".txt");
        ModalBoxAnswerer answerer;
        answerer.fileChoices = { saved, saved };
        WindowDriver w;
        w.search(root, "alpha");
        w.click("PushButton2");
        QCOMPARE(answerer.texts(), QStringList({ "Done.", "Done." }));
        QCOMPARE(sortedLines(saved),
            QList<QByteArray>({ m_root + "/x-\xc3\xa9/alpha-inside",
                m_root + "/x-\xfe/alpha-inside", m_root + "/x-\xff/alpha-inside" }));

        w.child<QRadioButton>("Option2")->click();
        w.click("PushButton6"); // Clear Results
        w.child<QLineEdit>("Text1")->setText("x-");
        w.click("PushButton1");
        w.click("PushButton2");
        QCOMPARE(answerer.texts(),
            QStringList({ "Done.", "Done.", "Done.",
                "Are you sure you wish to overwrite " + saved + " ?", "Done." }));
        QCOMPARE(sortedLines(saved), QList<QByteArray>({ "x-\xc3\xa9", "x-\xfe", "x-\xff" }));
    }

private:
    /// The lines of a saved file, each ended by CR LF, sorted: the walk lists
    /// a folder's subfolders in the file system's order.
    static QList<QByteArray> sortedLines(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return { "<unreadable>" };
        const QByteArray content = file.readAll();
        if (!content.endsWith("\r\n"))
            return { "<no CR LF at the end>" };
        QList<QByteArray> lines = content.chopped(2).split('\n');
        for (QByteArray& line : lines) {
            if (line.endsWith('\r'))
                line.chop(1);
        }
        std::sort(lines.begin(), lines.end());
        return lines;
    }
};

QTEST_MAIN(TestNameFaults)
#include "tst_NameFaults.moc"
