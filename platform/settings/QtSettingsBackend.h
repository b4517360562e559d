// SPDX-License-Identifier: MIT
#pragma once

#include "platform/SettingsBackend.h"
#include "platform/settings/IniSectionEdit.h"

#include <memory>

namespace vantorel
{

/// The per-user settings store: one INI file per application key in the
/// user's configuration folder, one section per section, in the format of
/// QSettings. Only the value written is rewritten; the other values and
/// sections stay as they stand. Every write is on disk at once, because the
/// program can end at any moment.
class QtSettingsBackend : public SettingsBackend
{
public:
    /// Larger files are not read: settings are a few values, and every
    /// keystroke rewrites the file.
    static constexpr qint64 kMaxFileBytes = qint64(4) * 1024 * 1024;
    static constexpr qint64 kMaxFileMegabytes = kMaxFileBytes / (qint64(1024) * 1024);

    /// `configFolder` empty: the user's configuration folder.
    explicit QtSettingsBackend(QString configFolder = QString());

    std::optional<QString> read(
        const QString& application, const QString& section, const QString& key) override;
    void write(const QString& application, const QString& section, const QString& key,
        const QString& value) override;

    QString filePath(const QString& application) const;
    /// How many times a file's text was cut into sections: once per start,
    /// and once more each time another program changes the file.
    int parses() const { return m_parses; }

private:
    /// The file as this store last read or wrote it, cut for one section.
    struct Cache {
        QString file;
        QString section;
        QByteArray text;
        IniSectionEdit edit;
    };
    /// The section of `text`, cut again only when the text is not the cached one.
    IniSectionEdit& sectionOf(const QString& file, const QString& section, const QByteArray& text);

    QString m_configFolder;
    std::unique_ptr<Cache> m_cache;
    int m_parses = 0;
};

} // namespace vantorel
