// SPDX-License-Identifier: MIT
#pragma once

#include "platform/SettingsBackend.h"

namespace vantorel {

/// The per-user settings store on QSettings: one file per application key in
/// the user's configuration folder, one group per section. Every write is
/// synced at once, because the program can end at any moment.
class QtSettingsBackend : public SettingsBackend
{
public:
    /// `configFolder` empty: the user's configuration folder.
    explicit QtSettingsBackend(QString configFolder = QString());

    std::optional<QString> read(const QString& application, const QString& section,
                                const QString& key) override;
    void write(const QString& application, const QString& section, const QString& key,
               const QString& value) override;

    QString filePath(const QString& application) const;

private:
    QString m_configFolder;
};

} // namespace vantorel
