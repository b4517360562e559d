// SPDX-License-Identifier: MIT
#include "platform/qt/skin/SkinSheet.h"

#include "platform/Failure.h"

#include <QRegularExpression>

#include <algorithm>

namespace vantorel
{

namespace
{

    /// The text without its comments; false when a comment is left open.
    bool stripComments(const QString& text, QString& out, qsizetype& openAt)
    {
        out.clear();
        out.reserve(text.size());
        qsizetype i = 0;
        while (i < text.size()) {
            if (text.at(i) == u'/' && i + 1 < text.size() && text.at(i + 1) == u'*') {
                const qsizetype end = text.indexOf(QStringLiteral("*/"), i + 2);
                if (end < 0) {
                    openAt = i;
                    return false;
                }
                out.append(QLatin1Char(' '));
                i = end + 2;
            } else {
                out.append(text.at(i++));
            }
        }
        return true;
    }

    int lineOf(const QString& text, qsizetype position)
    {
        return int(text.left(position).count(QLatin1Char('\n'))) + 1;
    }

    // The "name: value" pairs of a rule's body; false at the first that is not one.
    bool readDeclarations(const QString& body, QList<SkinSheet::Declaration>& declarations)
    {
        static const QRegularExpression propertyName(QStringLiteral("^-?[A-Za-z][A-Za-z0-9-]*$"));
        for (const QString& part : body.split(QLatin1Char(';'))) {
            if (part.trimmed().isEmpty())
                continue;
            const qsizetype colon = part.indexOf(QLatin1Char(':'));
            const QString name = part.left(colon).trimmed();
            const QString value = part.mid(colon + 1).trimmed();
            if (colon < 0 || !propertyName.match(name).hasMatch() || value.isEmpty())
                return false;
            declarations.append({ name.toLower(), value });
        }
        return true;
    }

} // namespace

bool SkinSheet::parse(const QString& text, QString& error)
{
    m_text.clear();
    m_rules.clear();
    QString sheet;
    qsizetype openAt = 0;
    if (!stripComments(text, sheet, openAt)) {
        error
            = Failure::tr("a comment opened on line %1 is never closed").arg(lineOf(text, openAt));
        return false;
    }
    QList<Rule> rules;
    qsizetype i = 0;
    while (true) {
        const qsizetype open = sheet.indexOf(QLatin1Char('{'), i);
        const QString before = sheet.mid(i, open < 0 ? -1 : open - i).trimmed();
        if (open < 0) {
            if (!before.isEmpty()) {
                const qsizetype stray = sheet.indexOf(before.at(0), i);
                error = Failure::tr("line %1 has text outside any rule").arg(lineOf(sheet, stray));
                return false;
            }
            break;
        }
        if (before.isEmpty() || before.contains(QLatin1Char('}'))
            || before.contains(QLatin1Char(';'))) {
            error = Failure::tr("line %1 has a rule without a proper selector")
                        .arg(lineOf(sheet, open));
            return false;
        }
        const qsizetype close = sheet.indexOf(QLatin1Char('}'), open + 1);
        const qsizetype nested = sheet.indexOf(QLatin1Char('{'), open + 1);
        if (close < 0 || (nested >= 0 && nested < close)) {
            error = Failure::tr("the rule on line %1 is never closed").arg(lineOf(sheet, open));
            return false;
        }
        Rule rule { before.simplified(), {} };
        if (!readDeclarations(sheet.mid(open + 1, close - open - 1), rule.declarations)) {
            error = Failure::tr("the rule on line %1 has a declaration that is not \"name: value\"")
                        .arg(lineOf(sheet, open));
            return false;
        }
        rules.append(rule);
        i = close + 1;
    }
    if (rules.isEmpty()) {
        error = Failure::tr("it holds no rules");
        return false;
    }
    m_text = text;
    m_rules = rules;
    return true;
}

QColor SkinSheet::faceColour(const QString& windowName) const
{
    const QString byName = QLatin1Char('#') + windowName;
    const QString byClassAndName = QStringLiteral("QWidget") + byName;
    for (const Rule& rule : m_rules) {
        const QStringList selectors = rule.selector.split(QLatin1Char(','));
        bool forWindow = false;
        for (const QString& selector : selectors) {
            const QString s = selector.trimmed();
            forWindow = forWindow || s == byName || s == byClassAndName;
        }
        if (!forWindow)
            continue;
        for (const Declaration& declaration : rule.declarations) {
            if (declaration.name == u"background-color" || declaration.name == u"background") {
                const QColor colour = QColor::fromString(declaration.value);
                if (colour.isValid())
                    return colour;
            }
        }
    }
    return {};
}

QColor SkinSheet::colour(const QString& selector, const QString& property) const
{
    for (const Rule& rule : m_rules) {
        const QStringList selectors = rule.selector.split(QLatin1Char(','));
        const bool named = std::any_of(selectors.begin(), selectors.end(),
            [&](const QString& s) { return s.trimmed() == selector; });
        if (!named)
            continue;
        for (const Declaration& declaration : rule.declarations) {
            const QColor found = QColor::fromString(declaration.value);
            if (declaration.name == property && found.isValid())
                return found;
        }
    }
    return {};
}

bool SkinSheet::colourSet(const QString& windowName, QPalette& palette) const
{
    const QColor face = faceColour(windowName);
    const QColor text = colour(QStringLiteral("QWidget"), QStringLiteral("color"));
    if (!face.isValid() || !text.isValid())
        return false;
    // Shades and disabled colours follow from the face, as for any light theme.
    QPalette colours(face);
    const auto set = [&](QPalette::ColorRole role, const QColor& colour) {
        if (!colour.isValid())
            return;
        colours.setColor(QPalette::Active, role, colour);
        colours.setColor(QPalette::Inactive, role, colour);
    };
    for (const QPalette::ColorRole role :
        { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        set(role, text);
    QColor placeholder = text;
    placeholder.setAlpha(128);
    set(QPalette::PlaceholderText, placeholder);
    const QString workArea = QStringLiteral("QAbstractItemView");
    set(QPalette::Base, colour(workArea, QStringLiteral("background-color")));
    set(QPalette::Highlight, colour(workArea, QStringLiteral("selection-background-color")));
    set(QPalette::HighlightedText, colour(workArea, QStringLiteral("selection-color")));
    set(QPalette::ToolTipBase,
        colour(QStringLiteral("QToolTip"), QStringLiteral("background-color")));
    set(QPalette::ToolTipText, colour(QStringLiteral("QToolTip"), QStringLiteral("color")));
    palette = colours;
    return true;
}

} // namespace vantorel
