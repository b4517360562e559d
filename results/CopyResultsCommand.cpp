// SPDX-License-Identifier: MIT
#include "results/CopyResultsCommand.h"

#include "results/ListClipboardText.h"
#include "shell/GuardedProcedure.h"

namespace vantorel {

CopyResultsCommand::CopyResultsCommand(ListControl& results, MessageBoxes& boxes,
                                       EventPump& pump, Clipboard& clipboard,
                                       std::chrono::milliseconds pumpInterval)
    : m_results(results)
    , m_boxes(boxes)
    , m_pump(pump)
    , m_clipboard(clipboard)
    , m_pumpInterval(pumpInterval)
{
}

QString CopyResultsCommand::confirmation()
{
    return QStringLiteral("Results have been copied to the clipboard.") + QStringLiteral("\r\r")
        + QStringLiteral("Click a text area where you normally type and press Ctrl+V to paste "
                         "the clipboard.");
}

void CopyResultsCommand::PushButton4_Click()
{
    GuardedProcedure guard(m_boxes, QStringLiteral("PushButton4_Click"));
    guard.run(106, [&] { CopyListToClipboard(m_results, m_pump, m_clipboard, m_pumpInterval); });
    guard.run(108, [&] { m_boxes.information(confirmation()); });
}

} // namespace vantorel
