// SPDX-License-Identifier: MIT
#include "platform/Failure.h"
#include "platform/qt/controls/ClickCheckBox.h"
#include "platform/qt/controls/QtCheckControl.h"
#include "platform/qt/controls/QtMessageBoxes.h"
#include "platform/qt/controls/QtTextControl.h"
#include "platform/qt/desktop/QtClipboard.h"
#include "platform/qt/desktop/QtProgramLauncher.h"
#include "platform/qt/desktop/QtRandomSource.h"
#include "platform/qt/files/DialogStartFolder.h"
#include "platform/qt/files/NativeFileUrl.h"
#include "platform/qt/files/QtFileSystem.h"
#include "platform/qt/files/QtSaveFileDialog.h"
#include "support/ModalBoxAnswerer.h"
#include "support/PrivateSessionBus.h"

#include <QApplication>
#include <QClipboard>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMutex>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <functional>

using namespace vantorel;

namespace
{

// Answers the next modal box once it is up, after looking at it.
void whenModal(std::function<void(QWidget*)> answer)
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, qApp, [timer, answer] {
        if (QWidget* modal = test::openBox()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start(10);
}

} // namespace

/// Stands in for the desktop's file manager on the test's own bus: records
/// what it is asked to show, or answers with an error.
class FakeFileManager : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QStringList requests() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_requests;
    }
    std::atomic<bool> fails { false };

public slots:
    void ShowFolders(const QStringList& uris, const QString&) { take("ShowFolders", uris); }
    void ShowItems(const QStringList& uris, const QString&) { take("ShowItems", uris); }

private:
    void take(const char* method, const QStringList& uris)
    {
        if (fails) {
            sendErrorReply(QDBusError::Failed, QStringLiteral("cannot show"));
            return;
        }
        const QMutexLocker lock(&m_mutex);
        m_requests.append(QLatin1String(method) + ' ' + uris.join(' '));
    }

    mutable QMutex m_mutex;
    QStringList m_requests;
};

/// Stands in for the desktop's opener: records the addresses it is given.
class DesktopOpener : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.append(url); }
};

namespace
{

/// A FakeFileManager holding the file manager's name on a bus, for its
/// lifetime. It answers from a thread of its own, as a file manager would
/// from its own process, while the caller waits.
struct FileManagerOnBus {
    explicit FileManagerOnBus(const QString& address)
        : connection(QDBusConnection::connectToBus(address, QStringLiteral("file-manager")))
    {
        fake->moveToThread(&thread);
        thread.start();
        registered = connection.registerObject(QStringLiteral("/org/freedesktop/FileManager1"),
                         fake.get(), QDBusConnection::ExportAllSlots)
            && connection.registerService(QStringLiteral("org.freedesktop.FileManager1"));
    }
    ~FileManagerOnBus()
    {
        connection.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
        connection.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
        QDBusConnection::disconnectFromBus(QStringLiteral("file-manager"));
        thread.quit();
        thread.wait();
    }

    QThread thread;
    std::unique_ptr<FakeFileManager> fake = std::make_unique<FakeFileManager>();
    QDBusConnection connection;
    bool registered = false;
};

} // namespace

class TestQtPlatform : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::PrivateSessionBus> m_bus;
    DesktopOpener m_desktop;

