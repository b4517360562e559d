// SPDX-License-Identifier: MIT
// The save dialog and the folder the program's dialogs start in.
#include "platform/files/DialogStartFolder.h"
#include "platform/files/NativeFileUrl.h"
#include "platform/qt/files/QtSaveFileDialog.h"
#include "support/ModalBoxAnswerer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace vantorel;

class TestQtFileDialogs : public QObject
{
    Q_OBJECT

private slots:
    // No box is left open behind a test.
    void cleanup() { QVERIFY(!test::openBox()); }

    void filterTextBecomesQtFilter_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("expected");
        QTest::newRow("save dialog") << "Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"
                                     << "Text Files (*.txt);;All Files (*.*)";
        QTest::newRow("pattern not in the description") << "Text|*.txt|"
                                                        << "Text (*.txt)";
        QTest::newRow("two patterns") << "Lists|*.txt;*.lst|"
                                      << "Lists (*.txt *.lst)";
        QTest::newRow("no trailing bar") << "Text Files (*.txt)|*.txt"
                                         << "Text Files (*.txt)";
        QTest::newRow("empty") << ""
                               << "";
    }
    void filterTextBecomesQtFilter()
    {
        QFETCH(QString, filter);
        QFETCH(QString, expected);
        QCOMPARE(QtSaveFileDialog::qtFilter(filter), expected);
    }

    /// The save dialog opens in the start folder (else home), proposes its
    /// name, and adds the text filter's suffix to a name typed without one.
    void saveDialogStartsWhereAskedAndAddsTheSuffix_data()
    {
        QTest::addColumn<bool>("startExists");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("allFiles");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("standing"); // what is there under the name typed
        QTest::newRow("no suffix typed") << true << "results" << false << "results.txt"
                                         << "";
        QTest::newRow("a suffix of its own") << true << "results.lst" << false << "results.lst"
                                             << "";
        QTest::newRow("all files chosen") << true << "results" << true << "results"
                                          << "";
        QTest::newRow("start folder gone") << false << "results" << false << "results.txt"
                                           << "";
        QTest::newRow("a device") << true << "/dev/null" << false << "/dev/null"
                                  << "";
        QTest::newRow("an existing file") << true << "results" << false << "results"
                                          << "file";
        QTest::newRow("a link to nothing") << true << "results" << false << "results"
                                           << "link";
    }
    void saveDialogStartsWhereAskedAndAddsTheSuffix()
    {
        QFETCH(bool, startExists);
        QFETCH(QString, typed);
        QFETCH(bool, allFiles);
        QFETCH(QString, chosen);
        QFETCH(QString, standing);
        QTemporaryDir dir;
        const QString start = dir.filePath(startExists ? "lists" : "gone");
        if (startExists)
            QVERIFY(QDir(dir.path()).mkpath("lists"));
        else // the suite's own home folder, made on first use
            QVERIFY(QDir().mkpath(QDir::homePath()));
        const QString typedPath = QDir(start).filePath(typed);
        if (standing == "file")
            QVERIFY(QFile(typedPath).open(QIODevice::WriteOnly));
        else if (standing == "link")
            QVERIFY(QFile::link(typedPath + ".gone", typedPath));
        QString openedIn;
        QString proposed;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(test::openBox());
            if (!dialog)
                return;
            answer.stop();
            openedIn = dialog->directory().absolutePath();
            proposed = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            if (allFiles)
                dialog->selectNameFilter(QStringLiteral("All Files (*.*)"));
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(typed);
            static_cast<QDialog*>(dialog)->accept();
        });
        answer.start(10);
        QtSaveFileDialog save(nullptr);
        SaveDialogRequest request;
        request.title = QStringLiteral("Save");
        request.filter = QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|");
        request.startFolder = start;
        request.proposedName = QStringLiteral("Folders found.txt");
        const QString result = save.showSave(request);
        const QString folder = startExists ? start : QDir::homePath();
        QCOMPARE(openedIn, QDir(folder).absolutePath());
        QCOMPARE(proposed, QStringLiteral("Folders found.txt"));
        QCOMPARE(result, QDir::toNativeSeparators(QDir(folder).filePath(chosen)));
    }

    void dialogsStartInAnExistingFolderOrHome()
    {
        QTemporaryDir dir;
        QCOMPARE(dialogStartFolder(dir.path()), dir.path());
        QCOMPARE(dialogStartFolder(dir.filePath("gone")), QDir::homePath());
        QCOMPARE(dialogStartFolder(QString()), QDir::homePath());
        QFile file(dir.filePath("a file"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(dialogStartFolder(file.fileName()), QDir::homePath());
    }

    void dialogsNeverStartInTheKernelsFolders_data()
    {
        QTest::addColumn<QString>("folder");
        for (const char* folder : { "/proc", "/proc/self/", "/sys/kernel", "/dev", "/tmp/../dev/" })
            QTest::newRow(folder) << QString::fromLatin1(folder);
        QTest::newRow("a link to /proc") << QStringLiteral("proc link");
    }
    void dialogsNeverStartInTheKernelsFolders()
    {
        // Listing them can block for good: as root, /proc/kmsg is read and waits.
        QFETCH(QString, folder);
        QTemporaryDir dir;
        QVERIFY(QFile::link(QStringLiteral("/proc"), dir.filePath("proc link")));
        QVERIFY(QDir(dir.path()).mkdir("proc"));
        const QString wanted = QDir(dir.path()).filePath(folder);
        QVERIFY(QFileInfo(wanted).isDir());
        QCOMPARE(dialogStartFolder(wanted), QDir::homePath());
        QCOMPARE(dialogStartFolder(dir.filePath("proc")), dir.filePath("proc"));
    }

    void aChosenFolderAddressKeepsEveryByte()
    {
        // As a desktop's chooser answers for a name that is not valid text.
        QCOMPARE(nativePathOfFileUrl(QUrl::fromEncoded("file:///tmp/bad%FF%20dir")),
            QByteArray("/tmp/bad\xff dir"));
        for (const QByteArray& path :
            { QByteArray("/tmp/bad\xff dir"), QByteArray("/h/\xc3\xbc 100%") })
            QCOMPARE(nativePathOfFileUrl(nativeFileUrl(path)), path);
    }

    void suffixOfAFilter_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("text") << "Text Files (*.txt)"
                              << "txt";
        QTest::newRow("all") << "All Files (*.*)"
                             << "";
        QTest::newRow("everything") << "Anything (*)"
                                    << "";
        QTest::newRow("two patterns") << "Lists (*.txt *.lst)"
                                      << "";
    }
    void suffixOfAFilter()
    {
        QFETCH(QString, filter);
        QFETCH(QString, suffix);
        QCOMPARE(QtSaveFileDialog::suffixOf(filter), suffix);
    }
};

QTEST_MAIN(TestQtFileDialogs)
#include "tst_QtFileDialogs.moc"
