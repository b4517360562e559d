// SPDX-License-Identifier: MIT
// Times the results commands on a million rows against the tools a user would
// otherwise reach for: grep for the filters, a plain buffered writer for the save.
#include "platform/Failure.h"
#include "platform/files/QtOutputFileService.h"
#include "results/ListClipboardText.h"
#include "results/ResultFilters.h"
#include "results/SaveResultsCommand.h"
#include "support/FakeControls.h"
#include "support/FakeListControl.h"
#include "support/FakeMainWindow.h"

#include <QByteArray>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <unistd.h>
#include <vector>

using namespace vantorel;
using vantorel::test::FakeListControl;

namespace
{

constexpr int kRows = 1000000;

class QuietBoxes : public MessageBoxes
{
public:
    QString applicationTitle() const override { return QStringLiteral("Vantorel"); }
    void setApplicationTitle(const QString&) override { }
    void information(const QString& text) override
    {
        std::printf("  message: %s\n", qPrintable(text));
    }
    bool askYesNo(const QString&) override { return true; }
    void failureReport(const QString& text) override
    {
        std::printf("  FAILURE: %s\n", qPrintable(text));
    }
    QString inputBox(const QString&) override { return QString(); }
};

class SizeClipboard : public Clipboard
{
public:
    bool clear() override { return true; }
    bool setText(const QString& text, int) override
    {
        size = text.size();
        return true;
    }
    qsizetype size = 0;
};

QString rowText(int i)
{
    // Every other row carries the phrase, in mixed case.
    return QStringLiteral("C:\\Users\\someone\\Documents\\Projects\\%1\\folder-%2")
        .arg(i % 2 ? QStringLiteral("Archive") : QStringLiteral("ALPHA-work"))
        .arg(i, 7, 10, QLatin1Char('0'));
}

void fill(FakeListControl& list, bool ticked)
{
    list.clear();
    for (int i = 0; i < kRows; ++i) {
        list.append(rowText(i));
        if (ticked)
            list.setChecked(i, true);
    }
}

template <class Work> double seconds(Work&& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double shell(const QString& command)
{
    return seconds([&] {
        if (std::system(command.toLocal8Bit().constData()) != 0)
            std::printf("  (command failed or found nothing: %s)\n", qPrintable(command));
    });
}

void line(const char* what, double ours, const char* against, double theirs)
{
    std::printf("%-34s %8.3f s   %-28s %8.3f s   ratio %5.2f\n", what, ours, against, theirs,
        ours / theirs);
}

/// Writes the list's rows as the save does, with a plain stream and with
/// fwrite + fsync: the yardsticks of the save, and the file grep reads.
struct PlainWrites {
    double plain = 0;
    double synced = 0;
};
PlainWrites writePlainly(
    const FakeListControl& list, const QString& rowsFile, const QString& syncedFile)
{
    std::vector<QByteArray> lines;
    lines.reserve(kRows);
    QStringEncoder encoder(QStringConverter::System);
    for (int i = 0; i < kRows; ++i)
        lines.push_back(QByteArray(encoder.encode(list.text(i))) + "\r\n");
    PlainWrites times;
    times.plain = seconds([&] {
        std::ofstream out(rowsFile.toStdString(), std::ios::binary);
        for (const QByteArray& bytes : lines)
            out.write(bytes.constData(), bytes.size());
    });
    times.synced = seconds([&] {
        std::FILE* out = std::fopen(syncedFile.toLocal8Bit().constData(), "wb");
        for (const QByteArray& bytes : lines)
            std::fwrite(bytes.constData(), 1, bytes.size(), out);
        std::fflush(out);
        ::fsync(fileno(out));
        std::fclose(out);
    });
    return times;
}

} // namespace

int main()
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    FakeListControl list;
    test::ScriptedEventPump pump;
    QuietBoxes boxes;
    test::FakePointer pointer;
    test::FakeFileSystem files;
    QtOutputFileService outputFiles;
    std::printf("%d rows, rows like %s\n\n", kRows, qPrintable(rowText(0)));

    fill(list, true);
    const QString rowsFile = dir.filePath("rows.txt");
    const PlainWrites writes = writePlainly(list, rowsFile, dir.filePath("synced.txt"));
    const double plain = writes.plain;
    const double plainSynced = writes.synced;

    const QString saved = dir.filePath("saved.txt");
    test::FakeSaveFileDialog dialog;
    dialog.answers = { saved };
    test::MemorySettingsBackend settings;
    BusyState busy;
    SaveResultsCommand save(list, boxes, pointer, pump, dialog, files, outputFiles, settings, busy);
    pump.pumps = 0;
    const double saveTime = seconds([&] { save.PushButton2_Click(); });
    const int savePumps = pump.pumps;
    const bool same = QFile(saved).size() == QFile(rowsFile).size();

    SizeClipboard clipboard;
    pump.pumps = 0;
    const double copyTime = seconds([&] { CopyListToClipboard(list, pump, clipboard); });
    const int copyPumps = pump.pumps;

    const double filterTime
        = seconds([&] { RemoveEntriesContaining(list, QStringLiteral("alpha")); });
    const int left = list.count();
    fill(list, false);
    const double filterNotTime
        = seconds([&] { RemoveEntriesNotContaining(list, QStringLiteral("alpha")); });
    const int leftNot = list.count();

    const QString out = dir.filePath("grep-out.txt");
    const double grepV = shell(QStringLiteral("grep -iv alpha '%1' > '%2'").arg(rowsFile, out));
    const double grep = shell(QStringLiteral("grep -i alpha '%1' > '%2'").arg(rowsFile, out));

    std::printf("\n");
    line("filter, containing (500,000 out)", filterTime, "grep -iv (same rows)", grepV);
    line("filter, not containing", filterNotTime, "grep -i (same rows)", grep);
    line("save (QSaveFile, fsync on commit)", saveTime, "std::ofstream", plain);
    line("save (QSaveFile, fsync on commit)", saveTime, "fwrite + fsync", plainSynced);
    line("copy, every row ticked", copyTime, "std::ofstream (same rows)", plain);
    std::printf("\nrows left: %d and %d; saved file %s the plain one; event pumps: save %d, "
                "copy %d; clipboard text %lld characters\n",
        left, leftNot, same ? "matches" : "DIFFERS FROM", savePumps, copyPumps,
        static_cast<long long>(clipboard.size));
    return same && left == kRows / 2 && leftNot == kRows / 2 ? 0 : 1;
}
