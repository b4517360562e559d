// SPDX-License-Identifier: MIT
#include "shell/qt/Form1.h"

#include "platform/qt/list/ListView.h"
#include "platform/qt/pointer/QtPointerMoveFilter.h"
#include "platform/qt/skin/QtSkinnableWindow.h"
#include "platform/qt/skin/SkinFramework1.h"
#include "shell/Form1Logic.h"
#include "shell/qt/Form1Layout.h"
#include "shell/qt/Form1Platform.h"
#include "shell/qt/Form1Usability.h"
#include "shell/qt/FormScroller.h"
#include "shell/qt/FramedPlacement.h"
#include "shell/qt/ProgramEnd.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>

namespace vantorel
{

Form1::Form1(std::function<void()> endProgram, std::unique_ptr<FolderService> folders)
    : m_endProgram(std::move(endProgram))
    , m_layout(std::make_unique<Form1Layout>(*this))
    , m_scroller(
          std::make_unique<FormScroller>(*this, QSize(Form1Layout::kWidth, Form1Layout::kHeight)))
    , m_placement(
          std::make_unique<FramedPlacement>(*this, [this](QSize room) { m_scroller->fitTo(room); }))
    , m_platform(std::make_unique<Form1Platform>(*this, *m_layout, std::move(folders)))
    , m_skinnable(std::make_unique<QtSkinnableWindow>(*this))
    , m_skin(std::make_unique<SkinFramework1>())
    , m_logic(std::make_unique<Form1Logic>(
          Form1Logic::controlsOf(*m_platform), Form1Logic::servicesOf(*m_platform)))
    , m_usability(std::make_unique<Form1Usability>(*this, *m_layout, *m_platform, m_logic->busy()))
    , m_pointerMoves(std::make_unique<QtPointerMoveFilter>(m_logic->pointerFeedback()))
{
    if (!m_endProgram)
        m_endProgram = [this] { endProgramNow(*this); };
    connectEvents();
    connectAppearance();
}

Form1::~Form1() = default;

void Form1::connectEvents()
{
    Form1Layout& ui = *m_layout;
    Form1Logic* logic = m_logic.get();
    const std::pair<QPushButton*, void (Form1Logic::*)()> clicks[] = {
        { ui.PushButton1, &Form1Logic::PushButton1_Click },
        { ui.PushButton2, &Form1Logic::PushButton2_Click },
        { ui.PushButton3, &Form1Logic::PushButton3_Click },
        { ui.PushButton4, &Form1Logic::PushButton4_Click },
        { ui.PushButton5, &Form1Logic::PushButton5_Click },
        { ui.PushButton6, &Form1Logic::PushButton6_Click },
        { ui.PushButton7, &Form1Logic::PushButton7_Click },
        { ui.PushButton8, &Form1Logic::PushButton8_Click },
        { ui.PushButton11, &Form1Logic::PushButton11_Click },
        { ui.PushButton17, &Form1Logic::PushButton17_Click },
    };
    for (const auto& [button, handler] : clicks)
        connect(button, &QPushButton::clicked, this,
            [logic, handler = handler] { (logic->*handler)(); });

    connect(ui.ListView1, &ListView::keyDown, this,
        [logic](int keyCode) { logic->ListView1_KeyDown(keyCode); });
    connect(ui.ListView1, &ListView::doubleClickedAnywhere, this,
        [logic] { logic->ListView1_DblClick(); });
    connect(ui.Check4, &QCheckBox::stateChanged, this, [logic] { logic->Check4_Click(); });
    connect(ui.Text1, &QLineEdit::textChanged, this, [logic] { logic->Text1_Change(); });
}

// The skin for start-up's appearance step, and the pointer-move handlers of
// the window and its controls.
void Form1::connectAppearance()
{
    m_logic->setAppearance(*m_skinnable, *m_skin);
    m_pointerMoves->watchAll(*this);
}

void Form1::load()
{
    m_logic->Form_Load();
}

void Form1::showCentred()
{
    m_placement->place();
    show();
}

// Closing ends the program at once, even inside a command's nested event
// loop: nothing is left to save, since every setting is written on change.
void Form1::closeEvent(QCloseEvent* event)
{
    event->accept();
    m_endProgram();
}

QtListControl& Form1::locations()
{
    return m_platform->locations;
}

QtListControl& Form1::results()
{
    return m_platform->results;
}

ListModel& Form1::locationsModel()
{
    return m_platform->locationsModel;
}

ListModel& Form1::resultsModel()
{
    return m_platform->resultsModel;
}

Form1Usability& Form1::usability()
{
    return *m_usability;
}

QtEventPump& Form1::pump()
{
    return m_platform->pump;
}

} // namespace vantorel
