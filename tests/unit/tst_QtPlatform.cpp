// SPDX-License-Identifier: MIT
// The small classes over Qt: file queries, the check and text boxes, the
// random source and the clipboard.
#include "platform/Failure.h"
#include "platform/desktop/QtRandomSource.h"
#include "platform/files/QtFileSystem.h"
#include "platform/qt/controls/ClickCheckBox.h"
#include "platform/qt/controls/QtCheckControl.h"
#include "platform/qt/controls/QtTextControl.h"
#include "platform/qt/desktop/QtClipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace vantorel;

class TestQtPlatform : public QObject
{
    Q_OBJECT

private slots:
    void fileQueries()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const auto make = [&](const QString& name) {
            QFile file(dir.filePath(name));
            return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
        };
        QVERIFY(make(QStringLiteral("HAND-M.CUR")));
        QVERIFY(make(QStringLiteral(".hidden")));
        QVERIFY(make(QStringLiteral("Pr\u00fcfung \u65e5.txt")));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("x")));

        QtFileSystem files;
        QVERIFY(files.fileExists(dir.filePath(QStringLiteral("HAND-M.CUR"))));
        QVERIFY(files.fileExists(dir.filePath(QStringLiteral("Pr\u00fcfung \u65e5.txt"))));
        QVERIFY(files.fileExists(dir.filePath(QStringLiteral("x"))));
        QVERIFY(!files.fileExists(dir.filePath(QStringLiteral("absent"))));
        QVERIFY(!files.fileExists(QString()));

        QVERIFY(files.isNormalFile(dir.filePath(QStringLiteral("HAND-M.CUR"))));
        QVERIFY(!files.isNormalFile(dir.filePath(QStringLiteral(".hidden"))));
        QVERIFY(!files.isNormalFile(dir.filePath(QStringLiteral("x"))));
        QVERIFY(!files.isNormalFile(dir.filePath(QStringLiteral("absent"))));
    }

    void checkBoxStates()
    {
        ClickCheckBox box(QStringLiteral("Match Case"));
        QtCheckControl check(box);
        QSignalSpy clicks(&box, &QCheckBox::stateChanged);
        box.setCheckState(Qt::Checked);
        clicks.clear();
        QCOMPARE(check.value(), qint16(1));
        check.setValue(1);
        QCOMPARE(clicks.size(), 0);
        check.setValue(2);
        QCOMPARE(box.checkState(), Qt::PartiallyChecked);
        QCOMPARE(check.value(), qint16(2));
        check.setValue(0);
        QCOMPARE(check.value(), qint16(0));
        QCOMPARE(clicks.size(), 2);
        for (qint16 bad : { qint16(-1), qint16(3), qint16(255) }) {
            try {
                check.setValue(bad);
                QFAIL("no failure");
            } catch (const Failure& failure) {
                QCOMPARE(failure.description(), QStringLiteral("Invalid property value"));
            }
        }
        QCOMPARE(check.value(), qint16(0));

        // The user ticks and clears; a greyed box is ticked by a click.
        box.click();
        QCOMPARE(box.checkState(), Qt::Checked);
        box.click();
        QCOMPARE(box.checkState(), Qt::Unchecked);
        check.setValue(2);
        box.click();
        QCOMPARE(box.checkState(), Qt::Checked);
    }

    void textBoxChangesOnlyOnRealChanges()
    {
        QLineEdit edit(QStringLiteral("Text1"));
        QtTextControl text(edit);
        QCOMPARE(edit.maxLength(), INT_MAX);
        QSignalSpy changes(&edit, &QLineEdit::textChanged);
        text.setText(QStringLiteral("Text1"));
        QCOMPARE(changes.size(), 0);
        text.setText(QString());
        QCOMPARE(changes.size(), 1);
        const QString longPhrase(100000, QLatin1Char('a'));
        text.setText(longPhrase);
        QCOMPARE(text.text(), longPhrase);
    }

    void randomFractions()
    {
        QtRandomSource first;
        QtRandomSource second;
        first.seed(43200.25);
        second.seed(43200.25);
        QList<double> a, b;
        for (int i = 0; i < 1000; ++i) {
            a.append(first.next());
            b.append(second.next());
            QVERIFY(a.last() >= 0.0 && a.last() < 1.0);
        }
        QCOMPARE(a, b);
        const double now = first.timeOfDay();
        QVERIFY(now >= 0.0 && now < 86400.0);
    }

    void clipboardPlainText()
    {
        QtClipboard clipboard;
        QVERIFY(clipboard.clear());
        QVERIFY(clipboard.setText(QStringLiteral("a\r\nb\r\n"), 0));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("a\r\nb\r\n"));
    }
};

QTEST_MAIN(TestQtPlatform)
#include "tst_QtPlatform.moc"
