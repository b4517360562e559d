// SPDX-License-Identifier: MIT
// Opening a result's folder from the real window, offscreen: by the menu and
// by the keys, for names that are not text, for folders gone since the
// search, and on a desktop that would hand folders back to this program.
#include "platform/list/ListModel.h"
#include "platform/qt/list/ListView.h"
#include "platform/qt/list/QtListControl.h"
#include "shell/qt/Form1.h"
#include "support/EnvironmentValue.h"
#include "support/FolderTreeFixture.h"
#include "support/ModalBoxAnswerer.h"
#include "support/RecordingUrlOpener.h"
#include "support/ResultsListDriver.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <algorithm>

#include <sys/stat.h>

using namespace vantorel;
using namespace vantorel::test;

namespace
{
using Window = ResultsListDriver;
} // namespace

class TestResultsListOpening : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    RecordingUrlOpener m_opener;

private slots:
    void initTestCase()
    {
        QVERIFY(
            makeFolders(m_dir.path() + "/Work", { "alpha/alpha-old", "beta/old alpha", "docs" }));
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_opener, "open");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    void init() { m_opener.opened.clear(); }
    void cleanup() { QVERIFY(!test::openBox()); }

    void openFolderOpensTheRowsFolderShownByName()
    {
        ModalBoxAnswerer answerer;
        Window w;
        const QString work = m_dir.path() + "/Work";
        w.form.locations().append(work);
        w.form.findChild<QRadioButton*>(QStringLiteral("Option2"))->click();
        w.form.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText("alpha");
        QTest::mouseClick(w.button("PushButton1"), Qt::LeftButton);
        QCOMPARE(answerer.texts(), QStringList { "Done." });
        QStringList rows;
        for (int i = 0; i < w.form.results().count(); ++i)
            rows << w.form.results().text(i);
        rows.sort();
        QCOMPARE(rows, QStringList({ "alpha", "alpha-old", "old alpha" }));

        for (int i = 0; i < w.form.results().count(); ++i) {
            if (w.form.results().text(i) == "old alpha") {
                // The desktop answers in its own time, each answer in turn.
                w.choose(w.rowPoint(i), "Open Folder");
                QTRY_COMPARE(m_opener.opened.size(), 1);
                w.choose(w.rowPoint(i), "Open Containing Folder");
            }
        }
        QTRY_COMPARE(m_opener.opened,
            QList<QUrl>({ QUrl::fromLocalFile(work + "/beta/old alpha"),
                QUrl::fromLocalFile(work + "/beta") }));
        QCOMPARE(answerer.texts(), QStringList { "Done." });
    }

    /// The desktop would hand a folder back to this program, whose entry its
    /// cache of handlers still names, as an older install left it: the folder
    /// is named in a box instead, not added to the program's own locations.
    void aDesktopThatWouldOpenFoldersHereIsSaidSo()
    {
        QVERIFY2(!QStandardPaths::findExecutable("xdg-mime").isEmpty(),
            "xdg-mime not found: install Debian's xdg-utils");
        QTemporaryDir xdg;
        QVERIFY(QDir(xdg.path()).mkpath("data/applications"));
        QFile cache(xdg.filePath("data/applications/mimeinfo.cache"));
        QVERIFY(cache.open(QIODevice::WriteOnly));
        cache.write("[MIME Cache]\ninode/directory=ostlebry.desktop;\n");
        cache.close();
        // xdg-mime reads that cache alone, as on no desktop in particular.
        const EnvironmentValue data("XDG_DATA_HOME", QFile::encodeName(xdg.filePath("data")));
        const EnvironmentValue dataDirs("XDG_DATA_DIRS", QFile::encodeName(xdg.filePath("none")));
        const EnvironmentValue configDirs(
            "XDG_CONFIG_DIRS", QFile::encodeName(xdg.filePath("none")));
        const EnvironmentValue desktop("XDG_CURRENT_DESKTOP", QByteArray());
        const EnvironmentValue session("DESKTOP_SESSION", QByteArray());
        const EnvironmentValue kde("KDE_FULL_SESSION", QByteArray());
        const EnvironmentValue gnome("GNOME_DESKTOP_SESSION_ID", QByteArray());
        QGuiApplication::setDesktopFileName(QStringLiteral("ostlebry"));

        ModalBoxAnswerer answerer;
        Window w;
        w.search(m_dir.path() + "/Work", "alpha-old");
        QCOMPARE(w.results().size(), 1);
        const QString message
            = "No file manager is set to open folders, so this folder cannot be shown:\n";
        w.choose(w.rowPoint(0), "Open Folder");
        QTRY_COMPARE(answerer.texts().size(), 2);
        w.choose(w.rowPoint(0), "Open Containing Folder");
        QTRY_COMPARE(answerer.texts(),
            QStringList({ "Done.", message + m_dir.path() + "/Work/alpha/alpha-old",
                message + m_dir.path() + "/Work/alpha" }));
        QGuiApplication::setDesktopFileName(QString());
        QVERIFY(m_opener.opened.isEmpty());
    }

    void aNameThatIsNotTextOpensAndCopiesItsOwnFolder()
    {
        // Two folders whose names differ only in bytes that are not text show
        // alike; each opens and copies as itself, never as the other or as a
        // folder that is not there.
        QTemporaryDir dir;
        const QByteArray root = QFile::encodeName(dir.path());
        const QList<QByteArray> folders { root + "/bad\xfe\xffname", root + "/bad\xff\xfename" };
        for (const QByteArray& folder : folders)
            QVERIFY(::mkdir(folder.constData(), 0755) == 0);
        QList<QByteArray> addresses;
        for (const QByteArray& folder : folders)
            addresses.append("file://" + folder.toPercentEncoding("/"));
        {
            ModalBoxAnswerer answerer;
            Window w;
            w.search(dir.path(), "name");
            QCOMPARE(w.results().size(), 2);
            QCOMPARE(w.results().value(0), w.results().value(1));
            w.choose(w.rowPoint(0), "Open Folder");
            w.choose(w.rowPoint(1), "Open Folder");
            QTRY_COMPARE(m_opener.opened.size(), 2);
            QCOMPARE(answerer.texts(), QStringList { "Done." });
            QList<QByteArray> opened;
            for (const QUrl& url : m_opener.opened)
                opened.append(url.toEncoded());
            std::sort(opened.begin(), opened.end());
            QCOMPARE(opened, addresses);

            w.select({ 0, 1 });
            w.choose(w.rowPoint(0), "Copy Path");
            const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
            QVERIFY(copied);
            QCOMPARE(copied->text(), w.results().join('\n'));
            QList<QByteArray> copiedAddresses;
            for (const QUrl& url : copied->urls())
                copiedAddresses.append(url.toEncoded());
            std::sort(copiedAddresses.begin(), copiedAddresses.end());
            QCOMPARE(copiedAddresses, addresses);
        }
        QVERIFY(removeTree(dir.path()));
    }

    void aFolderGoneSinceTheSearchIsNamed()
    {
        ModalBoxAnswerer answerer;
        Window w;
        w.addRows(); // /work does not exist here
        w.choose(w.rowPoint(1), "Open Folder");
        QVERIFY(m_opener.opened.isEmpty());
        QCOMPARE(answerer.texts(),
            QStringList { "This folder is no longer there:\n/work/alpha/alpha-old" });
        QCOMPARE(answerer.boxes.value(0).title, QStringLiteral("Vantorel"));
    }

    /// Enter opens the keyboard's row; Shift+F10 and the menu key open the
    /// menu for it, its first entry highlighted.
    void theKeysOpenTheCurrentRow()
    {
        ModalBoxAnswerer answerer;
        Window w;
        const QString work = m_dir.path() + "/Work";
        w.search(work, "alpha");
        QCOMPARE(w.results().size(), 3);
        w.list()->setFocus();
        w.list()->setCurrentIndex(w.form.resultsModel().index(1, 0));
        QTest::keyClick(w.list(), Qt::Key_Return);
        QTRY_COMPARE(m_opener.opened, QList<QUrl> { QUrl::fromLocalFile(w.results().value(1)) });

        // Shift+F10, then the menu key (the desktop sends its menu event): the
        // menu opens with its first entry highlighted, so Return opens the row.
        QStringList enabledActions;
        QString highlighted;
        const auto openFromTheMenu = [&] {
            QTimer::singleShot(0, &w.form, [&] {
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                if (!menu)
                    return;
                enabledActions.clear();
                for (QAction* action : menu->actions()) {
                    if (action->isEnabled() && !action->isSeparator())
                        enabledActions << action->text();
                }
                highlighted = menu->activeAction() ? menu->activeAction()->text() : "none";
                QTest::keyClick(menu, Qt::Key_Return);
            });
        };
        w.list()->setCurrentIndex(w.form.resultsModel().index(2, 0));
        openFromTheMenu();
        QTest::keyClick(w.list(), Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(enabledActions, kResultsMenu.filter(QRegularExpression("^[^-]")));
        QCOMPARE(highlighted, QStringLiteral("Open Folder"));
        QTRY_COMPARE(m_opener.opened.size(), 2);
        w.list()->setCurrentIndex(w.form.resultsModel().index(1, 0));
        enabledActions.clear();
        highlighted.clear();
        openFromTheMenu();
        QContextMenuEvent menuKey(
            QContextMenuEvent::Keyboard, QPoint(1, 1), w.list()->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(w.list(), &menuKey);
        QCOMPARE(enabledActions, kResultsMenu.filter(QRegularExpression("^[^-]")));
        QCOMPARE(highlighted, QStringLiteral("Open Folder"));
        QTRY_COMPARE(m_opener.opened,
            QList<QUrl>({ QUrl::fromLocalFile(w.results().value(1)),
                QUrl::fromLocalFile(w.results().value(2)),
                QUrl::fromLocalFile(w.results().value(1)) }));
        QCOMPARE(answerer.texts(), QStringList { "Done." });
    }
};

QTEST_MAIN(TestResultsListOpening)
#include "tst_ResultsListOpening.moc"
