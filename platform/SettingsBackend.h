// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <optional>

namespace vantorel
{

/// The per-user settings store, addressed by application key, section and key.
/// Operations that fail throw Failure.
class SettingsBackend
{
public:
    virtual ~SettingsBackend() = default;
    /// The stored text, or nothing when the value is absent.
    virtual std::optional<QString> read(
        const QString& application, const QString& section, const QString& key)
        = 0;
    /// Stores the text and makes sure it has reached the disk.
    virtual void write(const QString& application, const QString& section, const QString& key,
        const QString& value)
        = 0;
};

} // namespace vantorel
