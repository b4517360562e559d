// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace vantorel
{

class GuardedProcedure;

/// Reports the locations a search could not search (gone, unreadable, or
/// with folders that could not be read): each in a box of its own for the
/// first few, the rest together in one box at the end of the search. A list
/// of hundreds of locations on an unplugged drive would otherwise hold the
/// user in front of hundreds of boxes, with no way to stop the search.
class LocationReports
{
public:
    static constexpr int kReportedOneByOne = 3;

    explicit LocationReports(GuardedProcedure& guard)
        : m_guard(guard)
    {
    }

    void add(const QString& description, int line);
    /// Reports the failures gathered, if any.
    void finish();

private:
    GuardedProcedure& m_guard;
    int m_reported = 0;
    int m_gathered = 0;
    QString m_firstGathered;
    int m_firstGatheredLine = 0;
};

} // namespace vantorel
