// SPDX-License-Identifier: MIT
#include "platform/qt/list/QtListControl.h"

#include "platform/Failure.h"
#include "platform/list/ListModel.h"
#include "platform/qt/list/ListView.h"

#include <QItemSelectionModel>
#include <algorithm>

namespace vantorel
{

QtListControl::QtListControl(ListModel& model, ListView& view)
    : m_model(model)
    , m_view(view)
{
}

int QtListControl::count() const
{
    return m_model.total();
}

QString QtListControl::text(int position) const
{
    return m_model.text(position);
}

void QtListControl::append(const QString& text)
{
    m_model.append(text);
}

void QtListControl::appendFolder(
    std::string_view nativePath, std::size_t nameLength, bool showFullPath)
{
    m_model.appendFolder(nativePath, nameLength, showFullPath);
}

QString QtListControl::fullPath(int position) const
{
    return m_model.fullPath(position);
}

QByteArray QtListControl::nativePath(int position) const
{
    return m_model.nativePath(position);
}

QByteArray QtListControl::rawText(int position) const
{
    return m_model.rawText(position);
}

void QtListControl::removeAt(int position)
{
    m_model.removeAt(position);
}

void QtListControl::removeRows(const std::vector<int>& ascendingPositions)
{
    // A removal of many scattered rows resets the model, which clears the
    // selection: select the row again where it moved to.
    const int selected = selectedRow();
    m_model.removeAll(ascendingPositions);
    if (selected < 0 || selectedRow() >= 0
        || !std::is_sorted(ascendingPositions.begin(), ascendingPositions.end()))
        return;
    const auto before
        = std::lower_bound(ascendingPositions.begin(), ascendingPositions.end(), selected);
    if (before != ascendingPositions.end() && *before == selected)
        return;
    m_view.selectRow(selected - int(before - ascendingPositions.begin()));
}

void QtListControl::clear()
{
    m_model.clear();
}

bool QtListControl::isChecked(int position) const
{
    return m_model.isChecked(position);
}

void QtListControl::setChecked(int position, bool checked)
{
    m_model.setChecked(position, checked);
}

void QtListControl::setAllChecked(bool checked)
{
    m_model.setAllChecked(checked);
}

std::vector<int> QtListControl::selectedRows() const
{
    std::vector<int> rows;
    if (const QItemSelectionModel* selection = m_view.selectionModel()) {
        for (const QModelIndex& index : selection->selectedRows())
            rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

int QtListControl::selectedRow() const
{
    const QItemSelectionModel* selection = m_view.selectionModel();
    if (!selection)
        return -1;
    const QModelIndexList rows = selection->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

int QtListControl::currentRow() const
{
    const QModelIndex current = m_view.currentIndex();
    return current.isValid() ? current.row() : -1;
}

int QtListControl::columnCount() const
{
    return m_model.columnCount();
}

QString QtListControl::cellText(int position, int column) const
{
    if (column < 0 || column >= m_model.columnCount())
        throw Failure(Failure::tr(kIndexOutOfBounds));
    return m_model.text(position);
}

QString QtListControl::columnCaption() const
{
    return m_model.caption();
}

void QtListControl::setColumnCaption(const QString& caption)
{
    m_model.setCaption(caption);
}

void QtListControl::setColumnWidth(int twips)
{
    m_view.setFirstColumnWidth((twips + 7) / 15);
}

} // namespace vantorel
