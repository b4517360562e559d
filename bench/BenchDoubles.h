// SPDX-License-Identifier: MIT
// Stand-ins for the window's controls, for running the walk with no window.
#pragma once

#include "platform/EventPump.h"
#include "platform/ListControl.h"
#include "platform/WindowControls.h"

#include <QStringList>

namespace vantorel::bench {

/// Rows held in a plain list of text.
class MemoryList : public ListControl
{
public:
    int count() const override { return int(m_rows.size()); }
    QString text(int position) const override { return m_rows.at(position); }
    void append(const QString& text) override { m_rows.append(text); }
    void removeAt(int position) override { m_rows.removeAt(position); }
    void removeRows(const std::vector<int>& positions) override
    {
        for (auto it = positions.rbegin(); it != positions.rend(); ++it)
            m_rows.removeAt(*it);
    }
    void clear() override { m_rows.clear(); }
    bool isChecked(int) const override { return false; }
    void setChecked(int, bool) override {}
    int selectedRow() const override { return -1; }
    int columnCount() const override { return 1; }
    QString cellText(int position, int column) const override
    {
        return column == 0 ? m_rows.at(position) : QString();
    }
    QString columnCaption() const override { return m_caption; }
    void setColumnCaption(const QString& caption) override { m_caption = caption; }
    void setColumnWidth(int) override {}

    const QStringList& rows() const { return m_rows; }

private:
    QStringList m_rows;
    QString m_caption;
};

class FullPathOption : public OptionControl
{
public:
    bool isSelected() const override { return true; }
    void select() override {}
};

class NullPump : public EventPump
{
public:
    void pump() override {}
};

} // namespace vantorel::bench