private slots:
    void initTestCase()
    {
        // The session bus of every launcher here is the test's own.
        m_bus = std::make_unique<test::PrivateSessionBus>();
        QVERIFY2(!m_bus->address().isEmpty(), qPrintable(m_bus->error()));
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus->address().toLocal8Bit());
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_desktop, "open");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    void init() { m_desktop.opened.clear(); }
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

    void explorerCommandLines_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("target");
        QTest::newRow("home page") << "explorer \"https://www.vantorel.example/\""
                                   << "https://www.vantorel.example/";
        QTest::newRow("other case") << "Explorer \"https://a.example/x\""
                                    << "https://a.example/x";
        QTest::newRow("unquoted") << "explorer https://a.example/"
                                  << "";
        QTest::newRow("another program") << "notepad \"a.txt\""
                                         << "";
        QTest::newRow("quote inside") << "explorer \"a\" \"b\""
                                      << "";
        QTest::newRow("empty address") << "explorer \"\""
                                       << "";
    }
    void explorerCommandLines()
    {
        QFETCH(QString, commandLine);
        QFETCH(QString, target);
        QCOMPARE(QtProgramLauncher::explorerTarget(commandLine).value_or(QString()), target);
    }

    void aProgramThatCannotStartFails()
    {
        QtProgramLauncher launcher;
        try {
            launcher.launch(QStringLiteral("/nonexistent/ostlebry-no-such-program --flag"), 2);
            QFAIL("no failure");
        } catch (const Failure& failure) {
            QCOMPARE(failure.description(), QStringLiteral("File not found"));
        }
    }

    void foldersGoToTheFileManagerOnTheSessionBus()
    {
        FileManagerOnBus fileManager(m_bus->address());
        QVERIFY(fileManager.registered);
        QtProgramLauncher launcher;
        QCOMPARE(launcher.showFolder("/data/50% #1 a"), FolderShowing::Shown);
        QCOMPARE(launcher.showFolder("/data/bad\xff\xfe"), FolderShowing::Shown);
        QCOMPARE(
            launcher.showItem("/data/50% #1 a/b\xff c", "/data/50% #1 a"), FolderShowing::Shown);
        QCOMPARE(fileManager.fake->requests(),
            QStringList(
                { "ShowFolders file:///data/50%25%20%231%20a", "ShowFolders file:///data/bad%FF%FE",
                    "ShowItems file:///data/50%25%20%231%20a/b%FF%20c" }));
        QVERIFY(m_desktop.opened.isEmpty());
    }

    void withoutAFileManagerOnTheBusTheDesktopOpensTheFolder()
    {
        QtProgramLauncher launcher;
        QtProgramLauncher withoutBus(QStringLiteral("no such connection"));
        QCOMPARE(launcher.showFolder("/data/a"), FolderShowing::Shown);
        QCOMPARE(withoutBus.showItem("/data/b/c", "/data/b"), FolderShowing::Shown);
        {
            FileManagerOnBus failing(m_bus->address());
            QVERIFY(failing.registered);
            failing.fake->fails = true;
            QCOMPARE(launcher.showItem("/data/d/e", "/data/d"), FolderShowing::Shown);
        }
        QCOMPARE(m_desktop.opened,
            QList<QUrl>({ QUrl::fromLocalFile("/data/a"), QUrl::fromLocalFile("/data/b"),
                QUrl::fromLocalFile("/data/d") }));
    }

    void messageTextLineBreaks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("CR LF") << "a\r\nb"
                               << "a\nb";
        QTest::newRow("bare CR") << "a\rb"
                                 << "a\nb";
        QTest::newRow("report's empty line") << "x\r\nline 1\r\rsupport"
                                             << "x\nline 1\n\nsupport";
        QTest::newRow("plain") << "Done."
                               << "Done.";
    }
    void messageTextLineBreaks()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(QtMessageBoxes::displayText(text), shown);
    }

    void boxesCarryTitleIconAndButtons()
    {
        QtMessageBoxes boxes(nullptr, QStringLiteral("Vantorel Software"));
        boxes.setApplicationTitle(QStringLiteral("Vantorel"));

        QString title, text;
        QMessageBox::Icon icon = QMessageBox::Critical;
        QMessageBox::StandardButtons buttons;
        const auto look = [&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->standardButtons();
        };
        whenModal([&](QWidget* modal) {
            look(modal);
            qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
        });
        boxes.information(QStringLiteral("Done."));
        QCOMPARE(title, QStringLiteral("Vantorel"));
        QCOMPARE(text, QStringLiteral("Done."));
        QCOMPARE(icon, QMessageBox::NoIcon);
        QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

        whenModal([&](QWidget* modal) {
            look(modal);
            qobject_cast<QMessageBox*>(modal)->button(QMessageBox::No)->click();
        });
        QCOMPARE(boxes.askYesNo(QStringLiteral("Overwrite?")), false);
        QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(icon, QMessageBox::NoIcon);
        whenModal([&](QWidget* modal) {
            qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Yes)->click();
        });
        QCOMPARE(boxes.askYesNo(QStringLiteral("Overwrite?")), true);

        whenModal([&](QWidget* modal) {
            look(modal);
            qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
        });
        boxes.failureReport(QStringLiteral("Path not found\r\nin X at line 100\r\rsupport"));
        QCOMPARE(title, QStringLiteral("Application Error"));
        QCOMPARE(icon, QMessageBox::Warning);
        QCOMPARE(text, QStringLiteral("Path not found\nin X at line 100\n\nsupport"));
    }

    void inputBoxStartsEmptyAndCancelGivesEmptyText()
    {
        QtMessageBoxes boxes(nullptr, QStringLiteral("Vantorel"));
        QString title, startText, label;
        whenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QInputDialog*>(modal);
            QVERIFY(dialog);
            title = dialog->windowTitle();
            label = dialog->labelText();
            startText = dialog->textValue();
            dialog->setTextValue(QStringLiteral("temp"));
            static_cast<QDialog*>(dialog)->accept();
        });
        QCOMPARE(
            boxes.inputBox(QStringLiteral("Remove entries containing: ")), QStringLiteral("temp"));
        QCOMPARE(title, QStringLiteral("Vantorel"));
        QCOMPARE(label, QStringLiteral("Remove entries containing: "));
        QCOMPARE(startText, QString());

        whenModal([](QWidget* modal) {
            auto* dialog = qobject_cast<QInputDialog*>(modal);
            dialog->setTextValue(QStringLiteral("typed"));
            dialog->reject();
        });
        QCOMPARE(boxes.inputBox(QStringLiteral("Remove entries not containing: ")), QString());
    }

    void fileQueries()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const auto make = [&](const QString& name) {
            QFile file(dir.filePath(name));
            return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
        };
        QVERIFY(make(QStringLiteral("HAND-M.CUR")));
        QVERIFY(make(QStringLiteral(".hidden")));
        QVERIFY(make(QStringLiteral("Pr\u00fcfung \u65e5.txt")));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("x")));

        QtFileSystem files;
        QVERIFY(files.fileExists(dir.filePath(QStringLiteral("HAND-M.CUR"))));
        QVERIFY(files.fileExists(dir.filePath(QStringLiteral("Pr\u00fcfung \u65e5.txt"))));
        QVERIFY(files.fileExists(dir.filePath(QStringLiteral("x"))));
        QVERIFY(!files.fileExists(dir.filePath(QStringLiteral("absent"))));
        QVERIFY(!files.fileExists(QString()));

        QVERIFY(files.isNormalFile(dir.filePath(QStringLiteral("HAND-M.CUR"))));
        QVERIFY(!files.isNormalFile(dir.filePath(QStringLiteral(".hidden"))));
        QVERIFY(!files.isNormalFile(dir.filePath(QStringLiteral("x"))));
        QVERIFY(!files.isNormalFile(dir.filePath(QStringLiteral("absent"))));
    }

    void checkBoxStates()
    {
        ClickCheckBox box(QStringLiteral("Match Case"));
        QtCheckControl check(box);
        QSignalSpy clicks(&box, &QCheckBox::stateChanged);
        box.setCheckState(Qt::Checked);
        clicks.clear();
        QCOMPARE(check.value(), qint16(1));
        check.setValue(1);
        QCOMPARE(clicks.size(), 0);
        check.setValue(2);
        QCOMPARE(box.checkState(), Qt::PartiallyChecked);
        QCOMPARE(check.value(), qint16(2));
        check.setValue(0);
        QCOMPARE(check.value(), qint16(0));
        QCOMPARE(clicks.size(), 2);
        for (qint16 bad : { qint16(-1), qint16(3), qint16(255) }) {
            try {
                check.setValue(bad);
                QFAIL("no failure");
            } catch (const Failure& failure) {
                QCOMPARE(failure.description(), QStringLiteral("Invalid property value"));
            }
        }
        QCOMPARE(check.value(), qint16(0));

        // The user ticks and clears; a greyed box is ticked by a click.
        box.click();
        QCOMPARE(box.checkState(), Qt::Checked);
        box.click();
        QCOMPARE(box.checkState(), Qt::Unchecked);
        check.setValue(2);
        box.click();
        QCOMPARE(box.checkState(), Qt::Checked);
    }

    void textBoxChangesOnlyOnRealChanges()
    {
        QLineEdit edit(QStringLiteral("Text1"));
        QtTextControl text(edit);
        QCOMPARE(edit.maxLength(), INT_MAX);
        QSignalSpy changes(&edit, &QLineEdit::textChanged);
        text.setText(QStringLiteral("Text1"));
        QCOMPARE(changes.size(), 0);
        text.setText(QString());
        QCOMPARE(changes.size(), 1);
        const QString longPhrase(100000, QLatin1Char('a'));
        text.setText(longPhrase);
        QCOMPARE(text.text(), longPhrase);
    }

    void randomFractions()
    {
        QtRandomSource first;
        QtRandomSource second;
        first.seed(43200.25);
        second.seed(43200.25);
        QList<double> a, b;
        for (int i = 0; i < 1000; ++i) {
            a.append(first.next());
            b.append(second.next());
            QVERIFY(a.last() >= 0.0 && a.last() < 1.0);
        }
        QCOMPARE(a, b);
        const double now = first.timeOfDay();
        QVERIFY(now >= 0.0 && now < 86400.0);
    }

    void clipboardPlainText()
    {
        QtClipboard clipboard;
        QVERIFY(clipboard.clear());
        QVERIFY(clipboard.setText(QStringLiteral("a\r\nb\r\n"), 0));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("a\r\nb\r\n"));
    }
};

QTEST_MAIN(TestQtPlatform)
#include "tst_QtPlatform.moc"
