// SPDX-License-Identifier: MIT
#include "WindowDriver.h"

#include "platform/qt/controls/QtMessageBoxes.h"
#include "platform/qt/list/QtListControl.h"
#include "shell/common/GuardedProcedure.h"

#include <QApplication>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>

namespace vantorel::test
{

namespace
{

    QStringList rowsOf(QtListControl& list)
    {
        QStringList rows;
        for (int i = 0; i < list.count(); ++i)
            rows << list.text(i);
        return rows;
    }

} // namespace

WindowDriver::WindowDriver(std::function<void()> endProgram)
    : m_language(messageLanguages(), buildCatalogues(), UserLanguage::systemQtCatalogues())
    , form(std::move(endProgram))
{
    form.load();
    form.showCentred();
    QApplication::setActiveWindow(&form);
}

void WindowDriver::click(const char* name)
{
    QTest::mouseClick(button(name), Qt::LeftButton);
}

void WindowDriver::typePhrase(const QString& phrase)
{
    QLineEdit* edit = child<QLineEdit>("Text1");
    edit->clear();
    QTest::keyClicks(edit, phrase);
}

void WindowDriver::search(const QString& location, const QString& phrase)
{
    form.locations().append(location);
    typePhrase(phrase);
    click("PushButton1");
}

QString WindowDriver::phrase()
{
    return child<QLineEdit>("Text1")->text();
}

QStringList WindowDriver::results()
{
    return rowsOf(form.results());
}

QStringList WindowDriver::locations()
{
    return rowsOf(form.locations());
}

QString WindowDriver::locationsHeader()
{
    return child<QTableView>("ListView1")->model()->headerData(0, Qt::Horizontal).toString();
}

QString buildCatalogues()
{
    return QStringLiteral(OSTLEBRY_CATALOGUE_DIR);
}

QString settingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Ostlebry.conf");
}

QString shownReport(const QString& description, const QString& procedure, int line)
{
    return QtMessageBoxes::displayText(
        composeFailureReport(description, locationText(procedure), line));
}

} // namespace vantorel::test
