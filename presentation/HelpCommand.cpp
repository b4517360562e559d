// SPDX-License-Identifier: MIT
#include "presentation/HelpCommand.h"

#include "shell/common/GuardedProcedure.h"
#include "shell/common/ProductInfo.h"

namespace vantorel
{

HelpCommand::HelpCommand(MessageBoxes& boxes)
    : m_boxes(boxes)
{
}

QString HelpCommand::helpText()
{
    return helpText(product::contactPage());
}

QString HelpCommand::helpText(const QString& contactPage)
{
    if (contactPage.isEmpty())
        return tr("Questions? No contact page was set when this copy of Ostlebry was built.");
    //: The address of the maker's contact page follows.
    return tr("Questions? Please contact Team Ostlebry at ") + contactPage;
}

void HelpCommand::PushButton5_Click()
{
    GuardedProcedure guard(m_boxes, QStringLiteral("PushButton5_Click"));
    guard.run(100, [&] { m_boxes.information(helpText()); });
}

} // namespace vantorel
