// SPDX-License-Identifier: MIT
#include "platform/qt/files/QtFileSystem.h"
#include "platform/qt/files/QtSaveFileDialog.h"
#include "platform/qt/list/ListModel.h"
#include "platform/qt/list/ListView.h"
#include "platform/qt/list/QtListControl.h"
#include "platform/qt/pointer/CursorFile.h"
#include "platform/qt/skin/QtSkinnableWindow.h"
#include "platform/qt/skin/SkinFramework1.h"
#include "presentation/ApplySkin.h"
#include "shell/qt/Form1.h"
#include "shell/qt/Form1Usability.h"
#include "shell/qt/ResultsListActions.h"
#include "support/FakeControls.h"
#include "support/ModalBoxAnswerer.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

const QString kOurSkin = QStringLiteral(OSTLEBRY_SOURCE_DIR "/resources/skin/o.cjs");
const QString kOurCursor = QStringLiteral(OSTLEBRY_SOURCE_DIR "/resources/HAND-M.CUR");
const QStringList kTakeFace = { "Frame3", "Frame2", "Check4", "Frame1", "Option1", "Option2" };
const QStringList kKeepTheirs = { "ListView1", "ListView2", "Text1", "PushButton1", "PushButton5" };

/// The main window after start-up's appearance step, with our skin beside the
/// program or, when `withSkin` is false, with none.
struct SkinnedForm {
    explicit SkinnedForm(bool withSkin)
    {
        ready = QDir(program.path()).mkpath("x")
            && (!withSkin || QFile::copy(kOurSkin, program.filePath("x/o.cjs")));
        if (ready)
            ApplySkin(folder, files, skinnable, skin)();
    }

    QTemporaryDir program;
    FakeProgramFolder folder { program.path() };
    QtFileSystem files;
    Form1 window { [] {} };
    QtSkinnableWindow skinnable { window };
    SkinFramework1 skin;
    bool ready = false;
};

/// A desktop's dark palette, as a dark GTK or Qt theme gives it.
QPalette darkDesktopPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::AlternateBase, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::ButtonText, Qt::white);
    dark.setColor(QPalette::Light, QColor(0x50, 0x50, 0x50));
    dark.setColor(QPalette::Midlight, QColor(0x45, 0x45, 0x45));
    dark.setColor(QPalette::Mid, QColor(0x25, 0x25, 0x25));
    dark.setColor(QPalette::Dark, QColor(0x10, 0x10, 0x10));
    dark.setColor(QPalette::Shadow, Qt::black);
    dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    dark.setColor(QPalette::HighlightedText, Qt::black);
    return dark;
}

/// The desktop's palette is the dark one while this lives, then as it was.
struct DarkDesktop {
    QPalette desktop = QApplication::palette();
    DarkDesktop() { QApplication::setPalette(darkDesktopPalette()); }
    ~DarkDesktop() { QApplication::setPalette(desktop); }
    DarkDesktop(const DarkDesktop&) = delete;
    DarkDesktop& operator=(const DarkDesktop&) = delete;
};

/// The rows of a test run with the skin and with the plain white design.
void skinAndWhiteDesignRows()
{
    QTest::addColumn<bool>("skinned");
    QTest::newRow("skin") << true;
    QTest::newRow("white design") << false;
}

/// WCAG contrast ratio of two opaque colours, from 1 (same) to 21 (black on white).
double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF())
            + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

/// The strongest contrast between the same pixel of two pictures of one control.
double strongestChange(const QImage& before, const QImage& after)
{
    double strongest = 1;
    for (int y = 0; y < std::min(before.height(), after.height()); ++y)
        for (int x = 0; x < std::min(before.width(), after.width()); ++x)
            strongest
                = std::max(strongest, contrast(before.pixelColor(x, y), after.pixelColor(x, y)));
    return strongest;
}

/// The strongest contrast inside `area` of a picture against the pixel at its
/// left end: for a line of text with a margin of plain background before it.
double strongestAgainstMargin(const QImage& picture, const QRect& area)
{
    const QRect pixels(
        area.topLeft() * picture.devicePixelRatio(), area.size() * picture.devicePixelRatio());
    const QColor margin = picture.pixelColor(pixels.left() + 1, pixels.center().y());
    double strongest = 1;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y)
        for (int x = pixels.left(); x <= pixels.right(); ++x)
            strongest = std::max(strongest, contrast(margin, picture.pixelColor(x, y)));
    return strongest;
}

