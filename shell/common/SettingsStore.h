// SPDX-License-Identifier: MIT
#pragma once

#include "platform/SettingsBackend.h"

#include <QString>

namespace vantorel
{

/// The program's values in the per-user store, under application key
/// "Ostlebry" and section "Vantorel Software".
class SettingsStore
{
public:
    static inline const QString kCheck4 = QStringLiteral("Check4");
    static inline const QString kText1 = QStringLiteral("Text1");
    static inline const QString kLastFolder = QStringLiteral("LastFolder");
    /// The folder of the last save, where the save dialog opens next time.
    static inline const QString kLastSaveFolder = QStringLiteral("LastSaveFolder");

    explicit SettingsStore(SettingsBackend& backend)
        : m_backend(backend)
    {
    }

    /// The stored text, or `defaultValue` when it is absent. Throws Failure
    /// when the store itself fails.
    QString GetSetting(const QString& key, const QString& defaultValue) const;
    /// Stores the text at once. Throws Failure when the store fails.
    void SaveSetting(const QString& key, const QString& value);
    /// The same for the setting writers, which report nothing: false when the store failed.
    bool SaveSettingQuietly(const QString& key, const QString& value);

private:
    SettingsBackend& m_backend;
};

} // namespace vantorel
