// SPDX-License-Identifier: MIT
// Stand-in until the settings store lands: reads find nothing, writes fail.
#pragma once

#include "platform/SettingsBackend.h"

namespace vantorel
{

class QtSettingsBackend : public SettingsBackend
{
public:
    QtSettingsBackend() = default;
    std::optional<QString> read(
        const QString& application, const QString& section, const QString& key) override;
    void write(const QString& application, const QString& section, const QString& key,
        const QString& value) override;
};

} // namespace vantorel
