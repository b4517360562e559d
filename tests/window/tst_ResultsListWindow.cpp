// SPDX-License-Identifier: MIT
// The results list in the real window, offscreen: its context menu, Ctrl+C,
// the rows it gives to a drag, and the names screen readers read.
#include "platform/qt/controls/QtEventPump.h"
#include "platform/qt/list/ListModel.h"
#include "platform/qt/list/ListView.h"
#include "platform/qt/list/QtListControl.h"
#include "shell/qt/Form1.h"
#include "shell/qt/Form1Usability.h"
#include "support/EnvironmentValue.h"
#include "support/FolderTreeFixture.h"
#include "support/ModalBoxAnswerer.h"

#include "support/WindowDriver.h"
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStyle>

#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <algorithm>

#include <sys/stat.h>

using namespace vantorel;
using namespace vantorel::test;

/// Stands in for the desktop: records the folders it is asked to open.
class FolderOpener : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.append(url); }
};

namespace
{

struct Window : WindowDriver {
    ListView* list() { return child<ListView>("ListView2"); }
    /// Where row `row` of the results is, in the list's viewport.
    QPoint rowPoint(int row)
    {
        form.pump().pump();
        return list()->visualRect(form.resultsModel().index(row, 0)).center();
    }
    void select(const std::vector<int>& rows)
    {
        QItemSelectionModel* selection = list()->selectionModel();
        selection->clearSelection();
        for (int row : rows)
            selection->select(form.resultsModel().index(row, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    /// Triggers the menu action of that caption for a point of the list.
    void choose(const QPoint& point, const QString& caption)
    {
        const std::unique_ptr<QMenu> menu = form.usability().resultsList().menuAt(point);
        for (QAction* action : menu->actions()) {
            if (action->text() == caption) {
                QVERIFY2(action->isEnabled(), qPrintable(caption));
                action->trigger();
                return;
            }
        }
        QFAIL(qPrintable("no action " + caption));
    }
    void addRows()
    {
        QtListControl& results = form.results();
        results.appendFolder("/work/alpha", 5, true);
        results.appendFolder("/work/alpha/alpha-old", 9, false);
        results.appendFolder("/work/beta/old alpha", 9, false);
        form.pump().pump();
    }
};

QStringList captionsOf(const QMenu& menu)
{
    QStringList captions;
    for (const QAction* action : menu.actions())
        captions.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return captions;
}

QList<bool> enabledOf(const QMenu& menu)
{
    QList<bool> enabled;
    for (const QAction* action : menu.actions()) {
        if (!action->isSeparator())
            enabled.append(action->isEnabled());
    }
    return enabled;
}

const QStringList kMenu
    = { "Open Folder", "Open Containing Folder", "Copy Path", "-", "Tick All", "Untick All" };

} // namespace

class TestResultsListWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    FolderOpener m_opener;

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

    void theMenuOffersItsActionsWhereTheyApply()
    {
        Window w;
        const std::unique_ptr<QMenu> empty = w.form.usability().resultsList().menuAt(QPoint(5, 5));
        QCOMPARE(captionsOf(*empty), kMenu);
        QCOMPARE(enabledOf(*empty), QList<bool>({ false, false, false, false, false }));

        w.addRows();
        const std::unique_ptr<QMenu> onRow = w.form.usability().resultsList().menuAt(w.rowPoint(1));
        QCOMPARE(captionsOf(*onRow), kMenu);
        QCOMPARE(enabledOf(*onRow), QList<bool>({ true, true, true, true, true }));
        const QPoint belowRows(5, w.list()->viewport()->height() - 2);
        QVERIFY(!w.list()->indexAt(belowRows).isValid());
        const std::unique_ptr<QMenu> offRow = w.form.usability().resultsList().menuAt(belowRows);
        QCOMPARE(enabledOf(*offRow), QList<bool>({ false, false, false, true, true }));
    }

    void aRightClickOpensTheMenu()
    {
        Window w;
        w.addRows();
        QStringList seen;
        QTimer::singleShot(50, &w.form, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                seen = captionsOf(*menu);
                menu->close();
            }
        });
        QWidget* viewport = w.list()->viewport();
        const QPoint point = w.rowPoint(0);
        QContextMenuEvent event(QContextMenuEvent::Mouse, point, viewport->mapToGlobal(point));
        QApplication::sendEvent(viewport, &event);
        QCOMPARE(seen, kMenu);
    }

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
                w.choose(w.rowPoint(i), "Open Folder");
                w.choose(w.rowPoint(i), "Open Containing Folder");
            }
        }
        QCOMPARE(m_opener.opened,
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
        w.choose(w.rowPoint(0), "Open Folder");
        w.choose(w.rowPoint(0), "Open Containing Folder");
        QGuiApplication::setDesktopFileName(QString());
        QVERIFY(m_opener.opened.isEmpty());
        const QString message
            = "No file manager is set to open folders, so this folder cannot be shown:\n";
        QCOMPARE(answerer.texts(),
            QStringList({ "Done.", message + m_dir.path() + "/Work/alpha/alpha-old",
                message + m_dir.path() + "/Work/alpha" }));
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

    void copyPathTakesTheSelectedRowsFullPaths()
    {
        Window w;
        w.addRows();
        w.select({ 0, 2 });
        w.choose(w.rowPoint(2), "Copy Path");
        QCOMPARE(QGuiApplication::clipboard()->text(),
            QStringLiteral("/work/alpha\n/work/beta/old alpha"));
        // A row outside the selection is taken alone.
        w.choose(w.rowPoint(1), "Copy Path");
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("/work/alpha/alpha-old"));
    }

    void tickAndUntickAll()
    {
        Window w;
        w.addRows();
        ListModel& rows = w.form.resultsModel();
        w.choose(w.rowPoint(0), "Tick All");
        for (int i = 0; i < 3; ++i)
            QCOMPARE(rows.data(rows.index(i, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
        w.choose(w.rowPoint(0), "Untick All");
        for (int i = 0; i < 3; ++i)
            QCOMPARE(rows.data(rows.index(i, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    }

    void ctrlCCopiesTheSelectedTextsAndNothingElse()
    {
        ModalBoxAnswerer answerer;
        Window w;
        w.addRows();
        QGuiApplication::clipboard()->setText("before");
        w.list()->setFocus();
        w.select({ 1, 2 });
        QTest::keyClick(w.list(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("alpha-old\nold alpha"));
        // No row was ticked and no confirmation shown: that is the copy
        // command's, which is unchanged.
        for (int i = 0; i < 3; ++i)
            QVERIFY(!w.form.results().isChecked(i));
        QVERIFY(answerer.boxes.isEmpty());

        w.select({});
        QTest::keyClick(w.list(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("alpha-old\nold alpha"));
    }

    void theSelectedRowsDragAsTheirFolders()
    {
        Window w;
        w.addRows();
        QVERIFY(w.list()->dragEnabled());
        QCOMPARE(w.list()->dragDropMode(), QAbstractItemView::DragOnly);
        w.select({ 2, 1 });
        const QModelIndexList selected = w.list()->selectionModel()->selectedIndexes();
        const std::unique_ptr<QMimeData> data(w.form.resultsModel().mimeData(selected));
        QVERIFY(data);
        QCOMPARE(data->urls(),
            QList<QUrl>({ QUrl::fromLocalFile("/work/alpha/alpha-old"),
                QUrl::fromLocalFile("/work/beta/old alpha") }));
        QCOMPARE(data->text(), QStringLiteral("/work/alpha/alpha-old\n/work/beta/old alpha"));
        // The locations list is no drag source.
        auto* locations = w.form.findChild<ListView*>(QStringLiteral("ListView1"));
        QVERIFY(!locations->dragEnabled());
        QCOMPARE(locations->selectionMode(), QAbstractItemView::SingleSelection);
    }

    /// Enter opens the keyboard's row; Shift+F10 and the menu key open the
    /// menu for it.
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
        QCOMPARE(m_opener.opened, QList<QUrl> { QUrl::fromLocalFile(w.results().value(1)) });

        // Shift+F10, then the menu key (the desktop sends its menu event).
        QStringList enabledActions;
        const auto openFromTheMenu = [&] {
            QTimer::singleShot(0, &w.form, [&] {
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                if (!menu)
                    return;
                enabledActions.clear();
                for (QAction* action : menu->actions()) {
                    if (action->isEnabled() && !action->isSeparator())
                        enabledActions << action->text();
                    if (action->text() == "Open Folder")
                        action->trigger();
                }
                menu->close();
            });
        };
        w.list()->setCurrentIndex(w.form.resultsModel().index(2, 0));
        openFromTheMenu();
        QTest::keyClick(w.list(), Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(enabledActions, kMenu.filter(QRegularExpression("^[^-]")));
        w.list()->setCurrentIndex(w.form.resultsModel().index(1, 0));
        enabledActions.clear();
        openFromTheMenu();
        QContextMenuEvent menuKey(
            QContextMenuEvent::Keyboard, QPoint(1, 1), w.list()->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(w.list(), &menuKey);
        QCOMPARE(enabledActions, kMenu.filter(QRegularExpression("^[^-]")));
        QCOMPARE(m_opener.opened,
            QList<QUrl>({ QUrl::fromLocalFile(w.results().value(1)),
                QUrl::fromLocalFile(w.results().value(2)),
                QUrl::fromLocalFile(w.results().value(1)) }));
        QCOMPARE(answerer.texts(), QStringList { "Done." });
    }

    /// Space with several rows selected ticks them all, or unticks them all
    /// when all are ticked; the rows left out keep their marks.
    void spaceTicksEverySelectedRow()
    {
        Window w;
        w.addRows();
        w.form.results().append("fourth");
        w.form.pump().pump();
        w.form.results().setChecked(1, true);
        w.list()->setFocus();
        w.list()->setCurrentIndex(w.form.resultsModel().index(0, 0));
        QTest::keyClick(w.list(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(w.list(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(w.form.results().selectedRows(), std::vector<int>({ 0, 1, 2 }));
        const auto ticks = [&] {
            QList<bool> marks;
            for (int i = 0; i < w.form.results().count(); ++i)
                marks << w.form.results().isChecked(i);
            return marks;
        };
        QTest::keyClick(w.list(), Qt::Key_Space);
        QCOMPARE(ticks(), QList<bool>({ true, true, true, false }));
        QTest::keyClick(w.list(), Qt::Key_Space);
        QCOMPARE(ticks(), QList<bool>({ false, false, false, false }));
        QTest::keyClick(w.list(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(w.list(), Qt::Key_Space);
        QCOMPARE(ticks(), QList<bool>({ true, true, true, true }));
    }

    /// A double-click removes the result row it falls on, as the tooltip
    /// says; not one on the row's tick box, nor one while a search runs.
    void aDoubleClickRemovesTheRow()
    {
        ModalBoxAnswerer answerer;
        Window w;
        w.addRows();
        QWidget* viewport = w.list()->viewport();
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, w.rowPoint(1));
        QCOMPARE(w.results(), QStringList({ "/work/alpha", "old alpha" }));

        const QRect row = w.list()->visualRect(w.form.resultsModel().index(0, 0));
        const QStyle* style = w.list()->style();
        const QPoint tickBox(row.left() + style->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1
                + style->pixelMetric(QStyle::PM_IndicatorWidth) / 2,
            row.center().y());
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, tickBox);
        QCOMPARE(w.results().size(), 2);

        w.form.locations().append(m_dir.path() + "/Work");
        w.form.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText("alpha");
        QString captionInside;
        QTimer::singleShot(0, &w.form, [&] {
            captionInside = w.button("PushButton1")->text();
            QTest::mouseDClick(viewport, Qt::LeftButton, {}, w.rowPoint(0));
        });
        QTest::mouseClick(w.button("PushButton1"), Qt::LeftButton);
        QCOMPARE(captionInside, QStringLiteral("Stop"));
        QCOMPARE(answerer.texts(), QStringList { "Done." });
        QCOMPARE(w.results().mid(0, 2), QStringList({ "/work/alpha", "old alpha" }));
        QCOMPARE(w.results().size(), 5);
    }

    /// A search that adds to rows already listed brings its first row into
    /// view, once: the rows after it leave the view where it is.
    void aNewSearchsFirstRowIsBroughtIntoView()
    {
        ModalBoxAnswerer answerer;
        QTemporaryDir dir;
        QStringList hits;
        for (int i = 0; i < 20; ++i)
            hits << QStringLiteral("hit%1").arg(i);
        QVERIFY(makeFolders(dir.path(), hits));
        Window w;
        for (int i = 0; i < 50; ++i)
            w.form.results().append(QStringLiteral("earlier %1").arg(i));
        w.form.pump().pump();
        const auto inView = [&](int row) {
            const QRect rect = w.list()->visualRect(w.form.resultsModel().index(row, 0));
            return w.list()->viewport()->rect().contains(rect);
        };
        QVERIFY(inView(0));
        w.search(dir.path(), "hit");
        QCOMPARE(answerer.texts(), QStringList { "Done." });
        QCOMPARE(w.results().size(), 70);
        QVERIFY(inView(50));
        QVERIFY(!inView(69));
    }

    void screenReadersReadTheCaptions_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::newRow("ListView1") << "ListView1"
                                   << "Folder(s): the folders to search within";
        QTest::newRow("ListView2") << "ListView2"
                                   << "Results: the folders found";
        QTest::newRow("PushButton3") << "PushButton3"
                                     << "Add Drive/Folder To Search Within";
        QTest::newRow("PushButton7") << "PushButton7"
                                     << "Clear List";
        QTest::newRow("PushButton8") << "PushButton8"
                                     << "Load Sample/Example Folder";
        QTest::newRow("Frame3") << "Frame3"
                                << "Search For These Character(s)";
        QTest::newRow("Text1") << "Text1"
                               << "Search For These Character(s)";
        QTest::newRow("Frame2") << "Frame2"
                                << "Case Option";
        QTest::newRow("Check4") << "Check4"
                                << "Match Case";
        QTest::newRow("Frame1") << "Frame1"
                                << "Option";
        QTest::newRow("Option1") << "Option1"
                                 << "Display full path";
        QTest::newRow("Option2") << "Option2"
                                 << "Display folder name only";
        QTest::newRow("PushButton1") << "PushButton1"
                                     << "Start Finding";
        QTest::newRow("PushButton2") << "PushButton2"
                                     << "Save Results As Text File";
        QTest::newRow("PushButton4") << "PushButton4"
                                     << "Copy Results To Clipboard";
        QTest::newRow("PushButton17") << "PushButton17"
                                      << "Remove Results Containing X";
        QTest::newRow("PushButton11") << "PushButton11"
                                      << "Remove Results Not Containing X";
        QTest::newRow("PushButton5") << "PushButton5"
                                     << "Help";
        QTest::newRow("PushButton6") << "PushButton6"
                                     << "Clear Results";
    }
    void screenReadersReadTheCaptions()
    {
        QFETCH(QString, control);
        QFETCH(QString, name);
        Window w;
        QWidget* widget = w.form.findChild<QWidget*>(control);
        QVERIFY(widget);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible);
        QCOMPARE(accessible->text(QAccessible::Name), name);
        // Captions keep their text: no mnemonic was added.
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            QVERIFY(!button->text().contains('&'));
        if (auto* frame = qobject_cast<QGroupBox*>(widget))
            QVERIFY(!frame->title().contains('&'));
    }

    void theListsRowsAreReadAsShown()
    {
        Window w;
        w.addRows();
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(w.list());
        QVERIFY(list && list->tableInterface());
        QAccessibleInterface* cell = list->tableInterface()->cellAt(1, 0);
        QVERIFY(cell);
        QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("alpha-old"));
    }
};

QTEST_MAIN(TestResultsListWindow)
#include "tst_ResultsListWindow.moc"
