// SPDX-License-Identifier: MIT
#pragma once

#include "platform/SettingsBackend.h"

namespace vantorel
{

/// The per-user settings store: one INI file per application key in the
/// user's configuration folder, one section per section, in the format of
/// QSettings. Only the section written is rewritten; the others stay as they
/// stand. Every write is on disk at once, because the program can end at any
/// moment.
class QtSettingsBackend : public SettingsBackend
{
public:
    /// Larger files are not read: settings are a few values, and every
    /// keystroke rewrites the file.
    static constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;

    /// `configFolder` empty: the user's configuration folder.
    explicit QtSettingsBackend(QString configFolder = QString());

    std::optional<QString> read(
        const QString& application, const QString& section, const QString& key) override;
    void write(const QString& application, const QString& section, const QString& key,
        const QString& value) override;

    QString filePath(const QString& application) const;

private:
    QString m_configFolder;
};

} // namespace vantorel
