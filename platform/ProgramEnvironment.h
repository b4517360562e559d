// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

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

class ProgramLauncher
{
public:
    virtual ~ProgramLauncher() = default;
    /// Starts a command line; style 2 is minimised with focus.
    virtual void launch(const QString& commandLine, int windowStyle) = 0;
    /// Shows a folder in the desktop's own file manager; no shell sees the
    /// path. False when the desktop could not be asked.
    virtual bool openFolder(const QString& path) = 0;
    /// The same for a folder given as the file system names it, so that a
    /// name that is not valid text still reaches the folder it names.
    virtual bool openNativeFolder(const QByteArray& nativePath)
    {
        return openFolder(QFile::decodeName(nativePath));
    }
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
