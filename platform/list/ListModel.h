// SPDX-License-Identifier: MIT
#pragma once

#include "platform/list/RowTextStore.h"

#include <QAbstractTableModel>
#include <vector>

namespace vantorel
{

/// The rows of one list view: one column, compact storage, optional check
/// marks. Rows appended are stored at once but shown to the views in batches,
/// by flushPending(), so that the cost of showing them does not grow with the
/// rows the list already holds. Positions outside the list throw
/// Failure(kIndexOutOfBounds). A list whose rows may be dragged out gives them
/// as file addresses of their folders.
class ListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ListModel(bool checkable, QObject* parent = nullptr);

    /// Every row held, shown or not yet shown.
    int total() const { return m_store.size(); }
    QString text(int position) const;
    void append(const QString& text);
    /// Appends a row for a folder: see ListControl::appendFolder().
    void appendFolder(std::string_view nativePath, std::size_t nameLength, bool showFullPath);
    QString fullPath(int position) const;
    QByteArray nativePath(int position) const;
    QByteArray rawText(int position) const;
    void removeAt(int position);
    /// Removes the rows at ascending positions; each run of adjacent positions
    /// leaves the views in one removal, or, when there are more runs than
    /// kMostRunsAnnounced, the views are given the new content in one reset.
    void removeAll(const std::vector<int>& ascendingPositions);
    static constexpr std::size_t kMostRunsAnnounced = 32;
    void clear();
    bool isChecked(int position) const;
    void setChecked(int position, bool checked);
    void setAllChecked(bool checked);
    /// Lets the views drag rows out of the list.
    void setDraggable(bool draggable) { m_draggable = draggable; }

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);

    /// Tells the views about every row appended since the last flush.
    void flushPending();
    /// Rows appended but not yet shown.
    int pending() const { return m_store.size() - m_shown; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    /// The rows of `indexes`, in list order, as file addresses of their
    /// folders, byte for byte, and as plain text, one full path a line.
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Run {
        int first;
        int count;
    };

    void check(int position) const;
    void flushLater();
    Q_INVOKABLE void flushQueued();
    /// The stored row behind a shown row while a removal is being announced.
    int storedRow(int shownRow) const;
    void removeOneByOne(const std::vector<int>& positions);

    RowTextStore m_store;
    QString m_caption;
    int m_shown = 0;
    bool m_checkable;
    bool m_draggable = false;
    bool m_flushQueued = false;
    /// Runs of a removal in progress, ascending; those from m_firstAnnounced
    /// on have already left the views but not yet the store.
    std::vector<Run> m_runs;
    std::size_t m_firstAnnounced = 0;
};

} // namespace vantorel
