// SPDX-License-Identifier: MIT
// Walks one folder with the search engine, with no window: rows go to a list
// held in memory and the event pump does nothing.
//
//   bench_walk ROOT [PHRASE] [--match-case] [--print]
//
// Prints the number of rows and the walk's time to stderr; with --print, the
// rows to stdout, one a line.

#include "platform/Failure.h"
#include "platform/qt/SystemFolderService.h"
#include "search/FolderSearchEngine.h"

#include <QStringList>

#include <chrono>
#include <cstdio>
#include <cstring>

using namespace vantorel;

namespace {

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

} // namespace

int main(int argc, char** argv)
{
    QString root;
    QString phrase = QStringLiteral("alpha");
    qint16 compareMode = 1;
    bool print = false;
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--match-case") == 0)
            compareMode = 0;
        else if (std::strcmp(argv[i], "--print") == 0)
            print = true;
        else if (positional++ == 0)
            root = QString::fromLocal8Bit(argv[i]);
        else
            phrase = QString::fromLocal8Bit(argv[i]);
    }
    if (root.isEmpty()) {
        std::fprintf(stderr, "usage: %s ROOT [PHRASE] [--match-case] [--print]\n", argv[0]);
        return 2;
    }

    SystemFolderService folders;
    SearchState state;
    FullPathOption option;
    MemoryList locations;
    MemoryList results;
    NullPump pump;
    try {
        const auto start = std::chrono::steady_clock::now();
        const Folder folder = folders.getFolder(root);
        const SearchEngineContext context{state, option, locations, pump, folders};
        const WalkReport report = GetSubDirectories2016(folder, phrase, compareMode, results, context);
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        std::fprintf(stderr, "rows %lld, unlisted %zu, walk %.1f ms\n",
                     static_cast<long long>(results.count()), report.unlisted.size(), took.count());
    } catch (const Failure& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
    if (print)
        for (const QString& row : results.rows())
            std::printf("%s\n", row.toLocal8Bit().constData());
    return 0;
}
