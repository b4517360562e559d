// SPDX-License-Identifier: MIT
// The real window in the user's language, offscreen. Under the language
// "pseudo" (a catalogue the build makes of every text of the sources, each
// translated as itself between markers: ⟦text⟧) a tour of the window, its
// menu and every command's boxes must find nothing that did not come from the
// catalogue; under German and French every one of those texts must be
// translated, and under the C locale none.
#include "shell/qt/Form1Usability.h"
#include "support/EnvironmentValue.h"
#include "support/FolderTreeFixture.h"
#include "support/ModalBoxAnswerer.h"
#include "support/ResultsListDriver.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <vector>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

/// One text the tour met, and where.
struct Seen {
    QString where;
    QString text;
};

void addText(QList<Seen>& seen, const QString& where, const QString& text)
{
    if (!text.isEmpty())
        seen.append({ where, text });
}

/// Every text the window shows of its own: captions, titles, tooltips,
/// accessible names and descriptions, the lists' headers.
void collectWindow(QWidget& window, QList<Seen>& seen)
{
    addText(seen, QStringLiteral("window title"), window.windowTitle());
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.prepend(&window);
    for (QWidget* widget : widgets) {
        const QString name = widget->objectName();
        addText(seen, name + QStringLiteral(" tooltip"), widget->toolTip());
        addText(seen, name + QStringLiteral(" status tip"), widget->statusTip());
        addText(seen, name + QStringLiteral(" what's this"), widget->whatsThis());
        if (QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget)) {
            addText(seen, name + QStringLiteral(" accessible name"),
                accessible->text(QAccessible::Name));
            addText(seen, name + QStringLiteral(" accessible description"),
                accessible->text(QAccessible::Description));
        }
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            addText(seen, name + QStringLiteral(" caption"), button->text());
        if (auto* frame = qobject_cast<QGroupBox*>(widget))
            addText(seen, name + QStringLiteral(" title"), frame->title());
        if (auto* label = qobject_cast<QLabel*>(widget))
            addText(seen, name + QStringLiteral(" label"), label->text());
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            addText(seen, name + QStringLiteral(" placeholder"), edit->placeholderText());
        if (auto* list = qobject_cast<QTableView*>(widget)) {
            for (const int role : { int(Qt::DisplayRole), int(Qt::ToolTipRole) })
                addText(seen, name + QStringLiteral(" header"),
                    list->model()->headerData(0, Qt::Horizontal, role).toString());
        }
    }
}

void collectMenu(const QMenu& menu, QList<Seen>& seen)
{
    for (const QAction* action : menu.actions()) {
        addText(seen, QStringLiteral("menu item"), action->text());
        addText(seen, QStringLiteral("menu tooltip"), action->toolTip());
        addText(seen, QStringLiteral("menu status tip"), action->statusTip());
    }
}

/// Runs the command at `position` of the results list's menu on `row`.
void runMenuItem(ResultsListDriver& w, int row, int position)
{
    const std::unique_ptr<QMenu> menu = w.form.usability().resultsList().menuAt(w.rowPoint(row));
    menu->actions().value(position)->trigger();
}

