// SPDX-License-Identifier: MIT
#include "WindowSearch.h"

#include "platform/files/SystemFolderService.h"
#include "platform/qt/list/QtListControl.h"
#include "shell/qt/Form1.h"
#include "support/ModalBoxAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace vantorel::bench
{

namespace
{

    double secondsOf(const timeval& t)
    {
        return double(t.tv_sec) + double(t.tv_usec) / 1e6;
    }

} // namespace

double processorSeconds(int who)
{
    rusage usage {};
    getrusage(who, &usage);
    return secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime);
}

namespace
{

    /// Answers every box the window opens; the first is the one timed and
    /// reported. A later one (the "Done." after an error box) is answered too, or
    /// the run would hang.
    struct BoxWatch {
        Clock::time_point seen;
        QString text;
        double processorAtBox = 0;
        QTimer timer;

        explicit BoxWatch(QObject& context)
        {
            timer.setInterval(1);
            QObject::connect(&timer, &QTimer::timeout, &context, [this] { answer(); });
            timer.start();
        }
        void answer()
        {
            auto* box = qobject_cast<QMessageBox*>(test::openBox());
            if (!box)
                return;
            if (text.isNull()) {
                seen = Clock::now();
                processorAtBox = processorSeconds(RUSAGE_SELF);
                text = box->text();
            }
            if (QAbstractButton* ok = box->button(QMessageBox::Ok))
                ok->click();
            else
                box->reject();
        }
    };

    /// A timer that should fire every 5 ms: how long the window's events wait
    /// while the search runs, until the first box.
    struct StallWatch {
        Clock::time_point lastTick;
        double longestMs = 0;
        QTimer timer;

        StallWatch(QObject& context, const BoxWatch& boxes)
        {
            timer.setInterval(5);
            QObject::connect(&timer, &QTimer::timeout, &context, [this, &boxes] {
                const Clock::time_point now = Clock::now();
                if (boxes.text.isNull())
                    longestMs = std::max(longestMs,
                        std::chrono::duration<double, std::milli>(now - lastTick).count());
                lastTick = now;
            });
        }
        void start(Clock::time_point at)
        {
            lastTick = at;
            timer.start();
        }
    };

    /// A fresh window, shown, with the phrase, options and location set.
    void prepareWindow(Form1& form, const QString& root, const QString& phrase)
    {
        form.load();
        form.showCentred();
        form.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(phrase);
        form.findChild<QCheckBox*>(QStringLiteral("Check4"))->setChecked(false);
        form.findChild<QRadioButton*>(QStringLiteral("Option1"))->setChecked(true);
        form.locations().append(root);
        QApplication::processEvents();
    }

} // namespace

/// Start pressed in a fresh window; ends when the "Done." box appears.
Timing searchInWindow(const QString& root, const QString& phrase,
    dirwalk::ReadAheadSettings settings, int stopAfterMs,
    std::shared_ptr<dirwalk::index::IndexStore> index)
{
    Form1 form([] {}, std::make_unique<SystemFolderService>(settings, std::move(index)));
    prepareWindow(form, root, phrase);
    BoxWatch boxes(form);
    StallWatch stalls(form, boxes);
    auto* startButton = form.findChild<QPushButton*>(QStringLiteral("PushButton1"));
    Clock::time_point stopPressed;
    QTimer stopper;
    stopper.setSingleShot(true);
    QObject::connect(&stopper, &QTimer::timeout, &form, [&] {
        stopPressed = Clock::now();
        startButton->click();
    });
    const double cpuAtStart = processorSeconds(RUSAGE_SELF);
    const Clock::time_point start = Clock::now();
    stalls.start(start);
    if (stopAfterMs >= 0)
        stopper.start(stopAfterMs);
    startButton->click();
    boxes.timer.stop();
    stalls.timer.stop();
    if (boxes.text != QStringLiteral("Done.")) {
        std::fprintf(stderr, "the window ended with the box \"%s\"\n", qPrintable(boxes.text));
        std::exit(1);
    }

    Timing timing;
    timing.wallMs = std::chrono::duration<double, std::milli>(boxes.seen - start).count();
    timing.cpuMs = (boxes.processorAtBox - cpuAtStart) * 1000;
    timing.longestStallMs = stalls.longestMs;
    if (stopPressed != Clock::time_point())
        timing.stopToDoneMs
            = std::chrono::duration<double, std::milli>(boxes.seen - stopPressed).count();
    QtListControl& results = form.results();
    for (int i = 0; i < results.count(); ++i)
        timing.rows.append(results.text(i));
    return timing;
}

} // namespace vantorel::bench
