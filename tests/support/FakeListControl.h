// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ListControl.h"

#include <QStringList>
#include <functional>

namespace vantorel::test
{

/// A list control held in memory, with columns of sub-items and an optional
/// operation that fails on demand.
class FakeListControl : public ListControl
{
public:
    explicit FakeListControl(QString caption = QString(), int columns = 1);

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
    int selectedRow() const override { return m_selected; }
    std::vector<int> selectedRows() const override;
    int columnCount() const override { return m_columns; }
    QString cellText(int position, int column) const override;
    QString columnCaption() const override { return m_caption; }
    void setColumnCaption(const QString& caption) override;
    void setColumnWidth(int twips) override { columnWidth = twips; }

    void setRows(const QStringList& rows);
    QStringList rows() const;
    void setSubItem(int position, int column, const QString& text);
    void select(int position)
    {
        m_selected = position;
        m_selection.clear();
    }
    /// Selects several rows at once; the first is the one selectedRow() gives.
    void selectRows(const std::vector<int>& positions);
    /// The full path kept with each row, in order.
    QStringList fullPaths() const;
    /// Every caption the first column showed, in order.
    const QStringList& captionHistory() const { return m_captionHistory; }
    /// Called before each operation with its name; may throw Failure.
    std::function<void(const char* operation)> beforeOperation;
    int removeCalls = 0;
    /// The first column's width in twips, -1 until set.
    int columnWidth = -1;

private:
    struct Row {
        QStringList cells;
        bool checked = false;
        QByteArray nativePath; ///< of a folder row; null for a text row
        QByteArray shownBytes; ///< what a folder row shows, as bytes
    };
    void check(int position) const;
    void hook(const char* operation) const;

    QList<Row> m_rows;
    QString m_caption;
    QStringList m_captionHistory;
    int m_columns;
    int m_selected = -1;
    std::vector<int> m_selection;
};

} // namespace vantorel::test
