// SPDX-License-Identifier: MIT
// Times start-up's settings reads and a keystroke's write against a settings
// file that holds many keys, in this program's own section or in another
// program's, and reports the peak memory.
//   bench_settings [keys] [own|other]
#include "platform/Failure.h"
#include "platform/settings/QtSettingsBackend.h"
#include "shell/common/SettingsStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

using namespace vantorel;

namespace
{

long peakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const long keys = argc > 1 ? std::atol(argv[1]) : 390000;
    const bool own = argc < 3 || QByteArray(argv[2]) != "other";
    QTemporaryDir dir;
    QtSettingsBackend backend(dir.path());
    {
        QFile file(backend.filePath(QStringLiteral("Ostlebry")));
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(own ? "[Vantorel%20Software]\n" : "[Other%20Program]\n");
        QByteArray lines;
        for (long i = 0; i < keys; ++i) {
            lines += 'k' + QByteArray::number(qlonglong(i)) + "=1\n";
            if (lines.size() > (1 << 20)) {
                file.write(lines);
                lines.clear();
            }
        }
        file.write(lines + (own ? "" : "[Vantorel%20Software]\n") + "Check4=0\nText1=hello\n");
        std::printf("file: %ld keys in %s section, %lld bytes\n", keys,
            own ? "this program's" : "another", qlonglong(file.size()));
    }
    SettingsStore store(backend);
    QElapsedTimer timer;
    timer.start();
    QString text;
    try {
        store.GetSetting(SettingsStore::kCheck4, QStringLiteral("1"));
        text = store.GetSetting(SettingsStore::kText1, QString());
    } catch (const Failure& failure) {
        std::printf("read failed: %s\n", qPrintable(failure.description()));
    }
    const qint64 reads = timer.elapsed();
    timer.restart();
    const bool written = store.SaveSettingQuietly(SettingsStore::kText1, text + QLatin1Char('x'));
    const qint64 firstWrite = timer.elapsed();
    timer.restart();
    for (int i = 0; i < 5; ++i)
        store.SaveSettingQuietly(SettingsStore::kText1, text + QString(i + 2, QLatin1Char('x')));
    std::printf("start-up reads: %lld ms; first write (%s): %lld ms; later writes: %.1f ms each; "
                "peak memory %ld kB\n",
        reads, written ? "stored" : "failed", firstWrite, timer.elapsed() / 5.0, peakKilobytes());
    return 0;
}
