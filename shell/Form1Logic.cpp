// SPDX-License-Identifier: MIT
#include "shell/Form1Logic.h"

namespace vantorel
{

Form1Logic::Form1Logic(const MainWindowControls& controls, const PlatformServices& services)
    : m_controls(controls)
    , m_services(services)
{
}

// The procedures are filled in as their commands land.
void Form1Logic::Form_Load() { }
void Form1Logic::PushButton1_Click() { }
void Form1Logic::PushButton2_Click() { }
void Form1Logic::PushButton3_Click() { }
void Form1Logic::PushButton4_Click() { }
void Form1Logic::PushButton5_Click() { }
void Form1Logic::PushButton6_Click() { }
void Form1Logic::PushButton7_Click() { }
void Form1Logic::PushButton8_Click() { }
void Form1Logic::PushButton11_Click() { }
void Form1Logic::PushButton17_Click() { }
void Form1Logic::ListView1_KeyDown(int) { }
void Form1Logic::ListView1_DblClick() { }
void Form1Logic::Check4_Click() { }
void Form1Logic::Text1_Change() { }

} // namespace vantorel
