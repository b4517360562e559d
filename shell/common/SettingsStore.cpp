// SPDX-License-Identifier: MIT
#include "shell/common/SettingsStore.h"

#include "platform/Failure.h"
#include "shell/common/ProductInfo.h"

namespace vantorel
{

namespace
{
    const QString kApplication = QLatin1String(product::kSettingsApplication);
    const QString kSection = QLatin1String(product::kSettingsSection);
} // namespace

QString SettingsStore::GetSetting(const QString& key, const QString& defaultValue) const
{
    return m_backend.read(kApplication, kSection, key).value_or(defaultValue);
}

void SettingsStore::SaveSetting(const QString& key, const QString& value)
{
    m_backend.write(kApplication, kSection, key, value);
}

bool SettingsStore::SaveSettingQuietly(const QString& key, const QString& value)
{
    try {
        SaveSetting(key, value);
        return true;
    } catch (const Failure&) {
        return false;
    }
}

} // namespace vantorel
