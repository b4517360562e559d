// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QList>
#include <QPalette>
#include <QString>

namespace vantorel
{

/// A skin file: a Qt style sheet, checked before it is used. Qt accepts any
/// text and only warns when it cannot parse it, so a broken skin would show as
/// an unstyled window with no word of why; the check makes it a load failure.
class SkinSheet
{
public:
    struct Declaration {
        QString name;
        QString value;
    };
    struct Rule {
        QString selector;
        QList<Declaration> declarations;
    };

    /// Parses `text`; on failure returns false and says why in `error`.
    bool parse(const QString& text, QString& error);

    const QString& text() const { return m_text; }
    const QList<Rule>& rules() const { return m_rules; }

    /// The skin's face colour: the background the sheet gives the window named
    /// `windowName` ("#Form1" or "QWidget#Form1"); invalid when it gives none.
    QColor faceColour(const QString& windowName) const;

    /// The plain colour that `property` takes in the first rule naming
    /// `selector` among its selectors; invalid when none gives one.
    QColor colour(const QString& selector, const QString& property) const;

    /// The skin's colours as a whole palette, text and backgrounds together,
    /// for whatever the sheet does not draw itself (menus, the parts of the
    /// desktop's dialogs); false when the sheet names no face or text colour.
    bool colourSet(const QString& windowName, QPalette& palette) const;

private:
    QString m_text;
    QList<Rule> m_rules;
};

} // namespace vantorel
