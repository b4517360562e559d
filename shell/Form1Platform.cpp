// SPDX-License-Identifier: MIT
#include "shell/Form1Platform.h"

#include "platform/qt/ListView.h"
#include "shell/Form1Layout.h"
#include "shell/ProductInfo.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace vantorel
{

Form1Platform::Form1Platform(
    QWidget& window, Form1Layout& layout, dirwalk::ReadAheadSettings readAhead)
    : locationRows(false)
    , resultRows(true)
    , locations(locationRows, *layout.ListView1)
    , results(resultRows, *layout.ListView2)
    , startButton(*layout.PushButton1)
    , phrase(*layout.Text1)
    , matchCase(*layout.Check4)
    , fullPath(*layout.Option1)
    , nameOnly(*layout.Option2)
    , pointer(window)
    , surface(window, pointer)
    , boxes(&window, QString::fromLatin1(product::kProductName))
    , saveDialog(&window)
    , folderBrowser(&window)
    , folders(readAhead)
{
    layout.ListView1->setModel(&locationRows);
    layout.ListView2->setModel(&resultRows);
    pump.addList(locationRows);
    pump.addList(resultRows);
}

MainWindowControls Form1Platform::controls()
{
    return MainWindowControls { surface, locations, results, startButton, phrase, matchCase,
        fullPath, nameOnly, pointer };
}

PlatformServices Form1Platform::services()
{
    return PlatformServices { boxes, pump, clipboard, settings, saveDialog, folderBrowser,
        programFolder, launcher, random, folders, files, outputFiles };
}

} // namespace vantorel
