// SPDX-License-Identifier: MIT
// The settings file as users and disks leave it: damaged, replaced by a
// folder, holding values no box state has, or a phrase of a megabyte. The
// window always starts, says what it could not use, and keeps the rest.
#include "platform/settings/QtSettingsBackend.h"
#include "support/FifoWatchdog.h"
#include "support/FolderTreeFixture.h"
#include "support/ModalBoxAnswerer.h"
#include "support/WindowDriver.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeRaw(const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(settingsFile()).path());
    QFile file(settingsFile());
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString storedValue(const QString& key)
{
    QSettings stored(settingsFile(), QSettings::IniFormat);
    return stored.value("Vantorel Software/" + key).toString();
}

} // namespace

class TestSettingsFaults : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QFile::remove(settingsFile());
        QFile::remove(settingsFile() + ".damaged");
        QDir(settingsFile()).removeRecursively();
        QFile::remove(settingsFile()); // a FIFO left by a test that failed
    }

    void cleanup() { QVERIFY(!test::openBox()); }

    void matchCaseValues_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<int>("state");
        QTest::newRow("too large for 16 bits") << "70000"
                                               << "Overflow" << int(Qt::Checked);
        QTest::newRow("negative") << "-1"
                                  << "Invalid property value" << int(Qt::Checked);
        QTest::newRow("no box state") << "3"
                                      << "Invalid property value" << int(Qt::Checked);
        QTest::newRow("empty") << ""
                               << "Type mismatch" << int(Qt::Checked);
        QTest::newRow("greyed") << "2"
                                << "" << int(Qt::PartiallyChecked);
        QTest::newRow("blanks around zero") << " 0 "
                                            << "" << int(Qt::Unchecked);
        QTest::newRow("a half rounds to even") << "0.5"
                                               << "" << int(Qt::Unchecked);
    }

    void matchCaseValues()
    {
        QFETCH(QString, stored);
        QFETCH(QString, failure);
        QFETCH(int, state);
        {
            QSettings settings(settingsFile(), QSettings::IniFormat);
            settings.setValue("Vantorel Software/Check4", stored);
            settings.setValue("Vantorel Software/Text1", "kept");
        }
        ModalBoxAnswerer answerer;
        WindowDriver w;
        const QStringList expected = failure.isEmpty()
            ? QStringList()
            : QStringList { shownReport(failure, "Form_Load", 136) };
        QCOMPARE(answerer.texts(), expected);
        QCOMPARE(int(w.child<QCheckBox>("Check4")->checkState()), state);
        QCOMPARE(w.phrase(), QStringLiteral("kept"));
    }

    void aDamagedFileStillGivesItsValues()
    {
        static const char kDamaged[]
            = "[Vantorel%20Software]\nCheck4=0\n\x01\x02garbage\xff\nx[[[\n"
              "Text1=hello\n\x00\x00\n";
        QVERIFY(writeRaw(QByteArray(kDamaged, sizeof kDamaged - 1)));
        const QByteArray damaged = contentOf(settingsFile());
        ModalBoxAnswerer answerer;
        {
            WindowDriver w;
            QCOMPARE(answerer.texts(), QStringList());
            QCOMPARE(w.child<QCheckBox>("Check4")->checkState(), Qt::Unchecked);
            QCOMPARE(w.phrase(), QStringLiteral("hello"));
            w.typePhrase("again");
        }
        QCOMPARE(storedValue("Text1"), QStringLiteral("again"));
        QCOMPARE(storedValue("Check4"), QStringLiteral("0"));
        // The damaged file is kept for whoever wants to see what was in it.
        QCOMPARE(contentOf(settingsFile() + ".damaged"), damaged);
    }

    void aFolderInPlaceOfTheFile()
    {
        const QString folder = settingsFile();
        QVERIFY(QDir().mkpath(folder + "/inside"));
        ModalBoxAnswerer answerer;
        WindowDriver w;
        const QStringList texts = answerer.texts();
        QCOMPARE(texts.size(), 2);
        QVERIFY2(
            texts[0].contains(folder) && texts[0].contains("at line 136"), qPrintable(texts[0]));
        QVERIFY2(
            texts[1].contains(folder) && texts[1].contains("at line 138"), qPrintable(texts[1]));
        QCOMPARE(w.child<QCheckBox>("Check4")->checkState(), Qt::Checked);

        // The writers have no report of their own: typing goes on quietly.
        w.typePhrase("alpha");
        QTest::mouseClick(w.child<QCheckBox>("Check4"), Qt::LeftButton);
        QCOMPARE(answerer.texts().size(), 2);
        QCOMPARE(w.phrase(), QStringLiteral("alpha"));
        QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(QFileInfo(folder + "/inside").isDir());
    }

    void anotherSectionIsNeitherReadNorDamaged()
    {
        const QByteArray theirs = "[Other%20Program]\nCheck4=0\nText1=theirs\n";
        QVERIFY(writeRaw(theirs));
        ModalBoxAnswerer answerer;
        {
            WindowDriver w;
            QCOMPARE(answerer.texts(), QStringList());
            QCOMPARE(w.child<QCheckBox>("Check4")->checkState(), Qt::Checked);
            QCOMPARE(w.phrase(), QString());
            w.typePhrase("mine");
        }
        QVERIFY(!QFile::exists(settingsFile() + ".damaged"));
        QVERIFY(contentOf(settingsFile()).startsWith(theirs));
        QCOMPARE(storedValue("Text1"), QStringLiteral("mine"));
    }

    void aFifoInPlaceOfTheFile()
    {
        const QString fifo = settingsFile();
        QVERIFY(QDir().mkpath(QFileInfo(fifo).path()));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        ModalBoxAnswerer answerer;
        FifoWatchdog unblocker(fifo);
        WindowDriver w;
        QVERIFY2(!unblocker.fired(), "start-up blocked on the FIFO");
        const QString reason
            = QStringLiteral("The settings file %1 is not a regular file.").arg(fifo);
        QCOMPARE(answerer.texts(),
            (QStringList {
                shownReport(reason, "Form_Load", 136), shownReport(reason, "Form_Load", 138) }));
        // Reported once: typing and clicking go on quietly, and the FIFO stays.
        w.typePhrase("alpha");
        QTest::mouseClick(w.child<QCheckBox>("Check4"), Qt::LeftButton);
        QCOMPARE(answerer.texts().size(), 2);
        QVERIFY(!unblocker.fired());
        struct stat status {
        };
        QCOMPARE(::lstat(QFile::encodeName(fifo).constData(), &status), 0);
        QVERIFY(S_ISFIFO(status.st_mode));
    }

    void aFileTooLargeIsReportedThenKeptAside()
    {
        QVERIFY(writeRaw("[Vantorel%20Software]\nText1=not read\n"));
        QVERIFY(QFile::resize(settingsFile(), QtSettingsBackend::kMaxFileBytes + 1));
        ModalBoxAnswerer answerer;
        {
            WindowDriver w;
            const QString reason
                = QStringLiteral("The settings file %1 is damaged: it is larger than 4 MB.")
                      .arg(settingsFile());
            QCOMPARE(answerer.texts(),
                (QStringList { shownReport(reason, "Form_Load", 136),
                    shownReport(reason, "Form_Load", 138) }));
            w.typePhrase("beta");
            QCOMPARE(answerer.texts().size(), 2);
        }
        QCOMPARE(storedValue("Text1"), QStringLiteral("beta"));
        QCOMPARE(
            QFileInfo(settingsFile() + ".damaged").size(), QtSettingsBackend::kMaxFileBytes + 1);
    }

    void aPastedMegabytePhraseIsStoredAndRestored()
    {
        QString phrase;
        phrase.reserve(1 << 20);
        for (int i = 0; phrase.size() < (1 << 20); ++i)
            phrase += QStringLiteral("word %1 = \"quoted\" ; ä ").arg(i);
        phrase.truncate(1 << 20);
        ModalBoxAnswerer answerer;
        {
            WindowDriver w;
            QLineEdit* edit = w.child<QLineEdit>("Text1");
            QApplication::clipboard()->setText(phrase);
            edit->setFocus();
            QTest::keySequence(edit, QKeySequence::Paste);
            QCOMPARE(w.phrase().size(), phrase.size());
            QCOMPARE(w.phrase(), phrase);
        }
        QCOMPARE(storedValue("Text1"), phrase);
        WindowDriver restarted;
        QCOMPARE(restarted.phrase(), phrase);
        QCOMPARE(answerer.texts(), QStringList());
    }
};

QTEST_MAIN(TestSettingsFaults)
#include "tst_SettingsFaults.moc"
