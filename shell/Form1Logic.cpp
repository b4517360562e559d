// SPDX-License-Identifier: MIT
#include "shell/Form1Logic.h"

#include "shell/common/SettingsStore.h"

namespace vantorel
{

Form1Logic::Form1Logic(const Controls& controls, const Services& services)
    : m_settings(services.settings)
    , m_programFolder(services.programFolder)
    , m_files(services.files)
    , m_matchCase(controls.matchCase)
    , m_phrase(controls.phrase)
    , m_startUp({ .window = controls.window,
                    .locations = controls.locations,
                    .results = controls.results,
                    .matchCase = controls.matchCase,
                    .phrase = controls.phrase },
          { .boxes = services.boxes,
              .settings = services.settings,
              .files = services.files,
              .programFolder = services.programFolder,
              .random = services.random,
              .launcher = services.launcher },
          [this] {
              if (m_applySkin)
                  m_applySkin();
          })
    , m_searchRun({ .startButton = controls.startButton,
                      .phrase = controls.phrase,
                      .matchCase = controls.matchCase,
                      .fullPath = controls.fullPath,
                      .locations = controls.locations,
                      .results = controls.results,
                      .pointer = controls.pointer },
          { .boxes = services.boxes, .pump = services.pump, .folders = services.folders }, m_state,
          m_busy)
    , m_locations(controls.locations, controls.phrase, controls.pointer, services.boxes,
          services.folderBrowser, services.programFolder, services.settings, m_busy)
    , m_help(services.boxes)
    , m_pointerFeedback(controls.pointer)
    , m_filters(controls.results, services.boxes, controls.pointer)
    , m_save(controls.results, services.boxes, controls.pointer, services.pump, services.saveDialog,
          services.files, services.outputFiles, services.settings, m_busy)
    , m_copy(controls.results, services.boxes, services.pump, services.clipboard)
{
}

void Form1Logic::setAppearance(SkinnableWindow& window, SkinComponent& skin)
{
    m_applySkin = ApplySkin(m_programFolder, m_files, window, skin);
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
    SettingsStore(m_settings)
        .SaveSettingQuietly(SettingsStore::kCheck4, QString::number(m_matchCase.value()));
}

void Form1Logic::Text1_Change()
{
    SettingsStore(m_settings).SaveSettingQuietly(SettingsStore::kText1, m_phrase.text());
}

} // namespace vantorel
