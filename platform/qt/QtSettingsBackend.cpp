// SPDX-License-Identifier: MIT
#include "platform/qt/QtSettingsBackend.h"

#include "platform/Failure.h"
#include "platform/qt/BoundedFileRead.h"
#include "platform/qt/IniSections.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <algorithm>

namespace vantorel
{

namespace
{

    using Outcome = BoundedFileRead::Outcome;

    QString cannotReadOrWrite(const QString& file)
    {
        return QStringLiteral("The settings file %1 cannot be read or written.")
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
            throw Failure(QStringLiteral("The settings file %1 is not a regular file.").arg(where));
        case Outcome::TooLarge:
            throw Failure(
                QStringLiteral("The settings file %1 is damaged: it is larger than %2 MB.")
                    .arg(where)
                    .arg(QtSettingsBackend::kMaxFileBytes / (1024 * 1024)));
        case Outcome::Folder:
        case Outcome::Unreadable:
            break;
        }
        throw Failure(cannotReadOrWrite(file));
    }

    struct SectionValues {
        QSettings::SettingsMap values;
        bool damaged = false;
    };

    /// Decodes the section's value lines with QSettings, each line in a group of
    /// its own: a damaged line then spoils only itself, where QSettings alone gives
    /// up on what follows it. One pass, however many lines.
    SectionValues decode(const QList<QByteArray>& keyLines)
    {
        SectionValues result;
        if (keyLines.isEmpty())
            return result;
        QByteArray scratchText;
        for (qsizetype i = 0; i < keyLines.size(); ++i) {
            // A line that ends in a lone backslash would run on into the next group.
            const QByteArray& line = keyLines[i];
            qsizetype slashes = 0;
            while (slashes < line.size() && line[line.size() - 1 - slashes] == '\\')
                ++slashes;
            if (slashes % 2) {
                result.damaged = true;
                continue;
            }
            scratchText += '[' + QByteArray::number(i) + "]\n" + line + '\n';
        }
        QTemporaryFile scratch;
        if (!scratch.open() || scratch.write(scratchText) != scratchText.size() || !scratch.flush())
            throw Failure(
                QStringLiteral("The settings cannot be decoded: %1").arg(scratch.errorString()));
        QSettings decoder(scratch.fileName(), QSettings::IniFormat);
        QList<int> keysPerLine(keyLines.size(), 0);
        QList<std::pair<int, QString>> found;
        for (const QString& path : decoder.allKeys()) {
            const qsizetype slash = path.indexOf(QLatin1Char('/'));
            bool ok = false;
            const int line = path.left(slash).toInt(&ok);
            if (slash < 0 || !ok || line < 0 || line >= keyLines.size()) {
                result.damaged = true;
                continue;
            }
            ++keysPerLine[line];
            found.append({ line, path });
        }
        // In file order, so that of two lines with the same key the later one counts.
        std::sort(found.begin(), found.end());
        for (const auto& [line, path] : found) {
            if (keysPerLine[line] == 1)
                result.values.insert(
                    path.mid(path.indexOf(QLatin1Char('/')) + 1), decoder.value(path));
        }
        result.damaged |= decoder.status() != QSettings::NoError
            || std::count(keysPerLine.begin(), keysPerLine.end(), 1) != keyLines.size();
        return result;
    }

    /// The section as QSettings writes it: its header and one line per value.
    QByteArray encode(const QString& section, const QSettings::SettingsMap& values)
    {
        QTemporaryFile scratch;
        if (!scratch.open())
            throw Failure(
                QStringLiteral("The settings cannot be encoded: %1").arg(scratch.errorString()));
        {
            QSettings encoder(scratch.fileName(), QSettings::IniFormat);
            encoder.beginGroup(section);
            for (auto it = values.constBegin(); it != values.constEnd(); ++it)
                encoder.setValue(it.key(), it.value());
            encoder.endGroup();
            encoder.sync();
        }
        QFile written(scratch.fileName());
        if (!written.open(QIODevice::ReadOnly))
            throw Failure(
                QStringLiteral("The settings cannot be encoded: %1").arg(written.errorString()));
        return written.readAll();
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
        throw Failure(QStringLiteral("The damaged settings file %1 cannot be kept aside.")
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

std::optional<QString> QtSettingsBackend::read(
    const QString& application, const QString& section, const QString& key)
{
    const QString file = filePath(application);
    const IniSections sections(textOf(readBoundedFile(file, kMaxFileBytes), file), section);
    const SectionValues ours = decode(sections.keyLines());
    const auto it = ours.values.constFind(key);
    if (it == ours.values.constEnd())
        return std::nullopt;
    return it->toString();
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
    const IniSections sections(tooLarge ? QByteArray() : textOf(current, file), section);
    SectionValues ours = decode(sections.keyLines());
    ours.values.insert(key, value);
    const QByteArray text = sections.replaced(encode(section, ours.values));
    if (text.size() > kMaxFileBytes)
        throw Failure(QStringLiteral("The settings file %1 would be larger than %2 MB.")
                          .arg(QDir::toNativeSeparators(file))
                          .arg(kMaxFileBytes / (1024 * 1024)));
    if (tooLarge || sections.damaged() || ours.damaged)
        keepAside(file, tooLarge);
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.commit())
        throw Failure(cannotReadOrWrite(file));
}

} // namespace vantorel
