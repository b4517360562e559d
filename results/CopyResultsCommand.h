// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Clipboard.h"
#include "platform/EventPump.h"
#include "platform/ListControl.h"
#include "platform/MessageBoxes.h"
#include "platform/TimeSlicedPump.h"

#include <QCoreApplication>
#include <chrono>

namespace vantorel
{

/// "Copy Results To Clipboard": the ticked rows as aligned text, then the
/// confirmation. With rows but none ticked it says so instead; a clipboard
/// that cannot be set is reported as a failure.
class CopyResultsCommand
{
    Q_DECLARE_TR_FUNCTIONS(CopyResultsCommand)

public:
    CopyResultsCommand(ListControl& results, MessageBoxes& boxes, EventPump& pump,
        Clipboard& clipboard,
        std::chrono::milliseconds pumpInterval = TimeSlicedPump::kDefaultInterval);

    void PushButton4_Click();

    static QString confirmation();
    static QString nothingTicked();

private:
    ListControl& m_results;
    MessageBoxes& m_boxes;
    EventPump& m_pump;
    Clipboard& m_clipboard;
    std::chrono::milliseconds m_pumpInterval;
};

} // namespace vantorel
