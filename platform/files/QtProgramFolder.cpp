// SPDX-License-Identifier: MIT
#include "platform/files/QtProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

namespace vantorel
{

QString QtProgramFolder::path() const
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString QtProgramFolder::separator() const
{
    return QString(QDir::separator());
}

} // namespace vantorel
