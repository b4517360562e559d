// SPDX-License-Identifier: MIT
// Stand-ins for the window's controls, for running the walk with no window.
#pragma once

#include "platform/EventPump.h"
#include "platform/Failure.h"
#include "platform/ListControl.h"
#include "platform/SettingsBackend.h"
#include "platform/WindowControls.h"

#include <QStringList>
#include <vector>

namespace vantorel::bench
{

/// A list in memory whose removal compacts the rows in one pass.
class MemoryList : public ListControl
{
public:
    int count() const override { return int(m_rows.size()); }
    QString text(int position) const override { return at(position).text; }
    void append(const QString& text) override { m_rows.push_back({ text, false }); }
    void removeAt(int position) override
    {
        at(position);
        m_rows.erase(m_rows.begin() + position);
    }
    void removeRows(const std::vector<int>& ascending) override
    {
        std::size_t next = 0;
        std::size_t kept = 0;
        for (std::size_t i = 0; i < m_rows.size(); ++i) {
            if (next < ascending.size() && std::size_t(ascending[next]) == i) {
                ++next;
                continue;
            }
            if (kept != i)
                m_rows[kept] = std::move(m_rows[i]);
            ++kept;
        }
        m_rows.resize(kept);
    }
    void clear() override { m_rows.clear(); }
    bool isChecked(int position) const override { return at(position).checked; }
    void setChecked(int position, bool checked) override { m_rows.at(position).checked = checked; }
    int selectedRow() const override { return -1; }
    int columnCount() const override { return 1; }
    QString cellText(int position, int column) const override
    {
        return column == 0 ? at(position).text : QString();
    }
    QString columnCaption() const override { return m_caption; }
    void setColumnCaption(const QString& caption) override { m_caption = caption; }
    void setColumnWidth(int) override { }

    QStringList rows() const
    {
        QStringList texts;
        texts.reserve(qsizetype(m_rows.size()));
        for (const Row& row : m_rows)
            texts.append(row.text);
        return texts;
    }

private:
    struct Row {
        QString text;
        bool checked;
    };
    const Row& at(int position) const
    {
        if (position < 0 || std::size_t(position) >= m_rows.size())
            throw Failure(QString::fromLatin1(kIndexOutOfBounds));
        return m_rows[position];
    }
    std::vector<Row> m_rows;
    QString m_caption;
};

class FullPathOption : public OptionControl
{
public:
    bool isSelected() const override { return true; }
    void select() override { }
};

/// A settings store that holds nothing: the benchmarks time the work, not the store.
class NoSettings : public SettingsBackend
{
public:
    std::optional<QString> read(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    void write(const QString&, const QString&, const QString&, const QString&) override { }
};

class NullPump : public EventPump
{
public:
    void pump() override { }
};

} // namespace vantorel::bench
