// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

class QWidget;

namespace vantorel::test
{

/// The box or dialog the program has open, if any: Qt's modal one, or a box
/// that holds the window without Qt's modality.
QWidget* openBox();

/// Answers every modal box the program opens, in real widgets: records its
/// title and text, runs an optional action while it is open, then closes it
/// with OK, Yes or No, or types into an input box and presses OK, or
/// chooses a path in a file dialog.
class ModalBoxAnswerer : public QObject
{
    Q_OBJECT

public:
    struct Box {
        QString title;
        QString text;
    };

    ModalBoxAnswerer();

    QList<Box> boxes;
    /// Answers for Yes/No questions, in order (Yes when none is left).
    QList<bool> yesNo;
    /// Texts for input boxes, in order (Cancel when none is left).
    QStringList inputs;
    /// Paths for file and folder dialogs, in order (Cancel when none is left);
    /// one without a suffix is chosen with the last filter ("All Files").
    /// A path is taken as chosen without the dialog's own checks, as a user
    /// typing it would.
    QStringList fileChoices;
    /// Titles of the file and folder dialogs answered, in order.
    QStringList fileDialogs;
    /// What the save dialogs answered showed of the program's: their file
    /// types and the file name they proposed, in order.
    QStringList saveDialogTexts;
    /// Runs while a box is open, before it is answered.
    std::function<void(const Box&)> whileOpen;

    QStringList texts() const;

private:
    void answerOpenBox();
    QTimer m_timer;
};

} // namespace vantorel::test
