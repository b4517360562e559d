// SPDX-License-Identifier: MIT
#include "shell/CommandLine.h"

#include "search/NormaliseFolderPath.h"
#include "shell/common/ProductInfo.h"

#include <QCommandLineParser>
#include <QDir>

namespace vantorel
{

namespace
{

    CommandLine ending(CommandLine::Action action, const QString& text)
    {
        CommandLine line;
        line.action = action;
        line.text = text;
        return line;
    }

} // namespace

CommandLine readCommandLine(const QStringList& arguments, const QString& workingFolder)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Finds folders by name. Each folder given is added to the list of search\n"
                       "locations, in order; one that does not exist is reported when searched.\n"
                       "When the window is already open, the folders are added to it instead."));
    // Our own rather than Qt's: its help option brings --help-all, which would
    // have to print Qt's options from outside the parser.
    const QCommandLineOption help({ QStringLiteral("h"), QStringLiteral("help") },
        QStringLiteral("Shows this help and ends."));
    const QCommandLineOption version({ QStringLiteral("v"), QStringLiteral("version") },
        QStringLiteral("Shows the version and ends."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("A folder to search in."),
        QStringLiteral("[folder...]"));

    const QString tryHelp = QStringLiteral("\nTry 'ostlebry --help' for more.\n");
    if (!parser.parse(arguments))
        return ending(CommandLine::Action::Error,
            QStringLiteral("ostlebry: ") + parser.errorText() + tryHelp);
    if (parser.isSet(help))
        return ending(CommandLine::Action::Help, parser.helpText());
    if (parser.isSet(version))
        return ending(CommandLine::Action::Version,
            QStringLiteral("ostlebry ") + product::version() + QLatin1Char('\n'));

    CommandLine line;
    const QDir working(workingFolder);
    for (const QString& folder : parser.positionalArguments()) {
        if (folder.isEmpty())
            return ending(CommandLine::Action::Error,
                QStringLiteral("ostlebry: an empty argument names no folder.") + tryHelp);
        // The browser gives full paths without "." or "..": so does the command line.
        const QString full = QDir::cleanPath(working.absoluteFilePath(folder));
        line.folders << NormaliseFolderPath(QDir::toNativeSeparators(full), QDir::separator());
    }
    return line;
}

} // namespace vantorel
