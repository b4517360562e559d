// SPDX-License-Identifier: MIT
#include "platform/Failure.h"
#include "platform/qt/QtSettingsBackend.h"
#include "shell/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vantorel;

namespace {
const char kBinaryStart[] = "\xff\xfe\x00\x01[Vantorel%20Software]\nCheck4=0\nText1=hello\nLastFolder=/tmp\n";
}

class TestSettingsStore : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString file() const { return m_dir.path() + "/Ostlebry.conf"; }
    void writeRaw(const QByteArray& bytes)
    {
        QFile out(file());
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
    }

private slots:
    void init()
    {
        QFile::remove(file());
        QFile::remove(file() + ".damaged");
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
        QCOMPARE(reread.GetSetting(SettingsStore::kText1, "x"), QStringLiteral("  two blanks = and \"quotes\"\n "));
        QCOMPARE(reread.GetSetting(SettingsStore::kCheck4, "1"), QStringLiteral("0"));
        QVERIFY(QFile::exists(file()));
    }

    void damagedFileKeepsOurValuesThroughTheRewrite_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("keepsCopy");
        QTest::newRow("garbage then a stray group")
            << QByteArray("[Vantorel%20Software]\nCheck4=0\n\x01\x02garbage\xff\n[[[\nText1=hello\nLastFolder=/tmp\n") << true;
        QTest::newRow("binary before everything")
            << QByteArray::fromRawData(kBinaryStart, sizeof kBinaryStart - 1) << true;
        QTest::newRow("unclosed group") << QByteArray("[Vantorel%20Software\nCheck4=0\nText1=hello\nLastFolder=/tmp\n") << false;
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
