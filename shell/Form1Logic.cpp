// SPDX-License-Identifier: MIT
#include "shell/Form1Logic.h"

#include "shell/SettingsStore.h"

namespace vantorel
{

Form1Logic::Form1Logic(const MainWindowControls& controls, const PlatformServices& services)
    : m_controls(controls)
    , m_services(services)
    , m_startUp(m_controls, m_services,
          [this] {
              if (m_applySkin)
                  m_applySkin();
          })
    , m_searchRun(m_controls, m_services, m_state, m_busy)
    , m_locations(m_controls, m_services, m_busy)
    , m_help(m_services.boxes)
    , m_pointerFeedback(m_controls.MousePointer)
    , m_filters(m_controls.ListView2, m_services.boxes, m_controls.MousePointer)
    , m_save(m_controls.ListView2, m_services.boxes, m_controls.MousePointer, m_services.pump,
          m_services.saveDialog, m_services.files, m_services.outputFiles, m_services.settings)
    , m_copy(m_controls.ListView2, m_services.boxes, m_services.pump, m_services.clipboard)
{
}

void Form1Logic::setAppearance(SkinnableWindow& window, SkinComponent& skin)
{
    m_applySkin = ApplySkin(m_services.programFolder, m_services.files, window, skin);
}

void Form1Logic::Form_Load()
{
    m_startUp.Form_Load();
}
void Form1Logic::PushButton1_Click()
{
    m_searchRun.PushButton1_Click();
}
void Form1Logic::PushButton2_Click()
{
    m_save.PushButton2_Click();
}
void Form1Logic::PushButton3_Click()
{
    m_locations.PushButton3_Click();
}
void Form1Logic::PushButton4_Click()
{
    m_copy.PushButton4_Click();
}
void Form1Logic::PushButton5_Click()
{
    m_help.PushButton5_Click();
}
void Form1Logic::PushButton6_Click()
{
    m_filters.PushButton6_Click();
}
void Form1Logic::PushButton7_Click()
{
    m_locations.PushButton7_Click();
}
void Form1Logic::PushButton8_Click()
{
    m_locations.PushButton8_Click();
}
void Form1Logic::PushButton11_Click()
{
    m_filters.PushButton11_Click();
}
void Form1Logic::PushButton17_Click()
{
    m_filters.PushButton17_Click();
}
void Form1Logic::ListView1_KeyDown(int keyCode)
{
    m_locations.ListView1_KeyDown(keyCode);
}
void Form1Logic::ListView1_DblClick()
{
    m_locations.ListView1_DblClick();
}

// The setting writers: every change reaches the store at once; a store that
// fails has no report of its own.
void Form1Logic::Check4_Click()
{
    SettingsStore(m_services.settings)
        .SaveSettingQuietly(SettingsStore::kCheck4, QString::number(m_controls.Check4.value()));
}

void Form1Logic::Text1_Change()
{
    SettingsStore(m_services.settings)
        .SaveSettingQuietly(SettingsStore::kText1, m_controls.Text1.text());
}

} // namespace vantorel
