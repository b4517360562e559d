// SPDX-License-Identifier: MIT
#pragma once

#include "platform/MessageBoxes.h"

#include <QList>
#include <QStringList>
#include <functional>

namespace vantorel::test
{

/// Records every box with its kind and title, and answers from a queue of
/// answers given in advance (an empty queue answers Yes / the empty text).
class RecordingMessageBoxes : public MessageBoxes
{
public:
    enum class Kind { Information, YesNo, FailureReport, Input };
    struct Shown {
        Kind kind;
        QString text;
        QString title;
    };

    QString applicationTitle() const override { return m_title; }
    void setApplicationTitle(const QString& title) override { m_title = title; }
    void information(const QString& text) override;
    bool askYesNo(const QString& text) override;
    void failureReport(const QString& text) override;
    QString inputBox(const QString& prompt) override;

    QList<Shown> shown;
    QList<bool> yesNoAnswers;
    QStringList inputAnswers;
    /// Runs while a box is open (the box is modal: whatever it does happens
    /// before the box returns).
    std::function<void(const Shown&)> whileShown;

    QStringList texts(Kind kind) const;
    QStringList failureReports() const { return texts(Kind::FailureReport); }
    QStringList informations() const { return texts(Kind::Information); }

private:
    void record(Kind kind, const QString& text, const QString& title);
    QString m_title = QStringLiteral("Vantorel Software");
};

} // namespace vantorel::test
