// SPDX-License-Identifier: MIT
#include "platform/Failure.h"
#include "platform/settings/IniSectionEdit.h"
#include "platform/settings/QtSettingsBackend.h"
#include "shell/common/SettingsStore.h"
#include "support/FifoWatchdog.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace vantorel;

namespace
{
const char kBinaryStart[]
    = "[Vantorel%20Software]\n\xff\xfe\x00\x01\nCheck4=0\nText1=hello\nLastFolder=/tmp\n";
}

class TestSettingsStore : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString file() const { return m_dir.path() + "/Ostlebry.conf"; }
    void writeRaw(const QByteArray& bytes, const QString& path = QString())
    {
        QFile out(path.isEmpty() ? file() : path);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
    }
    QByteArray readRaw(const QString& path) const
    {
        QFile in(path);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("(unreadable)");
    }

private slots:
    void init()
    {
        QFile::remove(file());
        QFile::remove(file() + ".damaged");
        QFile::remove(file() + ".damaged.1");
        QDir(file()).removeRecursively();
    }

    void roundTripAndDefaults()
    {
        QtSettingsBackend backend(m_dir.path());
        SettingsStore store(backend);
        QCOMPARE(store.GetSetting(SettingsStore::kCheck4, "1"), QStringLiteral("1"));
        QCOMPARE(store.GetSetting(SettingsStore::kText1, QString()), QString());
        store.SaveSetting(SettingsStore::kText1, "  two blanks = and \"quotes\"\n ");
        store.SaveSetting(SettingsStore::kCheck4, "0");
        // Every write is on disk at once: a second store sees it.
        QtSettingsBackend other(m_dir.path());
        SettingsStore reread(other);
        QCOMPARE(reread.GetSetting(SettingsStore::kText1, "x"),
            QStringLiteral("  two blanks = and \"quotes\"\n "));
        QCOMPARE(reread.GetSetting(SettingsStore::kCheck4, "1"), QStringLiteral("0"));
        QVERIFY(QFile::exists(file()));
    }

    void damagedFileKeepsOurValuesThroughTheRewrite_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("keepsCopy");
        QTest::newRow("garbage, and a bracket in a line") << QByteArray(
            "[Vantorel%20Software]\nCheck4=0\n\x01\x02garbage\xff\nx[[[\nText1=hello\nLastFolder=/"
            "tmp\n") << true;
        QTest::newRow("binary in the section")
            << QByteArray::fromRawData(kBinaryStart, sizeof kBinaryStart - 1) << true;
        QTest::newRow("unclosed group")
            << QByteArray("[Vantorel%20Software\nCheck4=0\nText1=hello\nLastFolder=/tmp\n")
            << false;
    }
    void damagedFileKeepsOurValuesThroughTheRewrite()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, keepsCopy);
        writeRaw(content);
        QtSettingsBackend backend(m_dir.path());
        SettingsStore store(backend);
        QCOMPARE(store.GetSetting(SettingsStore::kText1, "default"), QStringLiteral("hello"));
        store.SaveSetting(SettingsStore::kCheck4, "1");
        QtSettingsBackend fresh(m_dir.path());
        SettingsStore reread(fresh);
        QCOMPARE(reread.GetSetting(SettingsStore::kCheck4, "x"), QStringLiteral("1"));
        QCOMPARE(reread.GetSetting(SettingsStore::kText1, "x"), QStringLiteral("hello"));
        QCOMPARE(reread.GetSetting(SettingsStore::kLastFolder, "x"), QStringLiteral("/tmp"));
        // A damaged file whose values QSettings would have lost is kept beside the new one.
        QFile copy(file() + ".damaged");
        QCOMPARE(copy.exists(), keepsCopy);
        if (!keepsCopy)
            return;
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), content);
    }

    void otherSectionsAreNotOursAndAreKept()
    {
        const QByteArray others = "[General]\nText1=root\n\n[Other%20Program]\nText1=theirs\n"
                                  "LastFolder=/theirs\n; their comment\n";
        const QByteArray after = "[Zeta]\nz=\"1, 2\"\n";
        writeRaw(others + "[Vantorel%20Software]\nCheck4=0\n\n" + after);
        QtSettingsBackend backend(m_dir.path());
        SettingsStore store(backend);
        QCOMPARE(store.GetSetting(SettingsStore::kText1, "default"), QStringLiteral("default"));
        QCOMPARE(store.GetSetting(SettingsStore::kLastFolder, "none"), QStringLiteral("none"));
        QCOMPARE(store.GetSetting(SettingsStore::kCheck4, "1"), QStringLiteral("0"));
        store.SaveSetting(SettingsStore::kText1, "mine");
        // A healthy file: no copy, and the other sections stand as they stood, byte for byte.
        QVERIFY(!QFile::exists(file() + ".damaged"));
        QCOMPARE(readRaw(file()), others + "[Vantorel%20Software]\nCheck4=0\nText1=mine\n" + after);
    }

    void ourSectionIsAddedAfterTheOthers()
    {
        writeRaw("[Other%20Program]\nCheck4=2\nText1=theirs");
        QtSettingsBackend backend(m_dir.path());
        SettingsStore store(backend);
        QCOMPARE(store.GetSetting(SettingsStore::kCheck4, "1"), QStringLiteral("1"));
        store.SaveSetting(SettingsStore::kCheck4, "0");
        QVERIFY(!QFile::exists(file() + ".damaged"));
        QCOMPARE(readRaw(file()),
            QByteArray(
                "[Other%20Program]\nCheck4=2\nText1=theirs\n[Vantorel%20Software]\nCheck4=0\n"));
    }

    void aDamagedFileIsRecoveredBySection()
    {
        const QByteArray theirs
            = "[Other%20Program]\nText1=theirs\n\x01their garbage\nLastFolder=/theirs\n";
        const QByteArray content
            = theirs + "[Vantorel%20Software]\nCheck4=0\n\x02our garbage\nx[[[\nText1=ours\n";
        writeRaw(content);
        QtSettingsBackend backend(m_dir.path());
        SettingsStore store(backend);
        QCOMPARE(store.GetSetting(SettingsStore::kText1, "x"), QStringLiteral("ours"));
        QCOMPARE(store.GetSetting(SettingsStore::kLastFolder, "none"), QStringLiteral("none"));
        store.SaveSetting(SettingsStore::kCheck4, "1");
        QCOMPARE(readRaw(file() + ".damaged"), content);
        QCOMPARE(readRaw(file()), theirs + "[Vantorel%20Software]\nCheck4=1\nText1=ours\n");
    }

    void anEarlierDamagedCopyIsNotOverwritten()
    {
        writeRaw("earlier", file() + ".damaged");
        const QByteArray content = "[Vantorel%20Software]\nText1=hello\n\x01\n";
        writeRaw(content);
        QtSettingsBackend backend(m_dir.path());
        SettingsStore(backend).SaveSetting(SettingsStore::kCheck4, "0");
        QCOMPARE(readRaw(file() + ".damaged"), QByteArray("earlier"));
        QCOMPARE(readRaw(file() + ".damaged.1"), content);
    }

    void aWriteKeepsTheSectionsOtherValuesAsTheyStand()
    {
        // Re-encoding every value at each keystroke took seconds with many values.
        const QByteArray others = "zeta = \"x, y\"\nalpha=@Variant(\\0\\0\\0\\x1)\n";
        writeRaw("[Vantorel%20Software]\n" + others + "Text1=old\nText1=older\n[Other]\na=1\n");
        QtSettingsBackend backend(m_dir.path());
        SettingsStore(backend).SaveSetting(SettingsStore::kText1, "new, \"quoted\"");
        SettingsStore(backend).SaveSetting(SettingsStore::kCheck4, "0");
        QCOMPARE(readRaw(file()),
            "[Vantorel%20Software]\nCheck4=0\n" + others
                + "Text1=\"new, \\\"quoted\\\"\"\n[Other]\na=1\n");
        QSettings reader(file(), QSettings::IniFormat);
        QCOMPARE(reader.value("Vantorel Software/Text1").toString(), "new, \"quoted\"");
        QCOMPARE(reader.value("Vantorel Software/zeta").toString(), "x, y");
    }

    void theFileIsCutOncePerStartAndWhenAnotherProgramChangesIt()
    {
        QByteArray many = "[Vantorel%20Software]\n";
        for (int i = 0; i < 1000; ++i)
            many += "k" + QByteArray::number(i) + "=1\n";
        writeRaw(many + "Check4=0\n");
        QtSettingsBackend backend(m_dir.path());
        SettingsStore store(backend);
        QCOMPARE(store.GetSetting(SettingsStore::kCheck4, "1"), QStringLiteral("0"));
        QCOMPARE(store.GetSetting(SettingsStore::kText1, QString()), QString());
        for (const char* typed : { "a", "ab", "abc" })
            store.SaveSetting(SettingsStore::kText1, typed);
        QCOMPARE(store.GetSetting(SettingsStore::kText1, QString()), QStringLiteral("abc"));
        QCOMPARE(backend.parses(), 1);
        {
            QSettings other(file(), QSettings::IniFormat);
            other.setValue("Vantorel Software/Text1", "theirs");
        }
        QCOMPARE(store.GetSetting(SettingsStore::kText1, QString()), QStringLiteral("theirs"));
        QCOMPARE(store.GetSetting(SettingsStore::kCheck4, "1"), QStringLiteral("0"));
        QCOMPARE(backend.parses(), 2);
    }

    void linesAndSectionsAreCutWhereQSettingsCutsThem_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("keys"); // of section "s", as the store takes them
        QTest::addColumn<bool>("damaged");
        const auto row
            = [](const char* name, const QByteArray& text, const QStringList& keys,
                  bool damaged = false) { QTest::newRow(name) << text << keys << damaged; };
        row("plain", "[s]\nText1=hello", { "Text1" });
        row("escaped", "[s]\n%54ext1 = x", { "Text1" });
        row("wide and slash", "[s]\n%U00e4\\b=1", { "\u00e4/b" });
        row("quoted equals", "[s]\nk\"=\"=1", { "k\"=\"" });
        row("comment", "[s]\na=1;b=2", { "a" });
        row("comment lines", "; c\n[s]\n ;[x]\na=1", { "a" });
        row("escaped quote", "[s]\na=\"x\\\"y\"", { "a" });
        row("quoted line end", "[s]\na=\"x\n[t]\ny\"\nb=2", { "a", "b" });
        row("escaped line end", "[s]\na=1\\\r\nb=2\nc=3", { "a", "c" });
        row("carriage returns", "[s]\ra=1\rb=2", { "a", "b" });
        row("open quote", "[s]\nb=1\na=\"open\n[t]\nc=2", { "b" }, true);
        row("runs on", "[s]\na=1\\", {}, true);
        row("no key", "[s]\n=1", {}, true);
        row("no equals", "[s]\na;b=1\nc=2", { "c" }, true);
        row("header after bytes is none", "\xff\xfe[s]\na=1", {});
        row("header inside a value is none", "[x]\nv=\"open\n[s]\na=1", {});
        row("unclosed header", "[s\na=1", { "a" });
        row("text after the header", "[s] junk\na=1", { "a" }, true);
        row("escaped name", "\xef\xbb\xbf[%73]\na=1", { "a" });
        row("a stray group is a group", "[s]\na=1\n[[[\nb=2\n[s]\nc=3", { "a", "c" });
    }
    void linesAndSectionsAreCutWhereQSettingsCutsThem()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, keys);
        QFETCH(bool, damaged);
        const IniSectionEdit section(text, "s");
        QCOMPARE(section.keys(), keys);
        QCOMPARE(section.damaged(), damaged);
        if (damaged)
            return;
        writeRaw(text);
        QSettings settings(file(), QSettings::IniFormat);
        settings.beginGroup("s");
        QStringList expected = keys;
        expected.sort();
        QCOMPARE(settings.allKeys(), expected);
    }

    void aValueThatRunsOnIsNotAllowedToSwallowOurSection_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("in another section") << QByteArray("[Other]\nx=\"open\n")
                                            << QByteArray("[Vantorel%20Software]\nCheck4=0\n"
                                                          "[Other]\nx=\"open\n");
        QTest::newRow("before every section")
            << QByteArray("\xef\xbb\xbfx=1\\")
            << QByteArray("\xef\xbb\xbf[Vantorel%20Software]\nCheck4=0\n[General]\nx=1\\");
    }
    void aValueThatRunsOnIsNotAllowedToSwallowOurSection()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, written);
        writeRaw(text);
        const QVariant theirs = QSettings(file(), QSettings::IniFormat).value("Other/x");
        QtSettingsBackend backend(m_dir.path());
        SettingsStore(backend).SaveSetting(SettingsStore::kCheck4, "0");
        QCOMPARE(readRaw(file()), written);
        QSettings reader(file(), QSettings::IniFormat);
        QCOMPARE(reader.value("Vantorel Software/Check4").toString(), QStringLiteral("0"));
        QCOMPARE(reader.value("Other/x"), theirs);
    }

    void aFifoIsNeitherReadNorReplaced()
    {
        QCOMPARE(::mkfifo(QFile::encodeName(file()).constData(), 0600), 0);
        QtSettingsBackend backend(m_dir.path());
        SettingsStore store(backend);
        {
            test::FifoWatchdog unblocker(file());
            QVERIFY_THROWS_EXCEPTION(Failure, store.GetSetting(SettingsStore::kText1, QString()));
            QVERIFY_THROWS_EXCEPTION(Failure, store.SaveSetting(SettingsStore::kText1, "x"));
            QVERIFY2(!unblocker.fired(), "reading the settings blocked on the FIFO");
        }
        struct stat status {
        };
        QCOMPARE(::lstat(QFile::encodeName(file()).constData(), &status), 0);
        QVERIFY(S_ISFIFO(status.st_mode));
        QVERIFY(!QFile::exists(file() + ".damaged"));
    }

    void aLinkToADeviceIsNeitherReadNorWrittenThrough()
    {
        QVERIFY(QFile::link("/dev/null", file()));
        QtSettingsBackend backend(m_dir.path());
        SettingsStore store(backend);
        try {
            store.GetSetting(SettingsStore::kText1, QString());
            QFAIL("a device must not be read as settings");
        } catch (const Failure& failure) {
            QCOMPARE(failure.description(),
                QStringLiteral("The settings file %1 is not a regular file.").arg(file()));
        }
        QVERIFY_THROWS_EXCEPTION(Failure, store.SaveSetting(SettingsStore::kText1, "x"));
        QCOMPARE(QFileInfo(file()).symLinkTarget(), QStringLiteral("/dev/null"));
        QVERIFY(!QFile::exists(file() + ".damaged"));
    }

    void aFileTooLargeIsNotReadAndIsKeptAsideWhole()
    {
        {
            QFile big(file());
            QVERIFY(big.open(QIODevice::WriteOnly));
            big.write("[Vantorel%20Software]\nText1=lost\n");
            QVERIFY(big.resize(QtSettingsBackend::kMaxFileBytes + 1));
        }
        QtSettingsBackend backend(m_dir.path());
        SettingsStore store(backend);
        try {
            store.GetSetting(SettingsStore::kText1, QString());
            QFAIL("a file over the limit must not be read");
        } catch (const Failure& failure) {
            QCOMPARE(failure.description(),
                QStringLiteral("The settings file %1 is damaged: it is larger than 4 MB.")
                    .arg(file()));
        }
        store.SaveSetting(SettingsStore::kCheck4, "0");
        QCOMPARE(readRaw(file()), QByteArray("[Vantorel%20Software]\nCheck4=0\n"));
        const QByteArray aside = readRaw(file() + ".damaged");
        QCOMPARE(aside.size(), QtSettingsBackend::kMaxFileBytes + 1);
        QVERIFY(aside.startsWith("[Vantorel%20Software]\nText1=lost\n"));
    }

    void aValueThatWouldPassTheLimitIsNotWritten()
    {
        QtSettingsBackend backend(m_dir.path());
        SettingsStore store(backend);
        store.SaveSetting(SettingsStore::kText1, "kept");
        const QString tooLong(QtSettingsBackend::kMaxFileBytes, QLatin1Char('a'));
        QVERIFY_THROWS_EXCEPTION(Failure, store.SaveSetting(SettingsStore::kText1, tooLong));
        QCOMPARE(store.GetSetting(SettingsStore::kText1, QString()), QStringLiteral("kept"));
    }

    void aFolderInPlaceOfTheFileFailsClearly()
    {
        QVERIFY(QDir().mkpath(file()));
        QtSettingsBackend backend(m_dir.path());
        SettingsStore store(backend);
        QVERIFY_THROWS_EXCEPTION(Failure, store.GetSetting(SettingsStore::kCheck4, "1"));
        try {
            store.SaveSetting(SettingsStore::kText1, "x");
            QFAIL("a write into a folder must fail");
        } catch (const Failure& failure) {
            QVERIFY(failure.description().contains(file()));
        }
        QVERIFY(QFileInfo(file()).isDir());
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_SettingsStore.moc"
