// SPDX-License-Identifier: MIT
#pragma once

#include "platform/settings/IniLines.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace vantorel
{

/// The text of an INI settings file cut by section, exactly where QSettings
/// cuts it, so that one section can be read and rewritten while every other
/// one is kept byte for byte. One pass over the text, whatever it holds.
class IniSections
{
public:
    /// `section` is the wanted section's name as a program names it, not as
    /// the file spells it ("Vantorel Software", not "Vantorel%20Software").
    IniSections(QByteArray text, const QString& section);

    /// A line of the wanted section that holds a value, with the length of its
    /// key as written at its start. It views this object's text.
    struct KeyLine {
        QByteArrayView line;
        qsizetype keyLength;
    };
    /// The wanted section's value lines in file order (a section split in
    /// several parts gives all of them).
    const QList<KeyLine>& keyLines() const { return m_keyLines; }
    /// The wanted section holds lines that QSettings skips or that would run on
    /// into whatever follows them, or its header is damaged. Such lines are not
    /// among keyLines().
    bool damaged() const { return m_damaged; }
    /// The whole text with the wanted section replaced by `sectionText` (a
    /// header and its lines), standing where its first part stood. A section
    /// that was not there goes at the end, or before the section whose last
    /// line runs on to the end, which would take in anything after it.
    QByteArray replaced(const QByteArray& sectionText) const;

private:
    struct Part {
        qsizetype begin;
        qsizetype end;
        bool wanted;
    };
    void startPart(qsizetype at, bool wanted);
    /// Takes one line of the wanted section.
    void takeLine(const IniLine& line);

    QByteArray m_text;
    qsizetype m_byteOrderMark = 0;
    QList<Part> m_parts;
    QList<KeyLine> m_keyLines;
    bool m_damaged = false;
    bool m_lastLineRunsOn = false;
};

} // namespace vantorel
