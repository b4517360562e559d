// SPDX-License-Identifier: MIT
#include "shell/qt/Form1Platform.h"

#include "platform/qt/list/ListView.h"
#include "shell/common/ProductInfo.h"
#include "shell/qt/Form1Layout.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace vantorel
{

Form1Platform::Form1Platform(
    QWidget& form, Form1Layout& layout, std::unique_ptr<FolderService> folderService)
    : locationsModel(false)
    , resultsModel(true)
    , locations(locationsModel, *layout.ListView1)
    , results(resultsModel, *layout.ListView2)
    , startButton(*layout.PushButton1)
    , phrase(*layout.Text1)
    , matchCase(*layout.Check4)
    , fullPath(*layout.Option1)
    , nameOnly(*layout.Option2)
    , pointer(form)
    , window(form, pointer)
    , boxes(&form, QString::fromLatin1(product::kProductName))
    , saveDialog(&form)
    , folderBrowser(&form)
    , ownedFolders(
          folderService ? std::move(folderService) : std::make_unique<SystemFolderService>())
    , folders(*ownedFolders)
{
    layout.ListView1->setModel(&locationsModel);
    layout.ListView2->setModel(&resultsModel);
    pump.addList(locationsModel);
    pump.addList(resultsModel);
}

} // namespace vantorel
