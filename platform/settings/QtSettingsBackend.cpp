// SPDX-License-Identifier: MIT
#include "platform/settings/QtSettingsBackend.h"

#include "platform/Failure.h"
#include "platform/settings/BoundedFileRead.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace vantorel
{

namespace
{

    using Outcome = BoundedFileRead::Outcome;

    QString cannotReadOrWrite(const QString& file)
    {
        return Failure::tr("The settings file %1 cannot be read or written.")
            .arg(QDir::toNativeSeparators(file));
    }

    /// The file's text; empty when there is none. Throws when it cannot or must not be read.
    QByteArray textOf(const BoundedFileRead& read, const QString& file)
    {
        const QString where = QDir::toNativeSeparators(file);
        switch (read.outcome) {
        case Outcome::Read:
            return read.bytes;
        case Outcome::Absent:
            return {};
        case Outcome::NotRegular:
            throw Failure(Failure::tr("The settings file %1 is not a regular file.").arg(where));
        case Outcome::TooLarge:
            throw Failure(Failure::tr("The settings file %1 is damaged: it is larger than %2 MB.")
                              .arg(where)
                              .arg(QtSettingsBackend::kMaxFileMegabytes));
        case Outcome::Folder:
        case Outcome::Unreadable:
            break;
        }
        throw Failure(cannotReadOrWrite(file));
    }

    /// What QSettings writes for one value: the section's header line and the value's line.
    struct EncodedValue {
        QByteArray header;
        QByteArray line;
    };

    EncodedValue encode(const QString& section, const QString& key, const QString& value)
    {
        QTemporaryFile scratch;
        if (!scratch.open())
            throw Failure(
                Failure::tr("The settings cannot be encoded: %1").arg(scratch.errorString()));
        {
            QSettings encoder(scratch.fileName(), QSettings::IniFormat);
            encoder.beginGroup(section);
            encoder.setValue(key, value);
            encoder.endGroup();
            encoder.sync();
        }
        QFile written(scratch.fileName());
        if (!written.open(QIODevice::ReadOnly))
            throw Failure(
                Failure::tr("The settings cannot be encoded: %1").arg(written.errorString()));
        const QByteArray text = written.readAll();
        const qsizetype headerEnd = text.indexOf('\n') + 1;
        return { text.first(headerEnd), text.sliced(headerEnd).trimmed() };
    }

    /// The value QSettings reads from one value line standing alone.
    std::optional<QString> decode(QByteArrayView line)
    {
        QTemporaryFile scratch;
        const QByteArray text = "[v]\n" + line.toByteArray() + '\n';
        if (!scratch.open() || scratch.write(text) != text.size() || !scratch.flush())
            throw Failure(
                Failure::tr("The settings cannot be decoded: %1").arg(scratch.errorString()));
        QSettings decoder(scratch.fileName(), QSettings::IniFormat);
        const QStringList keys = decoder.allKeys();
        if (keys.size() != 1)
            return std::nullopt;
        return decoder.value(keys.constFirst()).toString();
    }

    /// Puts the damaged file aside under a name not taken yet, so that no earlier
    /// copy is lost. `move`: renamed, for a file too large to copy cheaply.
    void keepAside(const QString& file, bool move)
    {
        for (int n = 0; n < 100; ++n) {
            const QString aside = file + QStringLiteral(".damaged")
                + (n ? QStringLiteral(".%1").arg(n) : QString());
            if (QFileInfo::exists(aside) || QFileInfo(aside).isSymLink())
                continue;
            if (move ? QFile::rename(file, aside) : QFile::copy(file, aside))
                return;
            break;
        }
        throw Failure(Failure::tr("The damaged settings file %1 cannot be kept aside.")
                          .arg(QDir::toNativeSeparators(file)));
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

IniSectionEdit& QtSettingsBackend::sectionOf(
    const QString& file, const QString& section, const QByteArray& text)
{
    if (!m_cache || m_cache->file != file || m_cache->section != section || m_cache->text != text) {
        m_cache.reset(); // first: a large file's cut takes tens of megabytes
        m_cache.reset(new Cache { file, section, text, IniSectionEdit(text, section) });
        ++m_parses;
    }
    return m_cache->edit;
}

std::optional<QString> QtSettingsBackend::read(
    const QString& application, const QString& section, const QString& key)
{
    const QString file = filePath(application);
    const IniSectionEdit& ours
        = sectionOf(file, section, textOf(readBoundedFile(file, kMaxFileBytes), file));
    const std::optional<QByteArrayView> line = ours.lineOf(key);
    if (!line)
        return std::nullopt;
    return decode(*line);
}

void QtSettingsBackend::write(
    const QString& application, const QString& section, const QString& key, const QString& value)
{
    const QString file = filePath(application);
    QDir().mkpath(m_configFolder);
    const BoundedFileRead current = readBoundedFile(file, kMaxFileBytes);
    // A file too large to read is kept whole by a rename, which costs nothing
    // however large it is; this program's values in it are not looked for.
    const bool tooLarge = current.outcome == Outcome::TooLarge;
    IniSectionEdit& ours
        = sectionOf(file, section, tooLarge ? QByteArray() : textOf(current, file));
    try {
        const EncodedValue encoded = encode(section, key, value);
        ours.setLine(key, encoded.line);
        const QByteArray text = ours.text(encoded.header);
        if (text.size() > kMaxFileBytes)
            throw Failure(Failure::tr("The settings file %1 would be larger than %2 MB.")
                              .arg(QDir::toNativeSeparators(file))
                              .arg(kMaxFileMegabytes));
        if (tooLarge || ours.damaged())
            keepAside(file, tooLarge);
        QSaveFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.commit())
            throw Failure(cannotReadOrWrite(file));
        ours.forgetDamage();
        m_cache->text = text;
    } catch (...) {
        // The section now holds a value that did not reach the file.
        m_cache.reset();
        throw;
    }
}

} // namespace vantorel
