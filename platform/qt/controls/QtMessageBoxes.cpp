// SPDX-License-Identifier: MIT
#include "platform/qt/controls/QtMessageBoxes.h"

#include "platform/qt/controls/WindowHoldingBox.h"

#include <QCoreApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace vantorel
{

namespace
{

    QMessageBox::StandardButton showBox(QWidget* parent, QMessageBox::Icon icon,
        const QString& title, const QString& text, QMessageBox::StandardButtons buttons)
    {
        QMessageBox box(icon, title, QtMessageBoxes::displayText(text), buttons, parent);
        box.setTextFormat(Qt::PlainText);
        runWindowHoldingBox(box);
        return box.standardButton(box.clickedButton());
    }

} // namespace

QtMessageBoxes::QtMessageBoxes(QWidget* parent, QString applicationTitle)
    : m_parent(parent)
    , m_title(std::move(applicationTitle))
{
}

QString QtMessageBoxes::displayText(const QString& text)
{
    QString result = text;
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

void QtMessageBoxes::information(const QString& text)
{
    showBox(m_parent, QMessageBox::NoIcon, m_title, text, QMessageBox::Ok);
}

bool QtMessageBoxes::askYesNo(const QString& text)
{
    return showBox(m_parent, QMessageBox::NoIcon, m_title, text, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

void QtMessageBoxes::failureReport(const QString& text)
{
    //: The failure report's title.
    showBox(m_parent, QMessageBox::Warning,
        QCoreApplication::translate("FailureReport", "Application Error"), text, QMessageBox::Ok);
}

QString QtMessageBoxes::inputBox(const QString& prompt)
{
    QInputDialog dialog(m_parent);
    dialog.setWindowTitle(m_title);
    dialog.setLabelText(displayText(prompt));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(QString());
    if (runWindowHoldingBox(dialog) != QDialog::Accepted)
        return QString();
    return dialog.textValue();
}

} // namespace vantorel
