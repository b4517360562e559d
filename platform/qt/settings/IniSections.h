// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace vantorel
{

/// The text of an INI settings file cut by section, so that one section can
/// be read and rewritten while every other one is kept byte for byte. One pass
/// over the text, whatever it holds.
class IniSections
{
public:
    /// `section` is the wanted section's name as a program names it, not as
    /// the file spells it ("Vantorel Software", not "Vantorel%20Software").
    IniSections(QByteArray text, const QString& section);

    /// The wanted section's lines that hold a value, trimmed, in file order (a
    /// section split in several parts gives all of them). They view this
    /// object's text.
    const QList<QByteArrayView>& keyLines() const { return m_keyLines; }
    /// The wanted section holds lines that are neither values, comments nor
    /// blank, or its header itself is damaged.
    bool damaged() const { return m_damaged; }
    /// The whole text with the wanted section replaced by `sectionText` (a
    /// header and its lines), standing where its first part stood, or at the end.
    QByteArray replaced(const QByteArray& sectionText) const;

private:
    struct Part {
        qsizetype begin;
        qsizetype end;
        bool wanted;
    };
    void startPart(qsizetype at, bool wanted);

    QByteArray m_text;
    QList<Part> m_parts;
    QList<QByteArrayView> m_keyLines;
    bool m_damaged = false;
};

} // namespace vantorel