/// Drives the window through every command, with the boxes answered and
/// recorded, and gathers every text the window, its menu and its boxes show.
/// `folderWent` tells whether a folder went after its parent was listed and
/// before the walk, or a thread reading ahead, came to it: only then is it
/// reported, and the reports after it gathered as in every other tour.
void tourOfTheWindow(const QString& scratch, QList<Seen>& seen, bool& folderWent)
{
    const QString work = StandardTree::plain(scratch);
    const QString existing = scratch + QStringLiteral("/saved.txt");
    QFile(existing).open(QIODevice::WriteOnly);
    // A stored Match Case that is no number: start-up reports it.
    QFile::remove(settingsFile());
    QSettings(settingsFile(), QSettings::IniFormat).setValue("Vantorel Software/Check4", "x");

    ModalBoxAnswerer answerer;
    ResultsListDriver w;
    collectWindow(w.form, seen);
    // A box in the middle of a search: the header and the button as they read then.
    answerer.whileOpen = [&](const ModalBoxAnswerer::Box&) {
        addText(seen, QStringLiteral("header while a box is open"), w.locationsHeader());
        addText(seen, QStringLiteral("start button while a box is open"),
            w.button("PushButton1")->text());
    };

    w.click("PushButton1"); // no phrase
    w.typePhrase(QStringLiteral("alpha"));
    w.click("PushButton1"); // no location
    w.click("PushButton5"); // help
    w.click("PushButton4"); // nothing ticked
    w.click("PushButton3"); // the folder browser, cancelled
    // A search where a folder goes while it runs, a location is a file and
    // three are not there: the first reports one by one, the rest gathered.
    const QString idleHeader = w.locationsHeader();
    QTimer remover;
    QObject::connect(&remover, &QTimer::timeout, &w.form, [&] {
        if (w.locationsHeader() == idleHeader)
            return;
        remover.stop();
        QDir(work + QStringLiteral("/beta")).removeRecursively();
    });
    remover.start(0);
    for (const QString& location : { work, existing, scratch + QStringLiteral("/gone-1"),
             scratch + QStringLiteral("/gone-2"), scratch + QStringLiteral("/gone-3") })
        w.form.locations().append(location);
    w.click("PushButton1");
    collectWindow(w.form, seen);

    runMenuItem(w, 0, 4); // Tick All
    collectMenu(*w.form.usability().resultsList().menuAt(w.rowPoint(0)), seen);
    w.click("PushButton4"); // copied
    answerer.fileChoices = { existing, scratch + QStringLiteral("/new.txt") };
    answerer.yesNo = { false };
    w.click("PushButton2"); // overwrite? No
    w.click("PushButton2"); // saved
    answerer.inputs = { QStringLiteral("nothing like it") };
    w.click("PushButton17");
    w.click("PushButton11"); // cancelled
    w.form.results().appendFolder("/nowhere/alpha", 5, true);
    runMenuItem(w, w.form.results().count() - 1, 0); // Open Folder: gone

    // Start-up's report, five boxes of commands, four reports and "Done." of
    // the search, the copy, the question and "Done." of the saves, two input
    // boxes and the folder that is gone.
    QCOMPARE(answerer.boxes.size(), 16);
    QCOMPARE(answerer.fileDialogs.size(), 3);
    for (const ModalBoxAnswerer::Box& box : answerer.boxes) {
        folderWent = folderWent || box.text.contains(work + QStringLiteral("/beta:"));
        addText(seen, QStringLiteral("box title"), box.title);
        addText(seen, QStringLiteral("box"), box.text);
    }
    for (const QString& title : answerer.fileDialogs)
        addText(seen, QStringLiteral("dialog title"), title);
    for (const QString& text : answerer.saveDialogTexts)
        addText(seen, QStringLiteral("save dialog"), text);
    QFile::remove(settingsFile());
}

/// `text` without what stays as written in every language: the failure
/// report's locator line, paths (to the end of their line), the product's
/// names, blanks and punctuation.
QString ownWords(QString text)
{
    static const QRegularExpression locator(
        QStringLiteral("in Vantorel2021/08/31\\.Form1\\.\\w+ at line \\d+"));
    text.remove(locator);
    static const QRegularExpression path(QStringLiteral("/[^\\n]*"));
    text.remove(path);
    if (text == u"Vantorel Software" || text == u"Vantorel")
        return QString();
    static const QRegularExpression punctuation(QStringLiteral("[\\s.,:;()?!]"));
    return text.remove(punctuation);
}

/// What is left of `text` once the catalogue's pieces (⟦...⟧, innermost
/// first) are taken out: empty when all of it came from the catalogue or is
/// meant to stay as written.
QString escaped(QString text)
{
    static const QRegularExpression marked(QStringLiteral("\u27e6[^\u27e6\u27e7]*\u27e7"));
    while (text.contains(marked))
        text.remove(marked);
    return ownWords(text);
}

/// Environment variables to set, with their values.
using Variables = QList<QPair<const char*, QByteArray>>;

/// The tour in the language the environment names.
QList<Seen> tourIn(const QString& scratch, const Variables& variables)
{
    std::vector<std::unique_ptr<EnvironmentValue>> environment;
    for (const char* name : { "LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE" })
        environment.push_back(std::make_unique<EnvironmentValue>(name, QByteArray()));
    for (const auto& [name, value] : variables)
        environment.push_back(std::make_unique<EnvironmentValue>(name, value));
    QList<Seen> seen;
    bool folderWent = false;
    for (int attempt = 1; attempt <= 5 && !folderWent && !QTest::currentTestFailed(); ++attempt) {
        seen.clear();
        tourOfTheWindow(scratch + QStringLiteral("/%1").arg(attempt), seen, folderWent);
    }
    if (!folderWent && !QTest::currentTestFailed())
        QTest::qFail("the folder never went while the search ran", __FILE__, __LINE__);
    return seen;
}

