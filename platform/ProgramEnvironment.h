// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace vantorel
{

/// Where the program file is; its data files sit beside it.
class ProgramFolder
{
public:
    virtual ~ProgramFolder() = default;
    virtual QString path() const = 0;
    /// The platform's folder separator, as text.
    virtual QString separator() const = 0;
};

/// How a folder handed to the desktop to show went.
enum class FolderShowing {
    Shown,
    /// The desktop could not be asked.
    NotAsked,
    /// The desktop's folder opener is this program: it would add the folder
    /// to its own locations instead of showing it.
    OwnOpener,
};

class ProgramLauncher
{
public:
    /// Told how a folder handed to the desktop went, once it is known: the
    /// desktop's programs answer in their own time, and the window goes on
    /// meanwhile. Called once, perhaps before the call that asked returns.
    using ShowingDone = std::function<void(FolderShowing)>;

    virtual ~ProgramLauncher() = default;
    /// Starts a command line; style 2 is minimised with focus.
    virtual void launch(const QString& commandLine, int windowStyle) = 0;
    /// Shows a folder, given as the file system names it (a name that is not
    /// valid text still reaches the folder it names), in the desktop's file
    /// manager. No shell sees the path.
    virtual void showFolder(const QByteArray& nativePath, ShowingDone done) = 0;
    /// Shows `folder`, the folder that holds `item`, with `item` selected
    /// where the file manager can select it.
    virtual void showItem(const QByteArray& item, const QByteArray& folder, ShowingDone done) = 0;
};

class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual void seed(double secondsSinceMidnight) = 0;
    /// A fraction r with 0 <= r < 1.
    virtual double next() = 0;
    /// Seconds since midnight by the clock.
    virtual double timeOfDay() const = 0;
};

} // namespace vantorel
