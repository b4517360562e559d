// SPDX-License-Identifier: MIT
#include "platform/qt/QtSettingsBackend.h"

#include "platform/Failure.h"

namespace vantorel
{

std::optional<QString> QtSettingsBackend::read(const QString&, const QString&, const QString&)
{
    return std::nullopt;
}

void QtSettingsBackend::write(const QString&, const QString&, const QString&, const QString&)
{
    throw Failure(QStringLiteral("The settings store is not available"));
}

} // namespace vantorel
