// SPDX-License-Identifier: MIT
#include "platform/qt/list/ListView.h"
#include "shell/WindowPlacement.h"
#include "shell/qt/Form1.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

using namespace vantorel;

class TestForm1Layout : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Form1> m_form;
    int m_endRequests = 0;

    template <class T = QWidget> T* control(const QString& name)
    {
        return m_form->findChild<T*>(name);
    }

private slots:
    void init()
    {
        m_endRequests = 0;
        m_form = std::make_unique<Form1>([this] { ++m_endRequests; });
    }
    void cleanup() { m_form.reset(); }

    void everyControlInItsPlace_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("spoken"); // the name a screen reader reads
        // Twips over 15, rounded; a frame's controls relative to the frame.
        QTest::newRow("ListView1")
            << "vantorel::ListView"
            << "" << QRect(8, 8, 520, 113) << QString("Folder(s): the folders to search within");
        QTest::newRow("PushButton3")
            << "QPushButton"
            << "Add Drive/Folder To Search Within" << QRect(8, 127, 520, 27)
            << QString("Add Drive/Folder To Search Within");
        QTest::newRow("PushButton7")
            << "QPushButton"
            << "Clear List" << QRect(8, 161, 256, 27) << QString("Clear List");
        QTest::newRow("PushButton8") << "QPushButton"
                                     << "Load Sample/Example Folder" << QRect(272, 161, 256, 27)
                                     << QString("Load Sample/Example Folder");
        QTest::newRow("Frame3") << "QGroupBox"
                                << "Search For These Character(s)" << QRect(8, 194, 520, 55)
                                << QString("Search For These Character(s)");
        QTest::newRow("Text1") << "QLineEdit"
                               << "Text1" << QRect(16, 20, 488, 22)
                               << QString("Search For These Character(s)");
        QTest::newRow("Frame2") << "QGroupBox"
                                << "Case Option" << QRect(8, 252, 520, 47)
                                << QString("Case Option");
        QTest::newRow("Check4") << "vantorel::ClickCheckBox"
                                << "Match Case" << QRect(16, 20, 89, 17) << QString("Match Case");
        QTest::newRow("Frame1") << "QGroupBox"
                                << "Option" << QRect(8, 303, 520, 47) << QString("Option");
        QTest::newRow("Option1") << "QRadioButton"
                                 << "Display full path" << QRect(16, 20, 129, 17)
                                 << QString("Display full path");
        QTest::newRow("Option2") << "QRadioButton"
                                 << "Display folder name only " << QRect(144, 20, 177, 17)
                                 << QString("Display folder name only");
        QTest::newRow("PushButton1")
            << "QPushButton"
            << "Start Finding" << QRect(8, 359, 520, 27) << QString("Start Finding");
        QTest::newRow("ListView2")
            << "vantorel::ListView"
            << "" << QRect(8, 393, 520, 121) << QString("Results: the folders found");
        QTest::newRow("PushButton2") << "QPushButton"
                                     << "Save Results As Text File" << QRect(8, 520, 256, 27)
                                     << QString("Save Results As Text File");
        QTest::newRow("PushButton4") << "QPushButton"
                                     << "Copy Results To Clipboard" << QRect(272, 520, 256, 27)
                                     << QString("Copy Results To Clipboard");
        QTest::newRow("PushButton17") << "QPushButton"
                                      << "Remove Results Containing X" << QRect(8, 554, 256, 27)
                                      << QString("Remove Results Containing X");
        QTest::newRow("PushButton11")
            << "QPushButton"
            << "Remove Results Not Containing X" << QRect(272, 554, 256, 27)
            << QString("Remove Results Not Containing X");
        QTest::newRow("PushButton5") << "QPushButton"
                                     << "Help" << QRect(8, 588, 256, 27) << QString("Help");
        QTest::newRow("PushButton6")
            << "QPushButton"
            << "Clear Results" << QRect(272, 588, 256, 27) << QString("Clear Results");
    }
    void everyControlInItsPlace()
    {
        QFETCH(QString, className);
        QFETCH(QString, caption);
        QFETCH(QRect, geometry);
        QFETCH(QString, spoken);
        QWidget* widget = control(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(widget);
        QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), className);
        QCOMPARE(widget->geometry(), geometry);
        QString shown;
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            shown = button->text();
        else if (auto* frame = qobject_cast<QGroupBox*>(widget))
            shown = frame->title();
        else if (auto* edit = qobject_cast<QLineEdit*>(widget))
            shown = edit->text();
        QCOMPARE(shown, caption);
        // A screen reader reads it by its caption.
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible);
        QCOMPARE(accessible->text(QAccessible::Name), spoken);
        const bool insideFrame = widget->parentWidget() != m_form.get();
        QCOMPARE(insideFrame,
            caption == "Text1" || className.contains("Radio") || className.contains("CheckBox"));
    }

    void fonts_data()
    {
        QTest::addColumn<qreal>("points");
        for (const char* name : { "Form1", "ListView1", "ListView2", "Frame1", "Frame2", "Frame3",
                 "Text1", "Check4", "Option1", "Option2" })
            QTest::newRow(name) << qreal(9);
        for (const char* name :
            { "PushButton1", "PushButton2", "PushButton3", "PushButton4", "PushButton5",
                "PushButton6", "PushButton7", "PushButton8", "PushButton11", "PushButton17" })
            QTest::newRow(name) << qreal(11.25);
    }
    void fonts()
    {
        QFETCH(qreal, points);
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        QWidget* widget = name == "Form1" ? m_form.get() : control(name);
        QVERIFY(widget);
        QCOMPARE(widget->font().family(), QStringLiteral("Arial"));
        QVERIFY(widget->font().bold());
        QCOMPARE(widget->font().pointSizeF(), points);
    }

    void whiteBackgrounds()
    {
        for (const char* name : { "Frame1", "Frame2", "Frame3", "Check4", "Option1", "Option2" })
            QCOMPARE(
                control(QLatin1String(name))->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(m_form->palette().color(QPalette::Window), QColor(Qt::white));
        QVERIFY(m_form->autoFillBackground());
    }

    void tabOrder()
    {
        const QStringList expected { "ListView1", "ListView2", "PushButton3", "PushButton1",
            "PushButton2", "PushButton6", "PushButton17", "PushButton11", "Option1", "Option2",
            "Check4", "Text1", "PushButton4", "PushButton5", "PushButton7", "PushButton8" };
        QStringList seen;
        QWidget* widget = control("ListView1");
        do {
            if (expected.contains(widget->objectName()) && !seen.contains(widget->objectName()))
                seen.append(widget->objectName());
            widget = widget->nextInFocusChain();
        } while (widget != control("ListView1"));
        QCOMPARE(seen, expected);
        for (const char* frame : { "Frame1", "Frame2", "Frame3" })
            QCOMPARE(control(QLatin1String(frame))->focusPolicy(), Qt::NoFocus);
    }

    void listsCarryTheirTipAndColumn()
    {
        const QString tip = QStringLiteral("Double-click item to remove it. Move | line to right "
                                           "and out of window to reveal full names.");
        for (const char* name : { "ListView1", "ListView2" }) {
            auto* list = control<ListView>(QLatin1String(name));
            QCOMPARE(list->toolTip(), tip);
            QCOMPARE(list->columnWidth(0), 467);
            QVERIFY(list->verticalHeader()->isHidden());
            QCOMPARE(list->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
            // Locations go one at a time (Delete and double-click remove the
            // selected one); results may be taken several at once.
            QCOMPARE(list->selectionMode(),
                qstrcmp(name, "ListView1") == 0 ? QAbstractItemView::SingleSelection
                                                : QAbstractItemView::ExtendedSelection);
            QCOMPARE(list->model()->rowCount(), 0);
        }
    }

    void windowFrame()
    {
        QCOMPARE(m_form->size(), QSize(536, 622));
        QCOMPARE(m_form->minimumSize(), QSize(536, 622));
        QCOMPARE(m_form->maximumSize(), QSize(536, 622));
        const Qt::WindowFlags flags = m_form->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(m_form->isHidden());
    }

    void startingState()
    {
        QVERIFY(control<QRadioButton>("Option1")->isChecked());
        QVERIFY(!control<QRadioButton>("Option2")->isChecked());
        QCOMPARE(control<QCheckBox>("Check4")->checkState(), Qt::Checked);
        QVERIFY(control<QCheckBox>("Check4")->isTristate());
        QCOMPARE(control<QLineEdit>("Text1")->maxLength(), INT_MAX);
    }

    void placedOnTheScreen_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QSize>("frame");
        QTest::addColumn<QPoint>("topLeft");
        // The window's 536 x 622 with a 30-pixel title bar.
        QTest::newRow("1920x1080, centred")
            << QRect(0, 0, 1920, 1050) << QSize(536, 652) << QPoint(692, 199);
        QTest::newRow("panel on the left")
            << QRect(64, 0, 1856, 1080) << QSize(536, 652) << QPoint(724, 214);
        // 1366 x 768 at 125 % leaves 1093 x 614 with a panel: too short.
        QTest::newRow("1366x768 at 125 %")
            << QRect(0, 27, 1093, 587) << QSize(536, 652) << QPoint(278, 27);
        // 1920 x 1080 at 2x: 960 x 540.
        QTest::newRow("1920x1080 at 2x")
            << QRect(0, 0, 960, 540) << QSize(536, 652) << QPoint(212, 0);
        QTest::newRow("smaller both ways")
            << QRect(10, 20, 400, 300) << QSize(536, 652) << QPoint(10, 20);
        QTest::newRow("second screen")
            << QRect(1920, 0, 1280, 1024) << QSize(536, 652) << QPoint(2292, 186);
        QTest::newRow("exactly as tall")
            << QRect(0, 0, 800, 652) << QSize(536, 652) << QPoint(132, 0);
    }
    void placedOnTheScreen()
    {
        QFETCH(QRect, available);
        QFETCH(QSize, frame);
        QFETCH(QPoint, topLeft);
        QCOMPARE(placeWindowFrame(available, frame), topLeft);
    }

    // Qt rounds a screen's logical size, and a window's device position and
    // size, each to whole pixels: at any scale, a window fitted and placed by
    // its frame in logical pixels has its frame on the screen in device pixels.
    void frameOnTheScreenAtAnyScale_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QMargins>("frame"); // device pixels
        QTest::addColumn<qreal>("ratio");
        for (const QSize screen : { QSize(1366, 768), QSize(1280, 720), QSize(1600, 900) }) {
            for (const qreal ratio :
                { 1.1, 1.21, 1.25, 1.37, 1.5, 1.7, 1.75, 2.0, 2.5, 2.75, 3.0, 4.0 }) {
                QTest::addRow("%dx%d at %g", screen.width(), screen.height(), ratio)
                    << screen << QMargins(1, 20, 1, 1) << ratio;
                QTest::addRow("%dx%d at %g, thick frame", screen.width(), screen.height(), ratio)
                    << screen << QMargins(5, 33, 5, 5) << ratio;
            }
        }
    }
    void frameOnTheScreenAtAnyScale()
    {
        QFETCH(QSize, screen);
        QFETCH(QMargins, frame);
        QFETCH(qreal, ratio);
        const auto toDevice = [ratio](int logical) { return qRound(logical * ratio); };
        const QRect available(
            0, 0, qRound(screen.width() / ratio), qRound(screen.height() / ratio));
        const QRect area = placeableArea(available, ratio);
        const QMargins margins = logicalFrame(frame, ratio);
        const QSize window = area.size().shrunkBy(margins).boundedTo(QSize(536, 622));
        const QPoint corner = placeWindowFrame(area, window.grownBy(margins));
        const QPoint client = corner + QPoint(margins.left(), margins.top());
        const QRect device(toDevice(client.x()) - frame.left(), toDevice(client.y()) - frame.top(),
            toDevice(window.width()) + frame.left() + frame.right(),
            toDevice(window.height()) + frame.top() + frame.bottom());
        QVERIFY2(QRect(QPoint(0, 0), screen).contains(device),
            qPrintable(QStringLiteral("%1,%2 %3 x %4")
                           .arg(device.x())
                           .arg(device.y())
                           .arg(device.width())
                           .arg(device.height())));
    }

    void showsOnItsScreen()
    {
        m_form->showCentred();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        const QRect screen = m_form->screen()->availableGeometry();
        const QRect frame = m_form->frameGeometry();
        // Placed before the frame was drawn: off centre by at most its border.
        const int border = frame.width() - m_form->width() + 1;
        QVERIFY(frame.top() >= screen.top() && frame.left() >= screen.left());
        QVERIFY(qAbs(frame.center().x() - screen.center().x()) <= border);
        QVERIFY(qAbs(frame.center().y() - screen.center().y()) <= border);
    }

    // Tab reaches every control, and each, once it has the focus, shows on
    // the screen: the window keeps inside the screen's available area with
    // its title bar, and slides the focused control into view when the area
    // is too small for it. Run again on small screens: tests/CMakeLists.txt.
    void everyControlWithinReachByTab()
    {
        m_form->showCentred();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        QApplication::setActiveWindow(m_form.get());
        const QRect available = m_form->screen()->availableGeometry();
        QTRY_VERIFY(available.contains(m_form->frameGeometry()));

        auto* start = control("ListView1");
        start->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), start);
        QStringList reached;
        do {
            QWidget* focused = QApplication::focusWidget();
            QVERIFY(focused != nullptr);
            const QPoint centre = focused->mapToGlobal(focused->rect().center());
            const QWidget* shown = m_form->childAt(m_form->mapFromGlobal(centre));
            QVERIFY2(
                available.contains(centre) && (shown == focused || focused->isAncestorOf(shown)),
                qPrintable(focused->objectName() + QLatin1String(" is out of view")));
            reached << focused->objectName();
            QTest::keyClick(focused, Qt::Key_Tab);
        } while (QApplication::focusWidget() != start && reached.size() < 40);

        for (const auto* button : m_form->findChildren<QPushButton*>())
            QVERIFY2(reached.contains(button->objectName()), qPrintable(button->objectName()));
        if (available.height() >= 622 + 40)
            QCOMPARE(m_form->size(), QSize(536, 622));
    }

    void closingEndsTheProgram()
    {
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        m_form->close();
        QCOMPARE(m_endRequests, 1);
    }

    void locationListReportsKeysAndDoubleClicks_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        // Each modifier key goes down first and is reported with its own code.
        QTest::addColumn<QList<int>>("codes");
        QTest::newRow("Delete") << int(Qt::Key_Delete) << int(Qt::NoModifier) << QList<int> { 46 };
        QTest::newRow("Shift+Delete")
            << int(Qt::Key_Delete) << int(Qt::ShiftModifier) << QList<int> { 16, 46 };
        QTest::newRow("Ctrl+Alt+Delete")
            << int(Qt::Key_Delete) << int(Qt::ControlModifier | Qt::AltModifier)
            << QList<int> { 17, 18, 46 };
        QTest::newRow("Backspace")
            << int(Qt::Key_Backspace) << int(Qt::NoModifier) << QList<int> { 8 };
        QTest::newRow("A") << int(Qt::Key_A) << int(Qt::NoModifier) << QList<int> { 65 };
        QTest::newRow("Down") << int(Qt::Key_Down) << int(Qt::NoModifier) << QList<int> { 40 };
        QTest::newRow("F5") << int(Qt::Key_F5) << int(Qt::NoModifier) << QList<int> { 116 };
    }
    void locationListReportsKeysAndDoubleClicks()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QList<int>, codes);
        auto* list = control<ListView>("ListView1");
        QSignalSpy keys(list, &ListView::keyDown);
        QSignalSpy doubleClicks(list, &ListView::doubleClickedAnywhere);
        QTest::keyClick(list, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QList<int> reported;
        for (const QList<QVariant>& signal : keys)
            reported.append(signal.at(0).toInt());
        QCOMPARE(reported, codes);
        // On empty space below every row.
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(40, 90));
        QCOMPARE(doubleClicks.size(), 1);
    }
};

QTEST_MAIN(TestForm1Layout)
#include "tst_Form1Layout.moc"
