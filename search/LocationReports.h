// SPDX-License-Identifier: MIT
#pragma once

#include "search/FolderSearchEngine.h"

#include <QCoreApplication>
#include <QString>

namespace vantorel
{

class GuardedProcedure;

/// Reports the locations a search could not search (gone, not a folder) and
/// the folders that could not be read in the locations it searched: each in a
/// box of its own for the first few, the rest together at the end of the
/// search, one box for each kind. A list of hundreds of locations on an
/// unplugged drive would otherwise hold the user in front of hundreds of
/// boxes, with no way to stop the search.
class LocationReports
{
    Q_DECLARE_TR_FUNCTIONS(LocationReports)

public:
    static constexpr int kReportedOneByOne = 3;

    explicit LocationReports(GuardedProcedure& guard)
        : m_guard(guard)
    {
    }

    /// A location that could not be searched, failed at `line`.
    void addUnsearched(const QString& description, int line);
    /// A searched location whose walk, at `line`, could not read some
    /// folders; nothing when it read them all.
    void addUnread(const WalkReport& report, int line);
    /// Reports the failures gathered, if any.
    void finish();

private:
    /// Whether the report was shown on its own; gathered otherwise.
    bool reportAlone(const QString& description, int line);

    struct Unsearched {
        int locations = 0;
        QString first; ///< the first location's failure
        int line = 0;
    };
    struct Unread {
        int locations = 0;
        qsizetype folders = 0;
        UnlistedFolder first;
        int line = 0;
    };

    GuardedProcedure& m_guard;
    int m_reported = 0;
    Unsearched m_unsearched;
    Unread m_unread;
};

} // namespace vantorel
