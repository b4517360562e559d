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

/// Values of a damaged file, recovered line by line: QSettings stops trusting
/// everything after the damage and would drop those keys when it rewrites the
/// file. Each "key=value" line is decoded by QSettings itself, alone.
QSettings::SettingsMap recoverValues(const QString& file)
{
    QSettings::SettingsMap values;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return values;
    QTemporaryFile scratch;
    if (!scratch.open())
        return values;
    const QByteArray content = in.readAll();
    for (const QByteArray& rawLine : content.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        const int equals = line.indexOf('=');
        if (equals <= 0 || line.startsWith('[') || line.startsWith(';'))
            continue;
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
    QSettings settings(file, QSettings::IniFormat);
    if (settings.status() == QSettings::AccessError || QFileInfo(file).isDir())
        throw Failure(describe(QSettings::AccessError, file));
    settings.beginGroup(section);
    if (settings.status() == QSettings::NoError) {
        if (!settings.contains(key))
            return std::nullopt;
        return settings.value(key).toString();
    }
    // Damaged: what can still be read line by line is better than nothing.
    const QSettings::SettingsMap recovered = recoverValues(file);
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
    if (settings.status() == QSettings::FormatError) {
        // The rewrite below replaces the damaged file: keep a copy of it, and
        // carry every value that can still be read into the new file.
        const QString copy = file + QStringLiteral(".damaged");
        QFile::remove(copy);
        QFile::copy(file, copy);
        const QSettings::SettingsMap recovered = recoverValues(file);
        settings.beginGroup(section);
        for (auto it = recovered.constBegin(); it != recovered.constEnd(); ++it)
            if (!settings.contains(it.key()))
                settings.setValue(it.key(), it.value());
        settings.endGroup();
    }
    settings.beginGroup(section);
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    if (settings.status() == QSettings::AccessError)
        throw Failure(describe(QSettings::AccessError, file));
}

} // namespace vantorel
