// SPDX-License-Identifier: MIT
#include "FakeListControl.h"

#include "platform/Failure.h"

#include <QFile>
#include <algorithm>

namespace vantorel::test
{

FakeListControl::FakeListControl(QString caption, int columns)
    : m_caption(std::move(caption))
    , m_columns(columns)
{
}

void FakeListControl::hook(const char* operation) const
{
    if (beforeOperation)
        beforeOperation(operation);
}

void FakeListControl::check(int position) const
{
    if (position < 0 || position >= m_rows.size())
        throw Failure(QString::fromLatin1(kIndexOutOfBounds));
}

int FakeListControl::count() const
{
    hook("count");
    return int(m_rows.size());
}

QString FakeListControl::text(int position) const
{
    hook("text");
    check(position);
    return m_rows[position].cells.value(0);
}

void FakeListControl::append(const QString& text)
{
    hook("append");
    m_rows.append(Row { QStringList { text }, false, QByteArray(), QByteArray() });
}

void FakeListControl::appendFolder(
    std::string_view nativePath, std::size_t nameLength, bool showFullPath)
{
    hook("append");
    const QByteArray path(nativePath.data(), qsizetype(nativePath.size()));
    const QByteArray shown = showFullPath ? path : path.right(qsizetype(nameLength));
    m_rows.append(Row { QStringList { QFile::decodeName(shown) }, false, path, shown });
}

QString FakeListControl::fullPath(int position) const
{
    hook("fullPath");
    check(position);
    const Row& row = m_rows[position];
    return row.nativePath.isNull() ? row.cells.value(0) : QFile::decodeName(row.nativePath);
}

QByteArray FakeListControl::nativePath(int position) const
{
    hook("nativePath");
    check(position);
    const Row& row = m_rows[position];
    return row.nativePath.isNull() ? QFile::encodeName(row.cells.value(0)) : row.nativePath;
}

QByteArray FakeListControl::rawText(int position) const
{
    hook("rawText");
    check(position);
    const QByteArray& shown = m_rows[position].shownBytes;
    return QFile::encodeName(QFile::decodeName(shown)) == shown ? QByteArray() : shown;
}

QStringList FakeListControl::fullPaths() const
{
    QStringList result;
    for (int i = 0; i < m_rows.size(); ++i)
        result.append(fullPath(i));
    return result;
}

std::vector<int> FakeListControl::selectedRows() const
{
    if (!m_selection.empty())
        return m_selection;
    return m_selected < 0 ? std::vector<int>() : std::vector<int> { m_selected };
}

void FakeListControl::selectRows(const std::vector<int>& positions)
{
    m_selection = positions;
    std::sort(m_selection.begin(), m_selection.end());
    m_selected = m_selection.empty() ? -1 : m_selection.front();
}

void FakeListControl::removeAt(int position)
{
    hook("removeAt");
    check(position);
    ++removeCalls;
    m_rows.removeAt(position);
    m_selection.clear();
    if (m_selected >= int(m_rows.size()))
        m_selected = int(m_rows.size()) - 1;
}

void FakeListControl::removeRows(const std::vector<int>& ascendingPositions)
{
    hook("removeRows");
    // As removing one at a time from the end would: a position past the end
    // fails before any row goes, a negative one after the others have gone.
    if (!ascendingPositions.empty())
        check(ascendingPositions.back());
    auto next = std::lower_bound(ascendingPositions.begin(), ascendingPositions.end(), 0);
    const auto firstValid = next;
    qsizetype kept = firstValid == ascendingPositions.end() ? m_rows.size() : *firstValid;
    for (qsizetype i = kept; i < m_rows.size(); ++i) {
        if (next != ascendingPositions.end() && *next == i) {
            ++next;
            continue;
        }
        m_rows[kept++] = std::move(m_rows[i]);
    }
    m_rows.resize(kept);
    if (firstValid != ascendingPositions.begin())
        check(ascendingPositions.front());
    ++removeCalls;
}

void FakeListControl::clear()
{
    hook("clear");
    m_rows.clear();
    m_selected = -1;
    m_selection.clear();
}

bool FakeListControl::isChecked(int position) const
{
    hook("isChecked");
    check(position);
    return m_rows[position].checked;
}

void FakeListControl::setChecked(int position, bool checked)
{
    check(position);
    m_rows[position].checked = checked;
}

QString FakeListControl::cellText(int position, int column) const
{
    hook("cellText");
    check(position);
    return m_rows[position].cells.value(column);
}

void FakeListControl::setColumnCaption(const QString& caption)
{
    hook("setColumnCaption");
    m_caption = caption;
    m_captionHistory.append(caption);
}

void FakeListControl::setRows(const QStringList& rows)
{
    m_rows.clear();
    for (const QString& row : rows)
        m_rows.append(Row { QStringList { row }, false, QByteArray(), QByteArray() });
}

QStringList FakeListControl::rows() const
{
    QStringList result;
    for (const Row& row : m_rows)
        result.append(row.cells.value(0));
    return result;
}

void FakeListControl::setSubItem(int position, int column, const QString& text)
{
    check(position);
    QStringList& cells = m_rows[position].cells;
    while (cells.size() <= column)
        cells.append(QString());
    cells[column] = text;
}

} // namespace vantorel::test
