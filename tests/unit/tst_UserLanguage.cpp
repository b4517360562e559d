// SPDX-License-Identifier: MIT
// The user's language: which one the environment names, and which catalogues
// that installs, from the build's catalogues and the system's of Qt.
#include "shell/UserLanguage.h"

#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <QTest>

using namespace vantorel;

namespace
{

using Environment = QMap<QByteArray, QByteArray>;

QStringList languagesOf(const Environment& environment)
{
    return messageLanguages([&](const char* name) { return environment.value(name); });
}

QString catalogues()
{
    return QStringLiteral(OSTLEBRY_CATALOGUE_DIR);
}

QString help()
{
    return QCoreApplication::translate("Form1", "Help");
}

QString qtYes()
{
    return QCoreApplication::translate("QPlatformTheme", "&Yes");
}

} // namespace

class TestUserLanguage : public QObject
{
    Q_OBJECT

private slots:
    void theEnvironmentNamesTheLanguages_data()
    {
        QTest::addColumn<Environment>("environment");
        QTest::addColumn<QStringList>("languages");
        QTest::newRow("nothing set") << Environment {} << QStringList {};
        QTest::newRow("C") << Environment { { "LANG", "C" } } << QStringList {};
        QTest::newRow("POSIX") << Environment { { "LANG", "POSIX" } } << QStringList {};
        QTest::newRow("C with a codeset")
            << Environment { { "LANG", "C.UTF-8" } } << QStringList {};
        QTest::newRow("LANG") << Environment { { "LANG", "de_DE.UTF-8" } }
                              << QStringList { "de_DE" };
        QTest::newRow("a modifier")
            << Environment { { "LANG", "fr_FR@euro" } } << QStringList { "fr_FR" };
        QTest::newRow("LC_MESSAGES over LANG") << Environment { { "LANG", "de_DE.UTF-8" },
            { "LC_MESSAGES", "fr_FR.UTF-8" } } << QStringList { "fr_FR" };
        QTest::newRow("LC_ALL over both")
            << Environment { { "LANG", "de_DE" }, { "LC_MESSAGES", "fr_FR" }, { "LC_ALL", "C" } }
            << QStringList {};
        QTest::newRow("LC_ALL over C")
            << Environment { { "LANG", "C" }, { "LC_ALL", "de_AT.UTF-8" } }
            << QStringList { "de_AT" };
        QTest::newRow("an empty LC_ALL counts as unset") << Environment { { "LC_ALL", "" },
            { "LANG", "fr_CA.UTF-8" } } << QStringList { "fr_CA" };
        QTest::newRow("LANGUAGE stands in for the locale")
            << Environment { { "LANG", "de_DE.UTF-8" }, { "LANGUAGE", "fr::de" } }
            << QStringList { "fr", "de" };
        QTest::newRow("LANGUAGE ignored in the C locale")
            << Environment { { "LC_ALL", "C" }, { "LANG", "de_DE.UTF-8" }, { "LANGUAGE", "de" } }
            << QStringList {};
        QTest::newRow("LANGUAGE ignored without a locale")
            << Environment { { "LANGUAGE", "de" } } << QStringList {};
    }
    void theEnvironmentNamesTheLanguages()
    {
        QFETCH(Environment, environment);
        QFETCH(QStringList, languages);
        QCOMPARE(languagesOf(environment), languages);
    }

    void theFirstLanguageWithACatalogueWins_data()
    {
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<QString>("installed");
        QTest::addColumn<QString>("help");
        QTest::newRow("none") << QStringList {} << ""
                              << "Help";
        QTest::newRow("German") << QStringList { "de_DE" } << "de"
                                << "Hilfe";
        QTest::newRow("German of Austria") << QStringList { "de_AT" } << "de"
                                           << "Hilfe";
        QTest::newRow("French") << QStringList { "fr_FR" } << "fr"
                                << "Aide";
        QTest::newRow("past one without") << QStringList { "es", "fr" } << "fr"
                                          << "Aide";
        QTest::newRow("English before German") << QStringList { "en_GB", "de" } << ""
                                               << "Help";
        QTest::newRow("C before German") << QStringList { "C", "de" } << ""
                                         << "Help";
        QTest::newRow("only one without") << QStringList { "es" } << ""
                                          << "Help";
    }
    void theFirstLanguageWithACatalogueWins()
    {
        QFETCH(QStringList, languages);
        QFETCH(QString, installed);
        QFETCH(QString, help);
        {
            const UserLanguage language(
                languages, catalogues(), UserLanguage::systemQtCatalogues());
            QCOMPARE(language.language(), installed);
            QCOMPARE(::help(), help);
            // Qt's own buttons speak the same language as the window, or stay as written.
            QCOMPARE(language.hasQtCatalogue(), !installed.isEmpty());
            if (installed == u"de")
                QCOMPARE(qtYes(), QStringLiteral("&Ja"));
            else if (installed.isEmpty())
                QCOMPARE(qtYes(), QStringLiteral("&Yes"));
        }
        QCOMPARE(::help(), QStringLiteral("Help"));
        QCOMPARE(qtYes(), QStringLiteral("&Yes"));
    }

    void withoutQtsCatalogueTheProgramsStillSpeaks()
    {
        const UserLanguage language({ "fr_FR" }, catalogues(), QStringLiteral("/nonexistent"));
        QCOMPARE(language.language(), QStringLiteral("fr"));
        QVERIFY(!language.hasQtCatalogue());
        QCOMPARE(help(), QStringLiteral("Aide"));
    }
};

QTEST_GUILESS_MAIN(TestUserLanguage)
#include "tst_UserLanguage.moc"
