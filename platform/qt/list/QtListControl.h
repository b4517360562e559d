// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ListControl.h"

namespace vantorel
{

class ListModel;
class ListView;

/// The list control the logic works on: the rows of a ListModel and the
/// selection of the ListView that shows them.
class QtListControl : public ListControl
{
public:
    QtListControl(ListModel& model, ListView& view);

    int count() const override;
    QString text(int position) const override;
    void append(const QString& text) override;
    void appendFolder(
        std::string_view nativePath, std::size_t nameLength, bool showFullPath) override;
    QString fullPath(int position) const override;
    QByteArray nativePath(int position) const override;
    QByteArray rawText(int position) const override;
    void removeAt(int position) override;
    void removeRows(const std::vector<int>& ascendingPositions) override;
    void clear() override;
    bool isChecked(int position) const override;
    void setChecked(int position, bool checked) override;
    void setAllChecked(bool checked) override;
    int selectedRow() const override;
    std::vector<int> selectedRows() const override;
    int currentRow() const override;
    int columnCount() const override;
    QString cellText(int position, int column) const override;
    QString columnCaption() const override;
    void setColumnCaption(const QString& caption) override;
    void setColumnWidth(int twips) override;

private:
    ListModel& m_model;
    ListView& m_view;
};

} // namespace vantorel
