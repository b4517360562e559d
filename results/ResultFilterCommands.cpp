// SPDX-License-Identifier: MIT
#include "results/ResultFilterCommands.h"

#include "results/ResultFilters.h"
#include "shell/common/GuardedProcedure.h"

namespace vantorel
{

ResultFilterCommands::ResultFilterCommands(
    ListControl& results, MessageBoxes& boxes, PointerSetting& pointer)
    : m_results(results)
    , m_boxes(boxes)
    , m_pointer(pointer)
{
}

void ResultFilterCommands::PushButton17_Click()
{
    //: The prompt of the box that asks for the phrase.
    runFilter("PushButton17_Click", tr("Remove entries containing: "), &RemoveEntriesContaining);
}

void ResultFilterCommands::PushButton11_Click()
{
    //: The prompt of the box that asks for the phrase.
    runFilter(
        "PushButton11_Click", tr("Remove entries not containing: "), &RemoveEntriesNotContaining);
}

void ResultFilterCommands::PushButton6_Click()
{
    GuardedProcedure guard(m_boxes, QStringLiteral("PushButton6_Click"));
    guard.run(100, [&] { m_results.clear(); });
}

void ResultFilterCommands::runFilter(
    const char* procedureName, const QString& prompt, Filter filter)
{
    GuardedProcedure guard(m_boxes, QLatin1String(procedureName));
    QString answer;
    guard.run(100, [&] { answer = m_boxes.inputBox(prompt); });
    if (guard.test(102, [&] { return answer.isEmpty(); }))
        return;
    guard.run(104, [&] { m_pointer.setValue(PointerSetting::Busy); });
    guard.run(106, [&] { filter(m_results, answer); });
    guard.run(108, [&] { m_pointer.setValue(PointerSetting::Arrow); });
}

} // namespace vantorel
