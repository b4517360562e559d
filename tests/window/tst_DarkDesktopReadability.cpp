// SPDX-License-Identifier: MIT
// The window, its menu and its file dialog on a desktop with a dark palette,
// with the skin and with the plain white design: every caption and every
// state of a check box or option button must stay readable.
#include "platform/list/ListModel.h"
#include "platform/qt/files/QtSaveFileDialog.h"
#include "platform/qt/list/ListView.h"
#include "platform/qt/list/QtListControl.h"
#include "shell/qt/Form1.h"
#include "shell/qt/Form1Usability.h"
#include "support/ModalBoxAnswerer.h"
#include "support/SkinnedForm.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QImage>
#include <QMenu>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <optional>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

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

/// How the check box and an option button change as their states do: the
/// strongest contrast of each change, and how far the tick's shape is from
/// its mirror image.
struct StateContrast {
    double tick;
    double option;
    double tickShape;
};

StateContrast stateContrast(QCheckBox* check, QRadioButton* option)
{
    check->setChecked(true);
    const QImage checked = picture(check);
    check->setChecked(false);
    const QImage unchecked = picture(check);
    const QImage firstChosen = picture(option);
    option->setChecked(true);
    const QImage secondChosen = picture(option);
    return { strongestChange(checked, unchecked), strongestChange(firstChosen, secondChosen),
        mirrorMismatch(changedPixels(unchecked, checked)) };
}

/// The strongest contrast a tick makes on a selected row of the results,
/// inside the box's outline, which may change too.
double tickOnSelectedRowContrast(Form1& window)
{
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
    QRect box;
    for (const QPoint& p : changedPixels(clearRow, tickedRow))
        box |= QRect(p, QSize(1, 1));
    box.adjust(2, 2, -2, -2);
    return strongestChange(clearRow.copy(box), tickedRow.copy(box));
}

/// A caption against the same control drawn without it.
template <class GetText, class SetText>
double captionContrast(QWidget* control, GetText getText, SetText setText)
{
    const QString text = getText();
    const QImage with = picture(control);
    setText(QString());
    const QImage without = picture(control);
    setText(text);
    return strongestChange(with, without);
}

} // namespace

class TestDarkDesktopReadability : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { clearSkinAfterTest(); }

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
        const StateContrast states = stateContrast(check, option2);
        QVERIFY2(states.tick >= 3, qPrintable(QString::number(states.tick)));
        QVERIFY2(states.option >= 3, qPrintable(QString::number(states.option)));
        // A tick is a check mark, not a dot like the option buttons'.
        QVERIFY2(states.tickShape > 0.3, qPrintable(QString::number(states.tickShape)));

        // Space ticks the selected row: the tick shows on the selection.
        const double tickRatio = tickOnSelectedRowContrast(window);
        QVERIFY2(tickRatio >= 3, qPrintable(QString::number(tickRatio)));

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
    /// whole, never the skin's text on the desktop's background; so does the
    /// entry the keyboard highlights. The skin's are the same on a light
    /// desktop.
    void aDarkDesktopPaletteLeavesPopupsReadable_data()
    {
        QTest::addColumn<bool>("skinned");
        QTest::addColumn<bool>("darkDesktop");
        QTest::newRow("skin") << true << true;
        QTest::newRow("white design") << false << true;
        QTest::newRow("skin, light desktop") << true << false;
    }
    void aDarkDesktopPaletteLeavesPopupsReadable()
    {
        QFETCH(bool, skinned);
        QFETCH(bool, darkDesktop);
        std::optional<DarkDesktop> dark;
        if (darkDesktop)
            dark.emplace();
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
        menu->setActiveAction(menu->actions().first());
        const QImage menuPicture = menu->grab().toImage();
        menu->close();
        for (QAction* action : menu->actions()) {
            if (action->isSeparator())
                continue;
            const double ratio = strongestAgainstMargin(menuPicture, menu->actionGeometry(action));
            QVERIFY2(ratio >= 4.5, qPrintable(action->text() + ": " + QString::number(ratio)));
        }

        double typesRatio = 0;
        double highlightedTypeRatio = 0;
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
                types->showPopup();
                QAbstractItemView* entries = types->view();
                const QModelIndex current = entries->currentIndex();
                highlightedTypeRatio = strongestAgainstMargin(
                    entries->viewport()->grab().toImage(), entries->visualRect(current));
                types->hidePopup();
            }
            dialog->reject();
        });
        answer.start(5);
        QtSaveFileDialog(&window).showSave({ QString(), 0, QStringLiteral("Save Results"),
            QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"), QDir::tempPath(),
            QString() });
        QVERIFY2(typesRatio >= 4.5, qPrintable(QString::number(typesRatio)));
        QVERIFY2(highlightedTypeRatio >= 4.5, qPrintable(QString::number(highlightedTypeRatio)));
    }
};

QTEST_MAIN(TestDarkDesktopReadability)
#include "tst_DarkDesktopReadability.moc"
