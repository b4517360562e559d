// SPDX-License-Identifier: MIT
// The settings store cuts its file into sections and lines itself, and QSettings
// decodes what it finds. Both must read any file as QSettings reads it whole:
// the same keys and values in the program's section wherever the store takes
// the section for sound, and after any write the value written, with every
// other value of the section as it was.
#include "FuzzInput.h"
#include "platform/Failure.h"
#include "platform/settings/IniSectionEdit.h"
#include "platform/settings/QtSettingsBackend.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>

#include <optional>

using namespace vantorel;
using namespace vantorel::fuzz;

namespace
{

const QString kSection = QStringLiteral("Vantorel Software");
const QStringList kProgramKeys = { QStringLiteral("Check4"), QStringLiteral("Text1"),
    QStringLiteral("LastFolder"), QStringLiteral("LastSaveFolder") };
// Values that QSettings must escape, quote or mark to keep them text.
const QStringList kValues = { QString(), QStringLiteral(" padded "), QStringLiteral("a,b"),
    QStringLiteral("@String(x)"), QStringLiteral("\"quoted\""), QStringLiteral("two\nlines"),
    QStringLiteral("; not a comment"), QStringLiteral("x=y"), QStringLiteral("back\\slash"),
    QStringLiteral("stra\u00dfe \u00ff\u20ac"), QStringLiteral("[Section]"), QStringLiteral("1") };

using Values = QMap<QString, QString>;

/// Each file is new: QSettings keeps what it read of a path while its size and
/// time look unchanged, which a fast run of inputs cannot promise.
QString freshFile(const QTemporaryDir& dir, const QByteArray& bytes)
{
    static int serial = 0;
    const QString path = dir.filePath(QStringLiteral("f%1.conf").arg(++serial));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        violated("the scratch file can be written", path);
    return path;
}

/// The section's keys without a "/" (QSettings takes the others for subgroups)
/// and the program's own, with the values QSettings reads for them.
Values readByQSettings(const QString& path, const QStringList& alsoAsk)
{
    QSettings settings(path, QSettings::IniFormat);
    settings.beginGroup(kSection);
    Values values;
    QStringList keys = settings.childKeys() + kProgramKeys + alsoAsk;
    for (const QString& key : keys) {
        if (!key.contains(QLatin1Char('/')) && settings.contains(key))
            values.insert(key, settings.value(key).toString());
    }
    return values;
}

Values readByStore(QtSettingsBackend& store, const QString& application, const QStringList& keys)
{
    Values values;
    for (const QString& key : keys) {
        if (key.contains(QLatin1Char('/')))
            continue;
        if (const std::optional<QString> value = store.read(application, kSection, key))
            values.insert(key, *value);
    }
    return values;
}

QString describe(const QByteArray& file, const Values& store, const Values& qsettings)
{
    QString text
        = QStringLiteral("file: ") + QString::fromLatin1(file.toPercentEncoding(" =[];\"\\,@"));
    for (auto [name, values] :
        { std::pair { "store", &store }, std::pair { "QSettings", &qsettings } }) {
        text += QStringLiteral("\n%1:").arg(QLatin1String(name));
        for (auto it = values->cbegin(); it != values->cend(); ++it)
            text += QStringLiteral(" [%1]=[%2]").arg(it.key(), it.value());
    }
    return text;
}

} // namespace

// The store's encoding and decoding go through scratch files too: in memory
// where there is a memory file system, so that a run tries many inputs.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (QDir(QStringLiteral("/dev/shm")).exists())
        qputenv("TMPDIR", "/dev/shm");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    FuzzInput input(data, size);
    const std::uint8_t choice = input.byte();
    const QByteArray file = input.restBytes();
    const QString path = freshFile(dir, file);
    const QString application = QFileInfo(path).completeBaseName();
    QtSettingsBackend store(dir.path());

    const IniSectionEdit section(file, kSection);
    const QStringList storeKeys = section.keys();
    const Values qsettings = readByQSettings(path, storeKeys);
    const Values stored
        = readByStore(store, application, storeKeys + qsettings.keys() + kProgramKeys);
    if (!section.damaged())
        require(stored == qsettings, "a sound section reads as QSettings reads it",
            describe(file, stored, qsettings));

    const QString key = kProgramKeys[choice % kProgramKeys.size()];
    const QString value = kValues[(choice / kProgramKeys.size()) % kValues.size()];
    try {
        store.write(application, kSection, key, value);
    } catch (const Failure& failure) {
        violated("a file of a few bytes can always be written", failure.description());
    }
    QFile written(path);
    if (!written.open(QIODevice::ReadOnly))
        violated("the written file is there", path);
    const QByteArray after = written.readAll();
    const IniSectionEdit rewritten(after, kSection);
    require(!rewritten.damaged(), "a written section is sound",
        QString::fromLatin1(after.toPercentEncoding()));
    // What the store showed is what it keeps, damage dropped.
    Values expected = stored;
    expected.insert(key, value);
    const Values reread = readByQSettings(freshFile(dir, after), rewritten.keys());
    require(reread == expected, "after a write, the value written and the others as shown",
        describe(after, reread, expected));

    for (const QString& name : QDir(dir.path()).entryList(QDir::Files))
        QFile::remove(dir.filePath(name));
    return 0;
}