/// Pixels that differ between two pictures, as a mask.
QList<QPoint> changedPixels(const QImage& before, const QImage& after)
{
    QList<QPoint> changed;
    for (int y = 0; y < std::min(before.height(), after.height()); ++y)
        for (int x = 0; x < std::min(before.width(), after.width()); ++x)
            if (contrast(before.pixelColor(x, y), after.pixelColor(x, y)) >= 1.5)
                changed.append(QPoint(x, y));
    return changed;
}

/// How far a shape is from its own mirror image, left to right: 0 for a dot,
/// near 1 for a check mark.
double mirrorMismatch(const QList<QPoint>& shape)
{
    if (shape.isEmpty())
        return 0;
    int left = shape.first().x();
    int right = left;
    for (const QPoint& p : shape) {
        left = std::min(left, p.x());
        right = std::max(right, p.x());
    }
    qsizetype unmatched = 0;
    for (const QPoint& p : shape)
        unmatched += shape.contains(QPoint(left + right - p.x(), p.y())) ? 0 : 1;
    return double(unmatched) / double(shape.size());
}

/// The control as the window shows it, over the window's own background.
QImage picture(QWidget* control)
{
    QWidget* window = control->window();
    return window->grab(QRect(control->mapTo(window, QPoint(0, 0)), control->size())).toImage();
}

} // namespace

