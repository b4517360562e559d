// SPDX-License-Identifier: MIT
#include "platform/qt/QtSettingsBackend.h"

#include "platform/Failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace vantorel {

namespace {

QString describe(QSettings::Status status, const QString& file)
{
    const QString where = QDir::toNativeSeparators(file);
    if (status == QSettings::AccessError)
        return QStringLiteral("The settings file %1 cannot be read or written.").arg(where);
    return QStringLiteral("The settings file %1 is damaged.").arg(where);
}

/// The "key=value" lines of the file, undecoded, by key.
QMap<QString, QByteArray> rawKeyLines(const QString& file)
{
    QMap<QString, QByteArray> lines;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray& rawLine : in.readAll().split('\n')) {
        const QByteArray line = rawLine.trimmed();
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0 || line.startsWith('[') || line.startsWith(';'))
            continue;
        lines.insert(QString::fromLatin1(line.left(equals).trimmed()), line);
    }
    return lines;
}

/// Values of a damaged file, recovered line by line: QSettings gives up on
/// what follows the damage (or files it under a group made of garbage), and
/// would drop those keys when it rewrites the file. Each line is decoded by
/// QSettings itself, alone.
QSettings::SettingsMap recoverValues(const QMap<QString, QByteArray>& lines)
{
    QSettings::SettingsMap values;
    QTemporaryFile scratch;
    if (!scratch.open())
        return values;
    for (const QByteArray& line : lines) {
        scratch.resize(0);
        scratch.seek(0);
        scratch.write("[g]\n" + line + '\n');
        scratch.flush();
        QSettings decoder(scratch.fileName(), QSettings::IniFormat);
        decoder.beginGroup(QStringLiteral("g"));
        for (const QString& key : decoder.allKeys())
            values.insert(key, decoder.value(key));
    }
    return values;
}

/// Keys written in the file that QSettings does not see in the section: the
/// file is damaged (it holds nothing but this program's section).
QMap<QString, QByteArray> strayLines(QSettings& settings, const QString& file)
{
    QMap<QString, QByteArray> lines = rawKeyLines(file);
    for (const QString& key : settings.childKeys())
        lines.remove(key);
    return lines;
}

} // namespace

QtSettingsBackend::QtSettingsBackend(QString configFolder)
    : m_configFolder(std::move(configFolder))
{
    if (m_configFolder.isEmpty())
        m_configFolder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString QtSettingsBackend::filePath(const QString& application) const
{
    return m_configFolder + QLatin1Char('/') + application + QStringLiteral(".conf");
}

std::optional<QString> QtSettingsBackend::read(const QString& application, const QString& section,
                                               const QString& key)
{
    const QString file = filePath(application);
    if (QFileInfo(file).isDir())
        throw Failure(describe(QSettings::AccessError, file));
    QSettings settings(file, QSettings::IniFormat);
    settings.beginGroup(section);
    if (settings.contains(key))
        return settings.value(key).toString();
    if (settings.status() == QSettings::AccessError)
        throw Failure(describe(QSettings::AccessError, file));
    // Absent, or lost to damage: what can still be read line by line is better than nothing.
    const QSettings::SettingsMap recovered = recoverValues(strayLines(settings, file));
    const auto it = recovered.constFind(key);
    if (it == recovered.constEnd())
        return std::nullopt;
    return it->toString();
}

void QtSettingsBackend::write(const QString& application, const QString& section,
                              const QString& key, const QString& value)
{
    const QString file = filePath(application);
    QDir().mkpath(m_configFolder);
    if (QFileInfo(file).isDir())
        throw Failure(describe(QSettings::AccessError, file));
    QSettings settings(file, QSettings::IniFormat);
    settings.beginGroup(section);
    const QMap<QString, QByteArray> stray = strayLines(settings, file);
    if (!stray.isEmpty() || settings.status() == QSettings::FormatError) {
        // The write below rewrites the damaged file: keep a copy of it, and
        // carry every value that can still be read into the new file.
        const QString copy = file + QStringLiteral(".damaged");
        QFile::remove(copy);
        QFile::copy(file, copy);
        const QSettings::SettingsMap recovered = recoverValues(stray);
        for (auto it = recovered.constBegin(); it != recovered.constEnd(); ++it)
            settings.setValue(it.key(), it.value());
    }
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    if (settings.status() == QSettings::AccessError)
        throw Failure(describe(QSettings::AccessError, file));
}

} // namespace vantorel
