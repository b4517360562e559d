// SPDX-License-Identifier: MIT
#include "search/LocationReports.h"

#include "shell/common/GuardedProcedure.h"

#include <QDir>

namespace vantorel
{

namespace
{

    QString describe(const UnlistedFolder& folder)
    {
        return QDir::toNativeSeparators(folder.path) + QStringLiteral(": ") + folder.reason;
    }

    QString foldersText(qsizetype count)
    {
        if (count == 1)
            //: Begins "1 folder could not be read: ..." or "1 folder in 1 more location
            //: could not be read: ...".
            return LocationReports::tr("1 folder");
        //: Begins "3 folders could not be read; the first: ..." or "3 folders in 2 more
        //: locations could not be read; the first: ...".
        return LocationReports::tr("%1 folders").arg(count);
    }

    /// "1 folder could not be read: <path>: <reason>", or "N folders could
    /// not be read; the first: ...", with `where` after the count.
    QString unreadText(qsizetype count, const QString& where, const UnlistedFolder& first)
    {
        QString tail;
        if (count == 1)
            //: After "1 folder" or "1 folder in 1 more location"; the folder's path and
            //: the reason follow.
            tail = LocationReports::tr(" could not be read: ");
        else
            //: After "3 folders" or "3 folders in 2 more locations"; the first folder's
            //: path and the reason follow.
            tail = LocationReports::tr(" could not be read; the first: ");
        return foldersText(count) + where + tail + describe(first);
    }

} // namespace

bool LocationReports::reportAlone(const QString& description, int line)
{
    if (m_reported >= kReportedOneByOne)
        return false;
    ++m_reported;
    m_guard.report(description, line);
    return true;
}

void LocationReports::addUnsearched(const QString& description, int line)
{
    if (reportAlone(description, line))
        return;
    if (m_unsearched.locations++ == 0) {
        m_unsearched.first = description;
        m_unsearched.line = line;
    }
}

void LocationReports::addUnread(const WalkReport& report, int line)
{
    if (report.unlisted.empty()
        || reportAlone(
            unreadText(qsizetype(report.unlisted.size()), QString(), report.unlisted.front()),
            line))
        return;
    if (m_unread.locations++ == 0) {
        m_unread.first = report.unlisted.front();
        m_unread.line = line;
    }
    m_unread.folders += qsizetype(report.unlisted.size());
}

void LocationReports::finish()
{
    if (m_unsearched.locations > 0) {
        QString text;
        if (m_unsearched.locations == 1)
            //: After three locations reported one by one; the failure follows.
            text = tr("1 more location could not be searched: ");
        else
            //: After three locations reported one by one; the first one's failure follows.
            text = tr("%1 more locations could not be searched; the first: ")
                       .arg(m_unsearched.locations);
        m_guard.report(text + m_unsearched.first, m_unsearched.line);
    }
    if (m_unread.locations > 0) {
        QString where;
        if (m_unread.locations == 1)
            //: Between "2 folders" and " could not be read; the first: ".
            where = tr(" in 1 more location");
        else
            //: Between "3 folders" and " could not be read; the first: ".
            where = tr(" in %1 more locations").arg(m_unread.locations);
        m_guard.report(unreadText(m_unread.folders, where, m_unread.first), m_unread.line);
    }
    m_unsearched = {};
    m_unread = {};
}

} // namespace vantorel
