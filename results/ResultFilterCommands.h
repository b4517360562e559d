// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ListControl.h"
#include "platform/MessageBoxes.h"
#include "platform/WindowControls.h"

#include <QCoreApplication>

namespace vantorel
{

/// "Remove Results Containing X", "Remove Results Not Containing X" and
/// "Clear Results": the commands that narrow or empty the results list.
class ResultFilterCommands
{
    Q_DECLARE_TR_FUNCTIONS(ResultFilterCommands)

public:
    ResultFilterCommands(ListControl& results, MessageBoxes& boxes, PointerSetting& pointer);

    void PushButton17_Click(); ///< remove the rows containing a phrase
    void PushButton11_Click(); ///< remove the rows not containing a phrase
    void PushButton6_Click(); ///< remove every row

private:
    using Filter = void (*)(ListControl&, const QString&);
    void runFilter(const char* procedureName, const QString& prompt, Filter filter);

    ListControl& m_results;
    MessageBoxes& m_boxes;
    PointerSetting& m_pointer;
};

} // namespace vantorel
