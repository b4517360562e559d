// SPDX-License-Identifier: MIT
#include "search/NameMatcher.h"

#include <QFile>
#include <QTest>

using namespace vantorel;

class TestNameMatcher : public QObject
{
    Q_OBJECT

private slots:
    void matches_data();
    void matches();
    void rawBytesThatAreNotUtf8_data();
    void rawBytesThatAreNotUtf8();
    void fold_data();
    void fold();
    void matcherIsReusedAcrossNames();
};

void TestNameMatcher::matches_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<int>("compareMode");
    QTest::addColumn<bool>("expected");

    const auto row
        = [](const char* tag, const QString& name, const QString& phrase, int mode, bool expected) {
              QTest::newRow(tag) << name << phrase << mode << expected;
          };

    // Letter case ignored
    row("ascii case", "Alpha", "alpha", 1, true);
    row("ascii phrase upper", "alpha-2019", "ALPHA", 1, true);
    row("umlaut case", "Ärger", "ärg", 1, true);
    row("sharp s to SS", "straße", "STRASSE", 1, true);
    row("capital sharp s", "STRAẞE", "strasse", 1, true);
    row("SS to sharp s", "STRASSE", "straße", 1, true);
    row("full width to ascii", "ＡＢＣ", "abc", 1, true);
    row("ascii to full width", "abc-folder", "ＡＢＣ", 1, true);
    row("half width katakana", "ｶﾀｶﾅ", "カタカナ", 1, true);
    row("half width voiced mark", "ｶﾞｲﾄﾞ", "ガイド", 1, true);
    row("greek final sigma folds to sigma", "ΟΔΟΣ", "οδος", 1, true);
    row("greek capitals", "ΑΛΦΑ", "αλφα", 1, true);
    row("accent kept", "Arger", "ärg", 1, false);
    row("accent kept reverse", "Ärger", "arg", 1, false);
    row("decomposed accent", QString::fromUtf8("A\u0308rger"), "ärg", 1, true);
    row("non-ascii phrase, ascii name", "strasse-ss", "ß", 1, true);
    row("non-ascii phrase never in ascii name", "resume", "résumé", 1, false);
    row("mode 2 ignores case too", "ALPHA", "alpha", 2, true);
    row("negative mode ignores case too", "ALPHA", "alpha", -1, true);
    row("leading blank kept", "Old alpha", " alpha", 1, true);
    row("leading blank not at start", "alpha-2019", " alpha", 1, false);
    row("trailing blank kept", "alpha-2019", "alpha ", 1, false);
    row("at end", "Project alpha", "alpha", 1, true);
    row("whole name", "alpha", "alpha", 1, true);
    row("longer than name", "alp", "alpha", 1, false);
    row("empty phrase", "anything", "", 1, true);
    row("cjk", "写真アルバム", "アルバム", 1, true);

    // Letter case must match
    row("exact same", "alpha", "alpha", 0, true);
    row("exact case differs", "Alpha-Project", "alpha", 0, false);
    row("exact middle", "old-alpha-2019", "alpha", 0, true);
    row("exact umlaut", "Ärger", "Ärg", 0, true);
    row("exact umlaut case", "Ärger", "ärg", 0, false);
    row("exact full width differs", "ＡＢＣ", "ABC", 0, false);
    row("exact sharp s", "straße", "strasse", 0, false);
    row("exact leading blank", "Old alpha", " alpha", 0, true);
    row("exact leading blank absent", "alpha-2019", " alpha", 0, false);
}

void TestNameMatcher::matches()
{
    QFETCH(QString, name);
    QFETCH(QString, phrase);
    QFETCH(int, compareMode);
    QFETCH(bool, expected);
    NameMatcher matcher(phrase, qint16(compareMode));
    const QByteArray bytes = QFile::encodeName(name);
    QCOMPARE(
        matcher.matches(std::string_view(bytes.constData(), std::size_t(bytes.size()))), expected);
}

void TestNameMatcher::rawBytesThatAreNotUtf8_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<int>("compareMode");
    QTest::addColumn<bool>("expected");

    QTest::newRow("exact around bad byte") << QByteArray("alpha-\xff-x") << "alpha-" << 0 << true;
    QTest::newRow("folded around bad byte") << QByteArray("ALPHA-\xff") << "alpha" << 1 << true;
    QTest::newRow("folded, absent") << QByteArray("beta-\xfe\xff") << "alpha" << 1 << false;
    QTest::newRow("latin-1 umlaut is no UTF-8 umlaut")
        << QByteArray("\xc4rger") << "ärg" << 1 << false;
}

void TestNameMatcher::rawBytesThatAreNotUtf8()
{
    QFETCH(QByteArray, name);
    QFETCH(QString, phrase);
    QFETCH(int, compareMode);
    QFETCH(bool, expected);
    NameMatcher matcher(phrase, qint16(compareMode));
    QCOMPARE(
        matcher.matches(std::string_view(name.constData(), std::size_t(name.size()))), expected);
}

void TestNameMatcher::fold_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("folded");

    QTest::newRow("ascii") << "MiXeD Case 42"
                           << "mixed case 42";
    QTest::newRow("sharp s") << "Straße"
                             << "strasse";
    QTest::newRow("capital sharp s") << "STRAẞE"
                                     << "strasse";
    QTest::newRow("full width letters") << "ＡＢＣｄ"
                                        << "abcd";
    QTest::newRow("full width digits and signs") << "１２３！"
                                                 << "123!";
    QTest::newRow("full width yen sign") << "￥"
                                         << "¥";
    QTest::newRow("half width katakana with mark") << "ｶﾞ"
                                                   << "ガ";
    QTest::newRow("umlaut") << "ÄÖÜ"
                            << "äöü";
    QTest::newRow("decomposed composes") << QString::fromUtf8("O\u0308") << "ö";
}

void TestNameMatcher::fold()
{
    QFETCH(QString, text);
    QFETCH(QString, folded);
    QCOMPARE(NameMatcher::fold(text), folded);
}

void TestNameMatcher::matcherIsReusedAcrossNames()
{
    // The scratch buffer of one name must not leak into the next.
    NameMatcher matcher(QStringLiteral("alpha"), 1);
    QCOMPARE(matcher.matches("xxALPHAxxxxxxxxxxxxxxxxxxxxxxx"), true);
    QCOMPARE(matcher.matches("alp"), false);
    QCOMPARE(matcher.matches("Ärger"), false);
    QCOMPARE(matcher.matches("Ärger alpha"), true);
    QCOMPARE(matcher.matches(""), false);
}

QTEST_GUILESS_MAIN(TestNameMatcher)
#include "tst_NameMatcher.moc"
