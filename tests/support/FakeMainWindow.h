// SPDX-License-Identifier: MIT
#pragma once

#include "FakeControls.h"
#include "FakeListControl.h"
#include "RecordingMessageBoxes.h"
#include "platform/files/QtOutputFileService.h"
#include "shell/Form1Logic.h"

#include <QSet>

namespace vantorel::test
{

class FakeWindowSurface : public WindowSurface
{
public:
    void setCaption(const QString& text) override { caption = text; }
    void setProgramIcon() override { hasIcon = true; }
    void setCustomPointerImage(const QString& path) override
    {
        if (failPointerImage)
            throw Failure(QStringLiteral("Invalid picture"));
        pointerImage = path;
    }
    QString caption;
    bool hasIcon = false;
    QString pointerImage;
    bool failPointerImage = false;
};

class FakeFileSystem : public FileSystem
{
public:
    bool fileExists(const QString& path) override { return existing.contains(path); }
    bool isNormalFile(const QString& path) override { return existing.contains(path); }
    /// A folder exists when its decoded path is in `existing` or its bytes
    /// are in `existingFolders`.
    bool folderExists(const QByteArray& nativePath) override
    {
        return existingFolders.contains(nativePath) || fileExists(QFile::decodeName(nativePath));
    }
    QSet<QString> existing;
    QSet<QByteArray> existingFolders;
};

/// Opens folders from a set of known paths; the walk itself goes to the
/// system's cursor (tests that walk give real temporary folders).
class FakeFolderService : public FolderService
{
public:
    Folder getFolder(const QString& path) override;
    std::unique_ptr<dirwalk::DirectoryCursor> cursor() override;
    QStringList opened;
};

/// Every control and service of the main window as a test double.
struct FakeMainWindow {
    FakeMainWindow();

    FakeWindowSurface window;
    FakeListControl locations;
    FakeListControl results;
    FakeCaption startButton { QStringLiteral("Start Finding") };
    FakeText phrase { QStringLiteral("Text1") };
    FakeCheck matchCase { 1 };
    FakeOption fullPath { true };
    FakeOption nameOnly { false };
    FakePointer pointer;

    RecordingMessageBoxes boxes;
    ScriptedEventPump pump;
    FakeClipboard clipboard;
    MemorySettingsBackend settings;
    FakeSaveFileDialog saveDialog;
    FakeFolderBrowser folderBrowser;
    FakeProgramFolder programFolder { QStringLiteral("/opt/ostlebry") };
    FakeLauncher launcher;
    FakeRandom random;
    FakeFolderService folders;
    FakeFileSystem files;
    QtOutputFileService outputFiles;

    Form1Logic::Controls controls() { return Form1Logic::controlsOf(*this); }
    Form1Logic::Services services() { return Form1Logic::servicesOf(*this); }

    /// Chooses "Display folder name only ".
    void chooseNameOnly()
    {
        fullPath.deselect();
        nameOnly.select();
    }
};

} // namespace vantorel::test
