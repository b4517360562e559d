// SPDX-License-Identifier: MIT
#include "shell/common/GuardedProcedure.h"

#include "shell/common/ProductInfo.h"

namespace vantorel
{

// The line that names the procedure and the line stays as written in every
// language: support reads it, and finds the statement by it.
QString composeFailureReport(const QString& description, const QString& location, int line)
{
    return description + QStringLiteral("\r\n") + location + QStringLiteral("at line ")
        + QString::number(line) + QStringLiteral("\r\r") + supportLine(product::supportAddress());
}

QString supportLine(const QString& supportAddress)
{
    if (supportAddress.isEmpty())
        return GuardedProcedure::tr("Please keep a screenshot of this message: no support "
                                    "address was set when this copy of Ostlebry was built.");
    //: The support e-mail address follows.
    return GuardedProcedure::tr("Please email screenshot of this message to ") + supportAddress;
}

QString locationText(const QString& procedureName)
{
    return QStringLiteral("in ") + QLatin1String(product::kProjectName)
        + QLatin1String(product::kBuildStamp) + QLatin1Char('.')
        + QLatin1String(product::kWindowName) + QLatin1Char('.') + procedureName + QLatin1Char(' ');
}

GuardedProcedure::GuardedProcedure(MessageBoxes& boxes, const QString& procedureName)
    : m_boxes(boxes)
    , m_location(locationText(procedureName))
{
}

void GuardedProcedure::report(const QString& description, int line)
{
    // A box that cannot be shown has nowhere to report to: the procedure goes on.
    try {
        m_boxes.failureReport(composeFailureReport(description, m_location, line));
    } catch (...) {
    }
}

} // namespace vantorel
