// SPDX-License-Identifier: MIT
#include "shell/CommandLine.h"

#include "shell/common/ProductInfo.h"

#include <QCommandLineParser>
#include <QFile>

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

    /// `folder` taken from `working` unless it is full, without "." or ".."
    /// or repeated separators, as the browser gives a folder. Bytes, not text:
    /// every name stays as the file system has it.
    QByteArray fullTidyPath(const QByteArray& folder, const QByteArray& working)
    {
        const QByteArray joined = folder.startsWith('/') ? folder : working + '/' + folder;
        QList<QByteArray> names;
        for (const QByteArray& name : joined.split('/')) {
            if (name.isEmpty() || name == ".")
                continue;
            if (name == "..") {
                if (!names.isEmpty())
                    names.removeLast();
                continue;
            }
            names.append(name);
        }
        return '/' + names.join('/');
    }

    /// The options --help lists, added to the parser.
    struct Options {
        QCommandLineOption help;
        QCommandLineOption version;
        QCommandLineOption noIndex;
        QCommandLineOption indexEverywhere;
    };

    Options addOptions(QCommandLineParser& parser)
    {
        //: --help's opening; lines of at most 80 characters.
        parser.setApplicationDescription(CommandLine::tr(
            "Finds folders by name. Each folder given is added to the list of search\n"
            "locations, in order; one that does not exist is reported when searched.\n"
            "When the window is already open, the folders are added to it instead."));
        // Our own rather than Qt's: its help option brings --help-all, which
        // would have to print Qt's options from outside the parser.
        Options options {
            { { QStringLiteral("h"), QStringLiteral("help") },
                CommandLine::tr("Shows this help and ends.") },
            { { QStringLiteral("v"), QStringLiteral("version") },
                CommandLine::tr("Shows the version and ends.") },
            { QStringLiteral("no-index"),
                CommandLine::tr("Lists every folder at every search, with no folder index "
                                "(so does OSTLEBRY_INDEX=0).") },
            { QStringLiteral("index-everywhere"),
                CommandLine::tr(
                    "Keeps a folder index on every file system, also those whose "
                    "folder times it does not rely on (so does OSTLEBRY_INDEX=everywhere). "
                    "Without either, a location searched again on ext2/3/4, xfs, btrfs, "
                    "f2fs, tmpfs, ZFS or NFS is checked against its index, and only the "
                    "folders that changed are listed again.") },
        };
        for (const QCommandLineOption* option :
            { &options.help, &options.version, &options.noIndex, &options.indexEverywhere })
            parser.addOption(*option);
        //: The folders' name in --help's list of arguments.
        const QString folderName = CommandLine::tr("folder");
        //: The folders in --help's usage line, after "[options]".
        const QString syntax = CommandLine::tr("[folder...]");
        parser.addPositionalArgument(folderName, CommandLine::tr("A folder to search in."), syntax);
        return options;
    }

} // namespace

CommandLine readCommandLine(const QList<QByteArray>& arguments, const QByteArray& workingFolder)
{
    QCommandLineParser parser;
    const Options options = addOptions(parser);

    const QString tryHelp = CommandLine::tr("\nTry 'ostlebry --help' for more.\n");
    QStringList texts;
    for (const QByteArray& argument : arguments)
        texts << QFile::decodeName(argument);
    if (!parser.parse(texts))
        return ending(CommandLine::Action::Error,
            //: Qt's description of the mistake follows.
            CommandLine::tr("ostlebry: ") + parser.errorText() + tryHelp);
    if (parser.isSet(options.help))
        return ending(CommandLine::Action::Help, parser.helpText());
    if (parser.isSet(options.version))
        return ending(CommandLine::Action::Version,
            QStringLiteral("ostlebry ") + product::version() + QLatin1Char('\n'));

    CommandLine line;
    if (parser.isSet(options.noIndex) && parser.isSet(options.indexEverywhere))
        return ending(CommandLine::Action::Error,
            CommandLine::tr("ostlebry: --no-index and --index-everywhere cannot go together.")
                + tryHelp);
    if (parser.isSet(options.noIndex))
        line.index = CommandLine::FolderIndex::Off;
    else if (parser.isSet(options.indexEverywhere))
        line.index = CommandLine::FolderIndex::Everywhere;
    // The parser gives the folders as text, which may have lost bytes: each is
    // the next argument, after the program's name, that reads the same. Only
    // "--" comes between them here, and its bytes are its text.
    qsizetype next = 1;
    for (const QString& folder : parser.positionalArguments()) {
        if (folder.isEmpty())
            return ending(CommandLine::Action::Error,
                CommandLine::tr("ostlebry: an empty argument names no folder.") + tryHelp);
        while (next < texts.size() && texts.at(next) != folder)
            ++next;
        const QByteArray bytes
            = next < arguments.size() ? arguments.at(next++) : QFile::encodeName(folder);
        line.folders << fullTidyPath(bytes, workingFolder);
    }
    return line;
}

} // namespace vantorel
