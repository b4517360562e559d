// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <algorithm>
#include <string_view>
#include <vector>

namespace vantorel
{

/// A list shown in report view. Positions are 0-based here; the commands
/// count from 1 where their messages do. Every operation given a position
/// outside the list throws Failure(kIndexOutOfBounds).
class ListControl
{
public:
    virtual ~ListControl() = default;

    virtual int count() const = 0;
    /// Text of the first column of a row.
    virtual QString text(int position) const = 0;
    /// Appends one row with the given text, unticked.
    virtual void append(const QString& text) = 0;
    /// Appends one row, unticked, for the folder at `nativePath`, the full path
    /// as the file system names it, whose last `nameLength` bytes are its
    /// name. The row shows the full path or the name alone, decoded; the bytes
    /// stay with it, so that a name that is not valid text still opens, copies
    /// and saves as the folder it is.
    virtual void appendFolder(
        std::string_view nativePath, std::size_t nameLength, bool showFullPath)
    {
        nameLength = std::min(nameLength, nativePath.size());
        const std::string_view shown
            = showFullPath ? nativePath : nativePath.substr(nativePath.size() - nameLength);
        append(QFile::decodeName(QByteArray(shown.data(), qsizetype(shown.size()))));
    }
    /// The full path of a folder row, decoded; the text of any other row.
    virtual QString fullPath(int position) const { return text(position); }
    /// The full path of a folder row as the file system names it; the text of
    /// any other row in the file name encoding.
    virtual QByteArray nativePath(int position) const
    {
        return QFile::encodeName(fullPath(position));
    }
    /// The file system's own bytes of what a folder row shows when its text
    /// cannot carry them (they are not valid in the file name encoding); a null
    /// array for every other row, whose text is all there is.
    virtual QByteArray rawText(int position) const
    {
        (void)text(position);
        return QByteArray();
    }
    virtual void removeAt(int position) = 0;
    /// Removes the rows at the given ascending positions, with the same result
    /// as removing them one by one from the last to the first.
    virtual void removeRows(const std::vector<int>& ascendingPositions) = 0;
    virtual void clear() = 0;

    virtual bool isChecked(int position) const = 0;
    virtual void setChecked(int position, bool checked) = 0;
    virtual void setAllChecked(bool checked)
    {
        for (int position = 0, rows = count(); position < rows; ++position)
            setChecked(position, checked);
    }

    /// The selected row, or -1 when none is.
    virtual int selectedRow() const = 0;
    /// The row the keyboard is on, selected or not, or -1 when there is none.
    virtual int currentRow() const { return selectedRow(); }
    /// Every selected row, ascending.
    virtual std::vector<int> selectedRows() const
    {
        const int row = selectedRow();
        return row < 0 ? std::vector<int>() : std::vector<int> { row };
    }

    virtual int columnCount() const = 0;
    /// Column 0 is the row's text; a higher column is a sub-item (empty when unset).
    virtual QString cellText(int position, int column) const = 0;
    /// Caption of the first column.
    virtual QString columnCaption() const = 0;
    virtual void setColumnCaption(const QString& caption) = 0;
    /// Width of the first column, in twips (15 to a pixel).
    virtual void setColumnWidth(int twips) = 0;
};

} // namespace vantorel
