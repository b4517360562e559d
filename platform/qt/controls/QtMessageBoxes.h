// SPDX-License-Identifier: MIT
#pragma once

#include "platform/MessageBoxes.h"

class QWidget;

namespace vantorel
{

/// Modal boxes over the main window.
class QtMessageBoxes : public MessageBoxes
{
public:
    explicit QtMessageBoxes(QWidget* parent, QString applicationTitle);

    QString applicationTitle() const override { return m_title; }
    void setApplicationTitle(const QString& title) override { m_title = title; }

    void information(const QString& text) override;
    bool askYesNo(const QString& text) override;
    void failureReport(const QString& text) override;
    QString inputBox(const QString& prompt) override;

    /// A message's text with each carriage return, alone or before a line
    /// feed, shown as one line break, as the system's own boxes show them.
    static QString displayText(const QString& text);

private:
    QWidget* m_parent;
    QString m_title;
};

} // namespace vantorel
