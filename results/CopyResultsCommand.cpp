// SPDX-License-Identifier: MIT
#include "results/CopyResultsCommand.h"

#include "results/ListClipboardText.h"
#include "shell/common/GuardedProcedure.h"

namespace vantorel
{

CopyResultsCommand::CopyResultsCommand(ListControl& results, MessageBoxes& boxes, EventPump& pump,
    Clipboard& clipboard, std::chrono::milliseconds pumpInterval)
    : m_results(results)
    , m_boxes(boxes)
    , m_pump(pump)
    , m_clipboard(clipboard)
    , m_pumpInterval(pumpInterval)
{
}

QString CopyResultsCommand::confirmation()
{
    return tr("Results have been copied to the clipboard.") + QStringLiteral("\r\r")
        + tr("Click a text area where you normally type and press Ctrl+V to paste "
             "the clipboard.");
}

QString CopyResultsCommand::nothingTicked()
{
    return tr("No results are ticked. Tick the results to copy, then press the button again.");
}

void CopyResultsCommand::PushButton4_Click()
{
    GuardedProcedure guard(m_boxes, QStringLiteral("PushButton4_Click"));
    ClipboardCopy outcome = ClipboardCopy::Copied;
    // The confirmation is only for a copy that happened: after a failure the
    // clipboard still holds what it held before.
    if (!guard.run(106,
            [&] { outcome = CopyListToClipboard(m_results, m_pump, m_clipboard, m_pumpInterval); }))
        return;
    switch (outcome) {
    case ClipboardCopy::NothingTicked:
        guard.run(108, [&] { m_boxes.information(nothingTicked()); });
        return;
    case ClipboardCopy::ClipboardRefused:
        guard.report(tr("The clipboard could not be set: another program may be holding it. "
                        "Nothing was copied."),
            106);
        return;
    case ClipboardCopy::Copied:
    case ClipboardCopy::EmptyList:
        guard.run(108, [&] { m_boxes.information(confirmation()); });
        return;
    }
}

} // namespace vantorel
