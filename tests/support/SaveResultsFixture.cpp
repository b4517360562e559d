// SPDX-License-Identifier: MIT
#include "SaveResultsFixture.h"

#include <QTest>

namespace vantorel::test
{

void SaveResultsFixture::begin()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    m_list.setRows({});
    m_list.beforeOperation = nullptr;
    m_boxes = RecordingMessageBoxes();
    m_boxes.setApplicationTitle(QStringLiteral("Vantorel"));
    m_pointer = FakePointer();
    m_dialog = FakeSaveFileDialog();
    m_settings = MemorySettingsBackend();
    m_pump.pumps = 0;
    m_pump.onPump = nullptr;
}

SaveResultsCommand SaveResultsFixture::command(std::chrono::milliseconds interval)
{
    return SaveResultsCommand(m_list, m_boxes, m_pointer, m_pump, m_dialog, m_files, m_outputFiles,
        m_settings, m_busy, interval);
}

} // namespace vantorel::test
