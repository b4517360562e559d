// SPDX-License-Identifier: MIT
#include "platform/list/ListModel.h"

#include "platform/Failure.h"
#include "platform/files/NativeFileUrl.h"

#include <QMetaObject>
#include <QMimeData>
#include <QUrl>
#include <algorithm>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace vantorel
{

ListModel::ListModel(bool checkable, QObject* parent)
    : QAbstractTableModel(parent)
    , m_checkable(checkable)
{
}

void ListModel::check(int position) const
{
    if (position < 0 || position >= m_store.size())
        throw Failure(Failure::tr(kIndexOutOfBounds));
}

QString ListModel::text(int position) const
{
    check(position);
    return m_store.text(position);
}

void ListModel::append(const QString& text)
{
    m_store.append(text);
    flushLater();
}

void ListModel::appendFolder(std::string_view nativePath, std::size_t nameLength, bool showFullPath)
{
    m_store.appendFolder(nativePath, nameLength, showFullPath);
    flushLater();
}

QString ListModel::fullPath(int position) const
{
    check(position);
    return m_store.fullPath(position);
}

QByteArray ListModel::nativePath(int position) const
{
    check(position);
    return m_store.nativePath(position);
}

QByteArray ListModel::rawText(int position) const
{
    check(position);
    return m_store.rawText(position);
}

// A command that appends and returns to the event loop without pumping must
// still get its rows shown.
void ListModel::flushLater()
{
    if (m_flushQueued)
        return;
    m_flushQueued = true;
    // By name: the functor overloads allocate a slot object the analyzer takes for a leak.
    QMetaObject::invokeMethod(this, "flushQueued", Qt::QueuedConnection);
}

void ListModel::flushQueued()
{
    m_flushQueued = false;
    flushPending();
}

void ListModel::flushPending()
{
    if (m_shown == m_store.size())
        return;
    beginInsertRows(QModelIndex(), m_shown, m_store.size() - 1);
    m_shown = m_store.size();
    endInsertRows();
}

void ListModel::removeAt(int position)
{
    check(position);
    flushPending();
    beginRemoveRows(QModelIndex(), position, position);
    m_store.removeRows({ position });
    m_shown = m_store.size();
    endRemoveRows();
}

void ListModel::removeAll(const std::vector<int>& ascendingPositions)
{
    if (ascendingPositions.empty())
        return;
    for (std::size_t i = 1; i < ascendingPositions.size(); ++i) {
        if (ascendingPositions[i] <= ascendingPositions[i - 1]) {
            removeOneByOne(ascendingPositions);
            return;
        }
    }
    check(ascendingPositions.front());
    check(ascendingPositions.back());
    flushPending();

    m_runs.clear();
    for (int position : ascendingPositions) {
        if (!m_runs.empty() && m_runs.back().first + m_runs.back().count == position)
            ++m_runs.back().count;
        else
            m_runs.push_back({ position, 1 });
    }
    if (m_runs.size() > kMostRunsAnnounced) {
        // Views spend time in proportion to the whole list on every removal
        // they are told of (QHeaderView walks its sections), so scattered
        // positions are announced as one new content instead.
        m_runs.clear();
        beginResetModel();
        m_store.removeRows(ascendingPositions);
        m_shown = m_store.size();
        endResetModel();
        return;
    }
    // From the bottom up, so that the rows above each run keep their places.
    m_firstAnnounced = m_runs.size();
    while (m_firstAnnounced > 0) {
        const Run run = m_runs[m_firstAnnounced - 1];
        beginRemoveRows(QModelIndex(), run.first, run.first + run.count - 1);
        --m_firstAnnounced;
        m_shown -= run.count;
        endRemoveRows();
    }
    m_runs.clear();
    m_store.removeRows(ascendingPositions);
}

// Positions out of order or repeated: exactly what removing them one at a
// time from the last to the first would do.
void ListModel::removeOneByOne(const std::vector<int>& positions)
{
    for (auto it = positions.rbegin(); it != positions.rend(); ++it)
        removeAt(*it);
}

int ListModel::storedRow(int shownRow) const
{
    int row = shownRow;
    for (std::size_t i = m_firstAnnounced; i < m_runs.size(); ++i) {
        if (m_runs[i].first > row)
            break;
        row += m_runs[i].count;
    }
    return row;
}

void ListModel::clear()
{
    beginResetModel();
    m_store.clear();
    m_shown = 0;
    endResetModel();
    // Freed memory that is not at the top of a heap (the search's threads
    // have heaps of their own) stays with the process until the C library is
    // asked for it: a cleared list of millions of rows would keep the window
    // near its peak.
#ifdef __GLIBC__
    ::malloc_trim(0);
#endif
}

bool ListModel::isChecked(int position) const
{
    check(position);
    return m_store.isChecked(position);
}

void ListModel::setChecked(int position, bool checked)
{
    check(position);
    if (m_store.isChecked(position) == checked)
        return;
    m_store.setChecked(position, checked);
    if (position < m_shown) {
        const QModelIndex changed = index(position, 0);
        emit dataChanged(changed, changed, { Qt::CheckStateRole });
    }
}

void ListModel::setAllChecked(bool checked)
{
    m_store.setAllChecked(checked);
    if (m_shown > 0)
        emit dataChanged(index(0, 0), index(m_shown - 1, 0), { Qt::CheckStateRole });
}

void ListModel::setCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    emit headerDataChanged(Qt::Horizontal, 0, 0);
}

int ListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_shown;
}

int ListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown || index.column() != 0)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return m_store.text(storedRow(index.row()));
    case Qt::CheckStateRole:
        if (!m_checkable)
            return QVariant();
        return m_store.isChecked(storedRow(index.row())) ? Qt::Checked : Qt::Unchecked;
    default:
        return QVariant();
    }
}

bool ListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!m_checkable || role != Qt::CheckStateRole || !index.isValid() || index.row() >= m_shown)
        return false;
    setChecked(index.row(), value.toInt() != Qt::Unchecked);
    return true;
}

Qt::ItemFlags ListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (m_checkable)
        result |= Qt::ItemIsUserCheckable;
    if (m_draggable)
        result |= Qt::ItemIsDragEnabled;
    return result;
}

QStringList ListModel::mimeTypes() const
{
    return { QStringLiteral("text/uri-list"), QStringLiteral("text/plain") };
}

QMimeData* ListModel::mimeData(const QModelIndexList& indexes) const
{
    std::vector<int> rows;
    for (const QModelIndex& index : indexes) {
        if (index.isValid() && index.model() == this && index.row() < m_shown)
            rows.push_back(storedRow(index.row()));
    }
    if (rows.empty())
        return nullptr;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());

    QList<QUrl> urls;
    QStringList paths;
    for (int row : rows) {
        urls.append(nativeFileUrl(m_store.nativePath(row)));
        paths.append(m_store.fullPath(row));
    }
    auto* data = new QMimeData;
    data->setUrls(urls);
    data->setText(paths.join(QLatin1Char('\n')));
    return data;
}

Qt::DropActions ListModel::supportedDragActions() const
{
    // The folders stay where they are: a drop may copy or link, never move.
    return Qt::CopyAction | Qt::LinkAction;
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole)
        return m_caption;
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace vantorel
