// SPDX-License-Identifier: MIT
#include "shell/qt/Form1Usability.h"

#include "platform/qt/list/ListView.h"
#include "shell/qt/AccessibleNames.h"
#include "shell/qt/Form1Layout.h"
#include "shell/qt/Form1Platform.h"

#include <QLineEdit>
#include <QPushButton>

namespace vantorel
{

Form1Usability::Form1Usability(
    QWidget& window, Form1Layout& layout, Form1Platform& platform, const BusyState& busy)
    : m_platform(platform)
    , m_resultsList(*layout.ListView2, platform.resultsModel, platform.results, platform.launcher,
          platform.files, platform.clipboard, platform.boxes, busy)
    , m_firstNewResult(*layout.ListView2, platform.resultsModel)
    , m_keyboard(window, *layout.Text1, *layout.PushButton1, platform.startButton,
          { layout.PushButton5, layout.PushButton2 })
{
    AccessibleNames::apply(layout);
    platform.startButton.whenChanged([this](const QString&) {
        m_firstNewResult.searchRuns(searchRunsBy(m_platform.startButton));
    });
}

Form1Usability::~Form1Usability()
{
    m_platform.startButton.whenChanged({});
}

} // namespace vantorel
