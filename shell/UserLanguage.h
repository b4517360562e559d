// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTranslator>
#include <functional>
#include <memory>

namespace vantorel
{

/// Reads one environment variable; null when it is not set.
using EnvironmentReader = std::function<QByteArray(const char*)>;

/// The languages the user reads messages in, best first, taken from the
/// environment as GNU gettext takes them: the locale is named by LC_ALL, else
/// LC_MESSAGES, else LANG (POSIX's order); in the C or POSIX locale (with any
/// codeset) the list is empty and the program speaks as it was written,
/// whatever LANGUAGE says, since scripts rely on that output; otherwise
/// LANGUAGE's list, where set, stands in for the locale. Each name loses its
/// codeset and modifier ("de_DE.UTF-8@euro" gives "de_DE").
QStringList messageLanguages(const EnvironmentReader& variable);
/// messageLanguages() of this process's environment.
QStringList messageLanguages();

/// The program's catalogue for the user's language and Qt's own for the same
/// language (the standard buttons, the file dialog, the command line's usage
/// lines), installed in the application for as long as this lives. The first
/// language of the list that is English, or that the program has a catalogue
/// for ("de_AT" is served by "de"), wins: with none, every text stays as
/// written, and Qt's catalogue is not loaded either, so the window speaks one
/// language.
class UserLanguage
{
public:
    /// `catalogues` holds "ostlebry_<language>.qm", `qtCatalogues` Qt's
    /// "qtbase_<language>.qm". A QCoreApplication must exist.
    UserLanguage(
        const QStringList& languages, const QString& catalogues, const QString& qtCatalogues);
    ~UserLanguage();
    UserLanguage(const UserLanguage&) = delete;
    UserLanguage& operator=(const UserLanguage&) = delete;

    /// The language whose catalogue was installed ("de"), or empty.
    const QString& language() const { return m_language; }
    /// Whether Qt's own catalogue for it was found and installed.
    bool hasQtCatalogue() const { return m_qt != nullptr; }

    /// The program's catalogues beside the program file, and Qt's as the
    /// system has them.
    static QString programCatalogues();
    static QString systemQtCatalogues();

private:
    QString m_language;
    std::unique_ptr<QTranslator> m_own;
    std::unique_ptr<QTranslator> m_qt;
};

} // namespace vantorel
