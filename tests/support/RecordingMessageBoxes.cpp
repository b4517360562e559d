// SPDX-License-Identifier: MIT
#include "RecordingMessageBoxes.h"

namespace vantorel::test
{

void RecordingMessageBoxes::record(Kind kind, const QString& text, const QString& title)
{
    shown.append(Shown { kind, text, title });
    if (whileShown)
        whileShown(shown.last());
}

void RecordingMessageBoxes::information(const QString& text)
{
    record(Kind::Information, text, m_title);
}

bool RecordingMessageBoxes::askYesNo(const QString& text)
{
    record(Kind::YesNo, text, m_title);
    return yesNoAnswers.isEmpty() ? true : yesNoAnswers.takeFirst();
}

void RecordingMessageBoxes::failureReport(const QString& text)
{
    record(Kind::FailureReport, text, QStringLiteral("Application Error"));
}

QString RecordingMessageBoxes::inputBox(const QString& prompt)
{
    record(Kind::Input, prompt, m_title);
    return inputAnswers.isEmpty() ? QString() : inputAnswers.takeFirst();
}

QStringList RecordingMessageBoxes::texts(Kind kind) const
{
    QStringList result;
    for (const Shown& box : shown)
        if (box.kind == kind)
            result.append(box.text);
    return result;
}

} // namespace vantorel::test
