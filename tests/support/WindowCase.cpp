// SPDX-License-Identifier: MIT
#include "support/WindowCase.h"

#include "support/FolderTreeFixture.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QTest>

#include <map>

namespace vantorel::test
{

namespace
{

    constexpr const char* kConfigHome = "XDG_CONFIG_HOME";

    bool compare(const QStringList& actual, const QStringList& expected, const char* what)
    {
        return QTest::qCompare(actual, expected, what, "expected", __FILE__, __LINE__);
    }

} // namespace

WindowCase::WindowCase()
{
    if (qEnvironmentVariableIsSet(kConfigHome))
        m_oldConfigHome = qgetenv(kConfigHome);
    qputenv(kConfigHome, QFile::encodeName(m_home.path() + QStringLiteral("/.config")));
}

WindowCase::~WindowCase()
{
    m_window.reset();
    if (m_oldConfigHome)
        qputenv(kConfigHome, *m_oldConfigHome);
    else
        qunsetenv(kConfigHome);
}

QString WindowCase::tree(Tree which)
{
    static QTemporaryDir parent;
    static std::map<Tree, QString> made;
    auto [at, isNew] = made.try_emplace(which);
    if (isNew) {
        const QString folder = parent.path() + QStringLiteral("/%1").arg(int(which));
        QDir().mkpath(folder);
        switch (which) {
        case Tree::Plain:
            at->second = StandardTree::plain(folder);
            break;
        case Tree::Crowded:
            at->second = StandardTree::crowded(folder);
            break;
        case Tree::LinksAndLoops:
            at->second = StandardTree::linksAndLoops(folder);
            break;
        }
    }
    return at->second;
}

QString WindowCase::settingsFile() const
{
    return m_home.path() + QStringLiteral("/.config/Ostlebry.conf");
}

WindowDriver& WindowCase::window()
{
    if (!m_window)
        m_window = std::make_unique<WindowDriver>();
    return *m_window;
}

bool WindowCase::expectSearch(const QStringList& locations, const QString& phrase,
    SearchSettings settings, const QStringList& shown)
{
    WindowDriver& w = window();
    for (const QString& location : locations)
        w.form.locations().append(location);
    w.typePhrase(phrase);
    if (w.child<QCheckBox>("Check4")->isChecked() != settings.matchCase)
        QTest::mouseClick(w.child<QCheckBox>("Check4"), Qt::LeftButton);
    w.child<QRadioButton>(settings.fullPath ? "Option1" : "Option2")->click();
    const QStringList rowsBefore = w.results();
    const qsizetype boxesBefore = m_boxes.boxes.size();
    w.click("PushButton1");

    QStringList expectedRows = rowsBefore;
    for (const QString& location : locations)
        expectedRows += expectedSearchRows(location, phrase, settings.fullPath,
            settings.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
    return compare(w.results(), expectedRows, "rows")
        && compare(m_boxes.texts().mid(boxesBefore), shown, "boxes")
        && compare({ w.locationsHeader(), w.button("PushButton1")->text() },
            { QStringLiteral("Folder(s)"), QStringLiteral("Start Finding") }, "header and button");
}

} // namespace vantorel::test
