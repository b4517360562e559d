// SPDX-License-Identifier: MIT
#include "platform/qt/desktop/ProgramIcon.h"

#include <QPixmap>

// A library's resources must be registered by name from outside any namespace.
static void registerProgramResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace vantorel
{

QIcon ProgramIcon::icon()
{
    registerProgramResources();
    const QPixmap drawing(QStringLiteral(":/ostlebry.png"));
    QIcon icon;
    for (int size : { 16, 24, 32, 48, 64, 128, 256 })
        icon.addPixmap(drawing.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return icon;
}

} // namespace vantorel