class TestSkinnedWindow : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        qApp->setStyleSheet(QString());
        QCOMPARE(QApplication::topLevelWidgets().size(), 0);
    }

    void withoutTheSkinFileTheWindowKeepsItsDesignColours()
    {
        // The test's own folder holds no "x/o.cjs".
        QVERIFY(!QFile::exists(QCoreApplication::applicationDirPath() + "/x/o.cjs"));
        Form1 window([] {});
        window.load();
        QCOMPARE(window.palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(window.property("backColor"), QVariant());
        for (const QString& name : kTakeFace)
            QCOMPARE(window.findChild<QWidget*>(name)->property("backColor"), QVariant());
        QCOMPARE(qApp->styleSheet(), QString());
        QCOMPARE(window.styleSheet(), QString());
    }

    void theSkinRecoloursFramesOptionsAndCheckBoxButNotLists()
    {
        SkinnedForm skinned(true);
        QVERIFY(skinned.ready);
        Form1& window = skinned.window;

        const QColor face(0xee, 0xf1, 0xf5);
        QCOMPARE(window.property("backColor"), QVariant(quint32(0x8000000F)));
        for (const QString& name : kTakeFace) {
            auto* control = window.findChild<QWidget*>(name);
            QVERIFY2(control, qPrintable(name));
            QCOMPARE(control->property("backColor"), QVariant(quint32(0x8000000F)));
            QCOMPARE(control->backgroundRole(), QPalette::Button);
            QCOMPARE(control->palette().color(QPalette::Button), face);
        }
        for (const QString& name : kKeepTheirs) {
            auto* control = window.findChild<QWidget*>(name);
            QVERIFY2(control, qPrintable(name));
            QCOMPARE(control->property("backColor"), QVariant());
        }
        // What shows: the rows of the lists stay white, the frames carry the face.
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage picture = window.grab().toImage();
        auto* results = window.findChild<QWidget*>("ListView2");
        auto* frame = window.findChild<QWidget*>("Frame2");
        const QPoint insideResults
            = results->mapTo(&window, QPoint(results->width() - 30, results->height() - 12));
        const QPoint insideFrame
            = frame->mapTo(&window, QPoint(frame->width() - 30, frame->height() / 2));
        const qreal ratio = picture.devicePixelRatio();
        QCOMPARE(picture.pixelColor(insideResults * ratio), QColor(Qt::white));
        QCOMPARE(picture.pixelColor(insideFrame * ratio), face);
    }

    /// Captions and the states of the check box and option buttons stand out
    /// from their background whatever palette the desktop has: 4.5 to 1 for
    /// text and 3 to 1 for a state, the readability thresholds of WCAG.
    void aDarkDesktopPaletteLeavesEverythingReadable_data() { skinAndWhiteDesignRows(); }
    void aDarkDesktopPaletteLeavesEverythingReadable()
    {
        QFETCH(bool, skinned);
        const DarkDesktop dark;

        SkinnedForm form(skinned);
        QVERIFY(form.ready);
        Form1& window = form.window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        auto* check = window.findChild<QCheckBox*>("Check4");
        auto* option1 = window.findChild<QRadioButton*>("Option1");
        auto* option2 = window.findChild<QRadioButton*>("Option2");
        check->setChecked(true);
        const QImage checked = picture(check);
        check->setChecked(false);
        const QImage unchecked = picture(check);
        QVERIFY2(strongestChange(checked, unchecked) >= 3,
            qPrintable(QString::number(strongestChange(checked, unchecked))));
        const QImage firstChosen = picture(option2);
        option2->setChecked(true);
        const QImage secondChosen = picture(option2);
        QVERIFY2(strongestChange(firstChosen, secondChosen) >= 3,
            qPrintable(QString::number(strongestChange(firstChosen, secondChosen))));
        // A tick is a check mark, not a dot like the option buttons'.
        const double tickShape = mirrorMismatch(changedPixels(unchecked, checked));
        QVERIFY2(tickShape > 0.3, qPrintable(QString::number(tickShape)));

        // Space ticks the selected row: the tick shows on the selection.
        auto* list = window.findChild<ListView*>("ListView2");
        window.results().append(QStringLiteral("/home/user/Documents"));
        window.resultsModel().flushPending();
        const QModelIndex row = list->model()->index(0, 0);
        list->selectionModel()->select(
            row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        const QRect rowArea(list->viewport()->mapTo(&window, list->visualRect(row).topLeft()),
            list->visualRect(row).size());
        const QImage clearRow = window.grab(rowArea).toImage();
        window.results().setChecked(0, true);
        const QImage tickedRow = window.grab(rowArea).toImage();
        // Inside the box's outline, which may change too.
        QRect box;
        for (const QPoint& p : changedPixels(clearRow, tickedRow))
            box |= QRect(p, QSize(1, 1));
        box.adjust(2, 2, -2, -2);
        const double tickRatio = strongestChange(clearRow.copy(box), tickedRow.copy(box));
        QVERIFY2(tickRatio >= 3, qPrintable(QString::number(tickRatio)));

        // Each caption against the same control drawn without it.
        const auto captionContrast = [](QWidget* control, auto getText, auto setText) {
            const QString text = getText();
            const QImage with = picture(control);
            setText(QString());
            const QImage without = picture(control);
            setText(text);
            return strongestChange(with, without);
        };
        for (QAbstractButton* button : { static_cast<QAbstractButton*>(check),
                 static_cast<QAbstractButton*>(option1), static_cast<QAbstractButton*>(option2) }) {
            const double ratio = captionContrast(
                button, [&] { return button->text(); },
                [&](const QString& t) { button->setText(t); });
            QVERIFY2(
                ratio >= 4.5, qPrintable(button->objectName() + ": " + QString::number(ratio)));
        }
        for (const char* name : { "Frame1", "Frame2", "Frame3" }) {
            auto* frame = window.findChild<QGroupBox*>(name);
            const double ratio = captionContrast(
                frame, [&] { return frame->title(); },
                [&](const QString& t) { frame->setTitle(t); });
            QVERIFY2(ratio >= 4.5,
                qPrintable(QString::fromLatin1(name) + ": " + QString::number(ratio)));
        }
    }

    /// Menus and dialogs take the skin's colours whole or the desktop's
    /// whole, never the skin's text on the desktop's background.
    void aDarkDesktopPaletteLeavesPopupsReadable_data() { skinAndWhiteDesignRows(); }
    void aDarkDesktopPaletteLeavesPopupsReadable()
    {
        QFETCH(bool, skinned);
        const DarkDesktop dark;
        SkinnedForm form(skinned);
        QVERIFY(form.ready);
        Form1& window = form.window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        window.results().append(QStringLiteral("/home/user/Documents"));
        window.resultsModel().flushPending();
        auto* list = window.findChild<ListView*>("ListView2");
        const QPoint onRow = list->visualRect(list->model()->index(0, 0)).center();
        const std::unique_ptr<QMenu> menu = window.usability().resultsList().menuAt(onRow);
        menu->popup(list->viewport()->mapToGlobal(onRow));
        QVERIFY(QTest::qWaitForWindowExposed(menu.get()));
        const QImage menuPicture = menu->grab().toImage();
        menu->close();
        for (QAction* action : menu->actions()) {
            if (action->isSeparator())
                continue;
            const double ratio = strongestAgainstMargin(menuPicture, menu->actionGeometry(action));
            QVERIFY2(ratio >= 4.5, qPrintable(action->text() + ": " + QString::number(ratio)));
        }

        double typesRatio = 0;
        QTimer answer;
        answer.callOnTimeout([&] {
            auto* dialog = qobject_cast<QFileDialog*>(test::openBox());
            if (dialog == nullptr || !dialog->isVisible())
                return;
            auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
            if (types != nullptr) {
                const QString shown = types->currentText();
                const QImage with = picture(types);
                types->setItemText(types->currentIndex(), QString());
                typesRatio = strongestChange(with, picture(types));
                types->setItemText(types->currentIndex(), shown);
            }
            dialog->reject();
        });
        answer.start(5);
        QtSaveFileDialog(&window).showSave({ QString(), 0, QStringLiteral("Save Results"),
            QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"), QDir::tempPath(),
            QString() });
        QVERIFY2(typesRatio >= 4.5, qPrintable(QString::number(typesRatio)));
    }

    void pointerMovesOverTheWindowsControls()
    {
        Form1 window([] {});
        window.load();
        const auto moveOver = [](QWidget* widget) {
            QVERIFY2(widget, "no such control");
            QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), widget->mapToGlobal(QPointF(3, 3)),
                Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(widget, &move);
        };
        auto* help = window.findChild<QWidget*>("PushButton5");
        auto* results = window.findChild<QAbstractScrollArea*>("ListView2");
        moveOver(help);
        QCOMPARE(window.cursor().shape(), Qt::PointingHandCursor); // no image beside the test
        moveOver(window.findChild<QWidget*>("Option2"));
        QCOMPARE(window.cursor().shape(), Qt::PointingHandCursor);
        moveOver(results->viewport());
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
        moveOver(window.findChild<QWidget*>("PushButton1"));
        QCOMPARE(window.cursor().shape(), Qt::PointingHandCursor);
        moveOver(window.findChild<QWidget*>("Frame3"));
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
    }

    void ourHandCursorHasItsHotSpotOnTheFingerTip()
    {
        QFile file(kOurCursor);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(CursorFile::hotSpot(bytes), QPoint(5, 0));
        const QCursor cursor = CursorFile::load(kOurCursor);
        QCOMPARE(cursor.hotSpot(), QPoint(5, 0));
        const QImage image = cursor.pixmap().toImage();
        QCOMPARE(image.size(), QSize(32, 32));
        // The hot spot is on the outline at the tip; the corner is see-through.
        QCOMPARE(image.pixelColor(5, 0).alpha(), 255);
        QCOMPARE(image.pixelColor(31, 31).alpha(), 0);
    }

    void theProgramIconIsOurs()
    {
        Form1 window([] {});
        window.load();
        const QImage icon = window.windowIcon().pixmap(64, 64).toImage();
        QCOMPARE(icon.size(), QSize(64, 64));
        // The folder's amber front, left of the magnifier, and a clear corner.
        const QColor amber = icon.pixelColor(16, 40);
        QVERIFY2(amber.red() > 220 && amber.green() > 150 && amber.blue() < 120,
            qPrintable(amber.name()));
        QCOMPARE(icon.pixelColor(63, 0).alpha(), 0);
    }
};

QTEST_MAIN(TestSkinnedWindow)
#include "tst_SkinnedWindow.moc"
