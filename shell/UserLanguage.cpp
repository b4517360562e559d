// SPDX-License-Identifier: MIT
#include "shell/UserLanguage.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>

namespace vantorel
{

namespace
{

    /// "de_DE.UTF-8@euro" without its codeset and modifier.
    QString bareLanguage(const QByteArray& name)
    {
        qsizetype end = 0;
        while (end < name.size() && name.at(end) != '.' && name.at(end) != '@')
            ++end;
        return QString::fromLatin1(name.left(end));
    }

    bool isCLocale(const QString& bare)
    {
        return bare.isEmpty() || bare == u"C" || bare == u"POSIX";
    }

    /// The names a catalogue of `language` may carry, the closest first.
    QStringList catalogueNames(const QString& language)
    {
        QStringList names { language };
        const qsizetype territory = language.indexOf(QLatin1Char('_'));
        if (territory > 0)
            names << language.left(territory);
        return names;
    }

    /// The catalogue of exactly that name: QTranslator's own search would
    /// take "de" for "de_DE" unasked, and hide which one served.
    std::unique_ptr<QTranslator> loaded(const QString& base, const QString& folder)
    {
        const QString file = folder + QLatin1Char('/') + base + QStringLiteral(".qm");
        auto translator = std::make_unique<QTranslator>();
        if (!QFileInfo(file).isFile() || !translator->load(file))
            return nullptr;
        return translator;
    }

} // namespace

QStringList messageLanguages(const EnvironmentReader& variable)
{
    QByteArray locale;
    for (const char* name : { "LC_ALL", "LC_MESSAGES", "LANG" }) {
        locale = variable(name);
        if (!locale.isEmpty())
            break;
    }
    if (isCLocale(bareLanguage(locale)))
        return {};
    QStringList languages;
    for (const QByteArray& name : variable("LANGUAGE").split(':')) {
        const QString bare = bareLanguage(name);
        if (!bare.isEmpty())
            languages << bare;
    }
    if (languages.isEmpty())
        languages << bareLanguage(locale);
    return languages;
}

QStringList messageLanguages()
{
    return messageLanguages([](const char* name) { return qgetenv(name); });
}

UserLanguage::UserLanguage(
    const QStringList& languages, const QString& catalogues, const QString& qtCatalogues)
{
    for (const QString& language : languages) {
        if (isCLocale(language) || language == u"en" || language.startsWith(u"en_"))
            return; // the texts as written
        for (const QString& name : catalogueNames(language)) {
            m_own = loaded(QStringLiteral("ostlebry_") + name, catalogues);
            if (!m_own)
                continue;
            m_language = name;
            m_qt = loaded(QStringLiteral("qtbase_") + name, qtCatalogues);
            // Qt's first: the last installed is asked first, and ours must win
            // for any text the two share.
            if (m_qt)
                QCoreApplication::installTranslator(m_qt.get());
            QCoreApplication::installTranslator(m_own.get());
            return;
        }
    }
}

UserLanguage::~UserLanguage()
{
    if (m_own)
        QCoreApplication::removeTranslator(m_own.get());
    if (m_qt)
        QCoreApplication::removeTranslator(m_qt.get());
}

QString UserLanguage::programCatalogues()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
}

QString UserLanguage::systemQtCatalogues()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

} // namespace vantorel
