// SPDX-License-Identifier: MIT
#include "search/LocationReports.h"

#include "shell/common/GuardedProcedure.h"

namespace vantorel
{

void LocationReports::add(const QString& description, int line)
{
    if (m_reported < kReportedOneByOne) {
        ++m_reported;
        m_guard.report(description, line);
        return;
    }
    if (m_gathered++ == 0) {
        m_firstGathered = description;
        m_firstGatheredLine = line;
    }
}

void LocationReports::finish()
{
    if (m_gathered == 0)
        return;
    const QString text = m_gathered == 1
        ? QStringLiteral("1 more location could not be searched: ")
        : QStringLiteral("%1 more locations could not be searched; the first: ").arg(m_gathered);
    m_guard.report(text + m_firstGathered, m_firstGatheredLine);
    m_gathered = 0;
}

} // namespace vantorel
