// SPDX-License-Identifier: MIT
#pragma once

#include "platform/MessageBoxes.h"

#include <QCoreApplication>

namespace vantorel
{

/// "Help": one box that points to the maker's contact page. It never looks at
/// the busy pointer, so it also works while a search runs.
class HelpCommand
{
    Q_DECLARE_TR_FUNCTIONS(HelpCommand)

public:
    explicit HelpCommand(MessageBoxes& boxes);

    void PushButton5_Click();

    /// The message for the configured contact page.
    static QString helpText();
    /// A build that was given no contact page says so instead of naming one.
    static QString helpText(const QString& contactPage);

private:
    MessageBoxes& m_boxes;
};

} // namespace vantorel
