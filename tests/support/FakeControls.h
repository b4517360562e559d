// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Clipboard.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/Failure.h"
#include "platform/ProgramEnvironment.h"
#include "platform/SettingsBackend.h"
#include "platform/WindowControls.h"

#include <QFile>
#include <QList>
#include <QMap>
#include <QStringList>
#include <functional>

namespace vantorel::test
{

class FakeCaption : public CaptionControl
{
public:
    explicit FakeCaption(QString caption = QString())
        : m_caption(std::move(caption))
    {
    }
    QString caption() const override { return m_caption; }
    void setCaption(const QString& caption) override { m_caption = caption; }

private:
    QString m_caption;
};

class FakeText : public TextControl
{
public:
    explicit FakeText(QString text = QString())
        : m_text(std::move(text))
    {
    }
    QString text() const override { return m_text; }
    void setText(const QString& text) override
    {
        if (text == m_text)
            return;
        m_text = text;
        if (onChange)
            onChange();
    }
    std::function<void()> onChange;

private:
    QString m_text;
};

class FakeCheck : public CheckControl
{
public:
    explicit FakeCheck(qint16 value = 1)
        : m_value(value)
    {
    }
    qint16 value() const override { return m_value; }
    void setValue(qint16 value) override
    {
        if (value < 0 || value > 2)
            throw Failure(QStringLiteral("Invalid property value"));
        if (value == m_value)
            return;
        m_value = value;
        if (onClick)
            onClick();
    }
    std::function<void()> onClick;

private:
    qint16 m_value;
};

class FakeOption : public OptionControl
{
public:
    explicit FakeOption(bool selected = true)
        : m_selected(selected)
    {
    }
    bool isSelected() const override { return m_selected; }
    void select() override { m_selected = true; }
    void deselect() { m_selected = false; }

private:
    bool m_selected;
};

class FakePointer : public PointerSetting
{
public:
    qint16 value() const override { return m_value; }
    void setValue(qint16 value) override
    {
        m_value = value;
        history.append(value);
    }
    QList<qint16> history;

private:
    qint16 m_value = Default;
};

/// An event pump that runs a scripted action on each pump.
class ScriptedEventPump : public EventPump
{
public:
    void pump() override
    {
        ++pumps;
        if (onPump)
            onPump(pumps);
    }
    int pumps = 0;
    std::function<void(int pumpNumber)> onPump;
};

class MemorySettingsBackend : public SettingsBackend
{
public:
    std::optional<QString> read(
        const QString& application, const QString& section, const QString& key) override
    {
        if (failReads)
            throw Failure(QStringLiteral("The settings store cannot be read"));
        auto it = values.constFind(address(application, section, key));
        if (it == values.constEnd())
            return std::nullopt;
        return *it;
    }
    void write(const QString& application, const QString& section, const QString& key,
        const QString& value) override
    {
        if (failWrites)
            throw Failure(QStringLiteral("The settings store cannot be written"));
        values.insert(address(application, section, key), value);
        writes.append(key + QLatin1Char('=') + value);
    }
    static QString address(const QString& application, const QString& section, const QString& key)
    {
        return application + QLatin1Char('/') + section + QLatin1Char('/') + key;
    }

    QMap<QString, QString> values;
    QStringList writes;
    bool failReads = false;
    bool failWrites = false;
};

class FakeFolderBrowser : public FolderBrowser
{
public:
    QString browseForFolder(const QString& title, const QString& initialFolder) override
    {
        calls.append({ title, initialFolder });
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QByteArray browseForNativeFolder(const QString& title, const QString& initialFolder) override
    {
        if (nativeAnswers.isEmpty())
            return FolderBrowser::browseForNativeFolder(title, initialFolder);
        calls.append({ title, initialFolder });
        return nativeAnswers.takeFirst();
    }
    struct Call {
        QString title;
        QString initialFolder;
    };
    QList<Call> calls;
    QStringList answers;
    /// Answered first, as the file system's bytes.
    QList<QByteArray> nativeAnswers;
};

class FakeSaveFileDialog : public SaveFileDialog
{
public:
    QString showSave(const SaveDialogRequest& request) override
    {
        requests.append(request);
        return answers.isEmpty() ? request.fileName : answers.takeFirst();
    }
    QList<SaveDialogRequest> requests;
    QStringList answers;
};

class FakeClipboard : public Clipboard
{
public:
    bool clear() override
    {
        ++clearAttempts;
        if (failuresLeft > 0) {
            --failuresLeft;
            return false;
        }
        text.clear();
        hasText = false;
        return true;
    }
    bool setText(const QString& newText, int format) override
    {
        ++setAttempts;
        if (failuresLeft > 0) {
            --failuresLeft;
            return false;
        }
        text = newText;
        lastFormat = format;
        hasText = true;
        paths.clear();
        return true;
    }
    bool setTextAndPaths(const QString& newText, const QList<QByteArray>& nativePaths) override
    {
        if (!setText(newText, 0))
            return false;
        paths = nativePaths;
        return true;
    }
    QString text;
    /// The folders placed beside the text, as the file system names them.
    QList<QByteArray> paths;
    bool hasText = false;
    int lastFormat = -1;
    int clearAttempts = 0;
    int setAttempts = 0;
    int failuresLeft = 0;
};

class FakeProgramFolder : public ProgramFolder
{
public:
    explicit FakeProgramFolder(QString path)
        : m_path(std::move(path))
    {
    }
    QString path() const override { return m_path; }
    QString separator() const override { return QStringLiteral("/"); }

private:
    QString m_path;
};

class FakeLauncher : public ProgramLauncher
{
public:
    void launch(const QString& commandLine, int windowStyle) override
    {
        launched.append(commandLine);
        styles.append(windowStyle);
    }
    void showFolder(const QByteArray& nativePath, ShowingDone done) override
    {
        openedNativeFolders.append(nativePath);
        openedFolders.append(QFile::decodeName(nativePath));
        if (answerLater)
            unanswered.append(std::move(done));
        else
            done(showing);
    }
    void showItem(const QByteArray& item, const QByteArray& folder, ShowingDone done) override
    {
        shownItems.append(item);
        showFolder(folder, std::move(done));
    }
    QStringList launched;
    QList<int> styles;
    /// Every folder the desktop was asked to show, in order.
    QStringList openedFolders;
    /// The same, as the file system names them.
    QList<QByteArray> openedNativeFolders;
    /// The items asked to be shown selected in those folders.
    QList<QByteArray> shownItems;
    /// What the desktop answers: at once, or when the test calls `unanswered`.
    FolderShowing showing = FolderShowing::Shown;
    bool answerLater = false;
    QList<ShowingDone> unanswered;
};

class FakeRandom : public RandomSource
{
public:
    void seed(double secondsSinceMidnight) override { seeds.append(secondsSinceMidnight); }
    double next() override { return fraction; }
    double timeOfDay() const override { return clock; }
    double fraction = 0.5;
    double clock = 43200.0;
    QList<double> seeds;
};

} // namespace vantorel::test
