// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace vantorel::test {

/// Answers every modal box the program opens, in real widgets: records its
/// title and text, runs an optional action while it is open, then closes it
/// with OK, Yes or No, or types into an input box and presses OK.
class ModalBoxAnswerer : public QObject
{
    Q_OBJECT

public:
    struct Box
    {
        QString title;
        QString text;
    };

    ModalBoxAnswerer();

    QList<Box> boxes;
    /// Answers for Yes/No questions, in order (Yes when none is left).
    QList<bool> yesNo;
    /// Texts for input boxes, in order (Cancel when none is left).
    QStringList inputs;
    /// Runs while a box is open, before it is answered.
    std::function<void(const Box&)> whileOpen;

    QStringList texts() const;

private:
    void answerOpenBox();
    QTimer m_timer;
};

} // namespace vantorel::test
