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

    void cleanup() { QVERIFY(!QApplication::activeModalWidget()); }

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
            << QString(127, QChar(0xE9)).append('a').toUtf8() << QString(127, QChar(0xE9)).append('a');
        QTest::newRow("invalid UTF-8 byte")
            << QByteArray("bad-\xff-name") << QString("bad-") + QChar(0xFFFD) + "-name";
        QTest::newRow("lone continuation byte")
            << QByteArray("\x80") << QString(QChar(0xFFFD));
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
        QCOMPARE(answerer.texts(), QStringList{"Done."});
        QStringList rows = w.results();
        rows.sort();
        QStringList expected{root + "/" + shown + "/alpha-inside", root + "/plain/alpha-inside"};
        expected.sort();
        QCOMPARE(rows, expected);

        // The name itself as a row, as the list shows it. Without Match Case,
        // since only the decoded name can hold the replacement character.
        w.child<QRadioButton>("Option2")->click();
        QTest::mouseClick(w.child<QCheckBox>("Check4"), Qt::LeftButton);
        w.click("PushButton6"); // Clear Results
        w.child<QLineEdit>("Text1")->setText(shown.left(3));
        w.click("PushButton1");
        QCOMPARE(w.results(), QStringList{shown});
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
        QCOMPARE(w.results(), QStringList({row, row}));
        QCOMPARE(answerer.texts(), QStringList{"Done."});
    }
};

QTEST_MAIN(TestNameFaults)
#include "tst_NameFaults.moc"