/// What the program prints when asked for --help, then when started with no
/// display, in the language the environment names.
QString commandLineTexts(const Variables& variables)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LC_ALL",
             "LC_MESSAGES", "LANG", "LANGUAGE" })
        environment.remove(QLatin1String(name));
    for (const auto& [name, value] : variables)
        environment.insert(QLatin1String(name), QString::fromUtf8(value));
    QString texts;
    for (const QString& argument : { QStringLiteral("--help"), QStringLiteral("/tmp") }) {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(OSTLEBRY_PROGRAM), { argument });
        if (!program.waitForFinished(60000))
            return QString();
        texts
            += QString::fromUtf8(program.readAllStandardOutput() + program.readAllStandardError());
    }
    return texts;
}

} // namespace

class TestLanguages : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_tours = 0;
    /// The tour and the command line's texts with no language named: every
    /// text as written.
    QList<Seen> m_asWritten;
    QString m_commandLineAsWritten;

    QString scratch() { return m_dir.path() + QStringLiteral("/%1").arg(++m_tours); }

private slots:
    void initTestCase()
    {
        m_asWritten = tourIn(scratch(), {});
        QVERIFY(!QTest::currentTestFailed());
        m_commandLineAsWritten = commandLineTexts({});
        QVERIFY(m_commandLineAsWritten.contains(u"Shows this help and ends."));
    }

    void cleanup() { QVERIFY(!test::openBox()); }

    void everyTextComesFromTheCatalogue()
    {
        const QList<Seen> seen = tourIn(scratch(), { { "LANG", "pseudo" } });
        QVERIFY(!QTest::currentTestFailed());
        QStringList escapes;
        for (const Seen& s : seen) {
            if (!escaped(s.text).isEmpty())
                escapes << s.where + QStringLiteral(": ") + s.text;
        }
        QVERIFY2(escapes.isEmpty(), qPrintable(escapes.join(QLatin1Char('\n'))));
        QCOMPARE(seen.size(), m_asWritten.size());
    }

    void everyCommandLineTextComesFromTheCatalogue()
    {
        QString texts = commandLineTexts({ { "LANG", "pseudo" } });
        // Qt's own words (its catalogue has them) and the options' names stay.
        static const QRegularExpression qts(
            QStringLiteral("Usage:|\\[options\\]|Options:|Arguments:|(^|\\s)--?[a-z-]+"));
        texts.remove(qts);
        QVERIFY2(escaped(texts).isEmpty(), qPrintable(texts));
    }

    void theLocalePicksTheLanguage_data()
    {
        QTest::addColumn<Variables>("variables");
        QTest::addColumn<bool>("translated");
        QTest::newRow("C, whatever LANG and LANGUAGE say")
            << Variables { { "LC_ALL", "C" }, { "LANG", "de_DE.UTF-8" }, { "LANGUAGE", "de" } }
            << false;
        QTest::newRow("English") << Variables { { "LANG", "en_US.UTF-8" } } << false;
        QTest::newRow("German") << Variables { { "LANG", "de_DE.UTF-8" } } << true;
        QTest::newRow("French by LC_MESSAGES")
            << Variables { { "LANG", "de_DE.UTF-8" }, { "LC_MESSAGES", "fr_FR.UTF-8" } } << true;
    }
    void theLocalePicksTheLanguage()
    {
        QFETCH(Variables, variables);
        QFETCH(bool, translated);
        const QList<Seen> seen = tourIn(scratch(), variables);
        QVERIFY(!QTest::currentTestFailed());
        QCOMPARE(seen.size(), m_asWritten.size());
        QStringList wrong;
        for (qsizetype i = 0; i < seen.size(); ++i) {
            const QString written = ownWords(m_asWritten[i].text);
            const QString shown = ownWords(seen[i].text);
            // Paths differ from tour to tour; the words around them must not.
            if (translated ? !written.isEmpty() && shown == written : shown != written)
                wrong << seen[i].where + QStringLiteral(": ") + seen[i].text;
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
        // The command line's texts, byte for byte where nothing is translated.
        const QString texts = commandLineTexts(variables);
        if (translated)
            QVERIFY2(!texts.contains(u"Shows this help and ends."), qPrintable(texts));
        else
            QCOMPARE(texts, m_commandLineAsWritten);
    }
};

QTEST_MAIN(TestLanguages)
#include "tst_Languages.moc"
