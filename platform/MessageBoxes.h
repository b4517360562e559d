// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace vantorel
{

/// Modal boxes. Every box without a title of its own carries the application title.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;

    virtual QString applicationTitle() const = 0;
    virtual void setApplicationTitle(const QString& title) = 0;

    /// Information with one OK button and no icon.
    virtual void information(const QString& text) = 0;
    /// A Yes/No question with no icon; true for Yes.
    virtual bool askYesNo(const QString& text) = 0;
    /// The failure report: exclamation icon, one OK button, title "Application Error".
    virtual void failureReport(const QString& text) = 0;
    /// A one-line input box that starts empty; returns the typed text on OK and
    /// the empty text on Cancel.
    virtual QString inputBox(const QString& prompt) = 0;
};

} // namespace vantorel
