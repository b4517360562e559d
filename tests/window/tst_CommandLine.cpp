// SPDX-License-Identifier: MIT
#include "shell/CommandLine.h"
#include "shell/DisplayKey.h"
#include "shell/HandOffPlace.h"
#include "shell/common/ProductInfo.h"
#include "shell/qt/StartFolders.h"
#include "support/EnvironmentValue.h"
#include "support/ModalBoxAnswerer.h"
#include "support/WindowDriver.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace vantorel;
using vantorel::test::EnvironmentValue;
using Action = CommandLine::Action;
using Folders = QList<QByteArray>;

namespace
{

CommandLine read(const QStringList& arguments)
{
    Folders native { "ostlebry" };
    for (const QString& argument : arguments)
        native << QFile::encodeName(argument);
    return readCommandLine(native, "/home/user/work");
}

QProcessEnvironment withoutDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
        environment.remove(QLatin1String(name));
    return environment;
}

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run runProgram(const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(OSTLEBRY_PROGRAM), arguments);
    Run run;
    if (!program.waitForFinished(60000) || program.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = program.exitCode();
    run.out = QString::fromLocal8Bit(program.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(program.readAllStandardError());
    return run;
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void foldersAreFullAndTidyInTheirOrder()
    {
        const CommandLine line
            = read({ "b", "/x//y/", "../c", "/a/./b/..", "--", "-dash", "/no/such folder", "/" });
        QCOMPARE(line.action, Action::Start);
        QCOMPARE(line.folders,
            (Folders { "/home/user/work/b", "/x/y", "/home/user/c", "/a", "/home/user/work/-dash",
                "/no/such folder", "/" }));
    }

    void theSameFolderTwiceIsAddedTwice()
    {
        QCOMPARE(read({ ".", "/home/user/work/" }).folders,
            (Folders { "/home/user/work", "/home/user/work" }));
    }

    void noArgumentsStartsWithAnEmptyList()
    {
        const CommandLine line = read({});
        QCOMPARE(line.action, Action::Start);
        QVERIFY(line.folders.isEmpty());
    }

    void helpAndVersionEndAtOnce()
    {
        const CommandLine help = read({ "/x", "--help" });
        QCOMPARE(help.action, Action::Help);
        QVERIFY2(help.text.contains("[options] [folder...]\n"), qPrintable(help.text));
        QVERIFY2(help.text.contains("--no-index") && help.text.contains("--index-everywhere"),
            qPrintable(help.text));
        QCOMPARE(read({ "-h" }).action, Action::Help);
        QCOMPARE(read({ "-v" }).action, Action::Version);
        QCOMPARE(read({ "--help-all" }).action, Action::Error);
        const CommandLine version = read({ "--version" });
        QCOMPARE(version.action, Action::Version);
        QCOMPARE(version.text, "ostlebry " + product::version() + "\n");
        QVERIFY(!product::version().isEmpty());
    }

    void badArgumentsAreNamed_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("text");
        QTest::newRow("unknown option") << QStringList { "/x",
            "--bogus" } << "ostlebry: Unknown option 'bogus'.\nTry 'ostlebry --help' for more.\n";
        QTest::newRow("both index switches")
            << QStringList { "--no-index", "/x", "--index-everywhere" }
            << "ostlebry: --no-index and --index-everywhere cannot go together.\nTry 'ostlebry "
               "--help' for more.\n";
        QTest::newRow("empty folder")
            << QStringList { "/x", "" }
            << "ostlebry: an empty argument names no folder.\nTry 'ostlebry --help' for more.\n";
    }
    void badArgumentsAreNamed()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, text);
        const CommandLine line = read(arguments);
        QCOMPARE(line.action, Action::Error);
        QCOMPARE(line.text, text);
        QVERIFY(line.folders.isEmpty());
    }

    void indexSwitchesLeaveTheFoldersAlone()
    {
        using Index = CommandLine::FolderIndex;
        QCOMPARE(read({ "/x" }).index, Index::AsTheEnvironmentSays);
        const CommandLine off = read({ "/x", "--no-index", "/y" });
        QCOMPARE(off.index, Index::Off);
        QCOMPARE(off.folders, (Folders { "/x", "/y" }));
        QCOMPARE(read({ "--index-everywhere" }).index, Index::Everywhere);
        QCOMPARE(read({ "--", "--no-index" }).folders, Folders { "/home/user/work/--no-index" });
    }

    void aFolderWhoseNameIsNotTextKeepsItsBytes()
    {
        const QByteArray odd("bad\xff\xfe dir");
        const CommandLine line = readCommandLine({ "ostlebry", odd, "/x/" + odd + "/.." }, "/w");
        QCOMPARE(line.folders, (Folders { "/w/" + odd, "/x" }));
    }

    void aFolderWhoseNameIsNotTextIsSearchedFromTheCommandLine()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QByteArray odd = QFile::encodeName(dir.path()) + "/bad\xff dir";
        QVERIFY(::mkdir(odd.constData(), 0700) == 0 && ::mkdir(odd + "/target", 0700) == 0);
        const CommandLine line
            = readCommandLine({ "ostlebry", "bad\xff dir" }, QFile::encodeName(dir.path()));
        QCOMPARE(line.folders, Folders { odd });
        test::WindowDriver w;
        addStartFolders(w.form, line.folders);
        test::ModalBoxAnswerer answerer;
        w.typePhrase("target");
        w.click("PushButton1");
        QCOMPARE(answerer.boxes.size(), 1);
        QCOMPARE(answerer.boxes[0].text, QStringLiteral("Done."));
        QCOMPARE(w.results().size(), 1);
        QCOMPARE(w.form.results().nativePath(0), odd + "/target");
    }

    void helpAndVersionNeedNoDisplay()
    {
        const QString program = QStringLiteral(OSTLEBRY_PROGRAM);
        const Run help = runProgram({ "--help" }, withoutDisplay());
        QCOMPARE(help.exitCode, 0);
        QCOMPARE(help.err, QString());
        // The usage line names the program as it was started; the rest is fixed.
        QCOMPARE(help.out.section('\n', 0, 0), "Usage: " + program + " [options] [folder...]");
        QCOMPARE(help.out.section('\n', 1), read({ "--help" }).text.section('\n', 1));

        const Run version = runProgram({ "--version" }, withoutDisplay());
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out, "ostlebry " + product::version() + "\n");

        const Run none = runProgram({ "/tmp" }, withoutDisplay());
        QCOMPARE(none.exitCode, 2);
        QVERIFY2(none.err.startsWith("ostlebry: no display found."), qPrintable(none.err));
    }

    void aBadOptionEndsTheProgramWithItsName()
    {
        QTemporaryDir runtime;
        QVERIFY(runtime.isValid());
        QProcessEnvironment environment = withoutDisplay();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_RUNTIME_DIR", runtime.path());
        const Run run = runProgram({ "--bogus" }, environment);
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.err,
            QStringLiteral("ostlebry: Unknown option 'bogus'.\nTry 'ostlebry --help' for more.\n"));
    }

    void aSecondStartHandsItsFoldersToTheFirst()
    {
        QTemporaryDir runtime;
        QVERIFY(runtime.isValid());
        const auto sockets = [&runtime] {
            return QDir(runtime.path()).entryList({ "*.socket" }, QDir::System).size();
        };
        const auto environmentOn = [&runtime](const QString& display) {
            QProcessEnvironment environment = withoutDisplay();
            environment.insert("QT_QPA_PLATFORM", "offscreen");
            // Never the address of a window the user has open.
            environment.insert("XDG_RUNTIME_DIR", runtime.path());
            environment.insert("DISPLAY", display);
            return environment;
        };
        QProcess first;
        first.setProcessEnvironment(environmentOn(":71"));
        first.start(QStringLiteral(OSTLEBRY_PROGRAM), { "/first" });
        QVERIFY(first.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(sockets(), 1, 30000);

        const Run second = runProgram({ "relative", "/second" }, environmentOn(":71.0"));
        QCOMPARE(second.exitCode, 0);
        QCOMPARE(second.out,
            QStringLiteral("ostlebry: the folders were added to the window already open.\n"));

        // On another display the start opens a window of its own, serving there.
        QProcess elsewhere;
        elsewhere.setProcessEnvironment(environmentOn(":72"));
        elsewhere.start(QStringLiteral(OSTLEBRY_PROGRAM), { "/third" });
        QVERIFY(elsewhere.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(sockets(), 2, 30000);
        QCOMPARE(elsewhere.state(), QProcess::Running);
        for (QProcess* program : { &first, &elsewhere }) {
            program->kill();
            program->waitForFinished();
        }
    }
};

QTEST_MAIN(TestCommandLine)
#include "tst_CommandLine.moc"
