// SPDX-License-Identifier: MIT
#pragma once

#include "platform/settings/IniSections.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace vantorel
{

/// One section of an INI settings file held as its value lines, each with its
/// key but with its value undecoded, so that looking up or replacing one value
/// costs one pass over the lines whatever they hold, and the other values stand
/// byte for byte as they were.
class IniSectionEdit
{
public:
    /// Cuts `text` in one pass. `section` as for IniSections.
    IniSectionEdit(QByteArray text, const QString& section);

    /// The section holds lines that QSettings skips or that would run on into
    /// what follows them; they are dropped by text().
    bool damaged() const { return m_damaged; }
    /// The keys of the section's value lines, decoded, in line order; a key set
    /// on several lines comes once for each.
    QStringList keys() const;
    /// The last line that holds `key`, which is the one that counts.
    std::optional<QByteArrayView> lineOf(const QString& key) const;
    /// Puts `line` (of `key`) where the last line of that key stood, dropping the
    /// others, or for a new key before the first key that sorts after it.
    void setLine(const QString& key, const QByteArray& line);
    /// The whole text with the section as `header` and its value lines.
    QByteArray text(const QByteArray& header) const;
    /// After text() has replaced the file: what it holds is healthy.
    void forgetDamage() { m_damaged = false; }

private:
    struct Entry {
        Entry(QByteArrayView line, qsizetype keyLength);
        QByteArrayView line; // into m_sections' text or m_written
        int keyLength; // of the key as written, at the line's start
        bool escaped; // the key as written is not its own UTF-8: it must be decoded
        QByteArrayView writtenKey() const { return line.first(keyLength); }
    };
    /// `keyUtf8`: `key` in UTF-8, compared with keys written without escapes.
    static bool holds(const Entry& entry, const QString& key, const QByteArray& keyUtf8);
    qsizetype lastIndexOf(const QString& key) const;

    IniSections m_sections;
    QList<Entry> m_entries; // a few bytes a line: a section may hold 400,000
    QMap<QString, QByteArray> m_written; // the lines set, one a key
    bool m_damaged = false;
};

} // namespace vantorel
