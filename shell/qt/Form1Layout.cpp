// SPDX-License-Identifier: MIT
#include "shell/qt/Form1Layout.h"

#include "platform/qt/controls/ClickCheckBox.h"
#include "platform/qt/list/ListView.h"
#include "shell/common/WindowText.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <climits>

namespace vantorel
{

namespace
{

    template <class Control>
    Control* place(Control* control, const char* name, int left, int top, int width, int height)
    {
        control->setObjectName(QLatin1String(name));
        control->setGeometry(Form1Layout::pixels(left), Form1Layout::pixels(top),
            Form1Layout::pixels(width), Form1Layout::pixels(height));
        return control;
    }

    QFont windowFont()
    {
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(9);
        font.setBold(true);
        return font;
    }

    QFont buttonFont()
    {
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(11.25);
        font.setBold(true);
        return font;
    }

} // namespace

int Form1Layout::pixels(int twips)
{
    return (twips * 2 + 15) / 30;
}

Form1Layout::Form1Layout(QWidget& window)
{
    styleWindow(window);
    makeLists(window);
    makeFrames(window);
    makeButtons(window);
    setTabOrder();
}

void Form1Layout::styleWindow(QWidget& window)
{
    window.setObjectName(QStringLiteral("Form1"));
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    window.setFixedSize(kWidth, kHeight);
    window.setFont(windowFont());
    // White carries down to the frames, the check box and the option buttons.
    // Every other colour is set too: taken from a dark desktop palette, white
    // captions would vanish on the white design and indicators would turn black.
    QPalette palette(QColor(0xf0, 0xf0, 0xf0), Qt::white);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::AlternateBase, QColor(0xf5, 0xf5, 0xf5));
    for (const QPalette::ColorRole text : { QPalette::WindowText, QPalette::Text,
             QPalette::ButtonText, QPalette::ToolTipText, QPalette::PlaceholderText }) {
        palette.setColor(
            text, text == QPalette::PlaceholderText ? QColor(0x70, 0x70, 0x70) : QColor(Qt::black));
    }
    palette.setColor(QPalette::ToolTipBase, QColor(0xff, 0xff, 0xdc));
    palette.setColor(QPalette::Highlight, QColor(0x00, 0x78, 0xd7));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, QColor(0x00, 0x00, 0xee));
    for (const QPalette::ColorRole text :
        { QPalette::WindowText, QPalette::Text, QPalette::ButtonText }) {
        palette.setColor(QPalette::Disabled, text, QColor(0x78, 0x78, 0x78));
    }
    window.setPalette(palette);
    window.setAutoFillBackground(true);
}

void Form1Layout::makeLists(QWidget& window)
{
    ListView1 = place(new ListView(&window), "ListView1", 120, 120, 7800, 1695);
    ListView2 = place(new ListView(&window), "ListView2", 120, 5895, 7800, 1815);
    for (ListView* list : { ListView1, ListView2 }) {
        //: Both lists' tooltip; "|" is the line at the right end of the column's header.
        list->setToolTip(WindowText::tr("Double-click item to remove it. Move | line to right "
                                        "and out of window to reveal full names."));
        list->setFirstColumnWidth(pixels(kColumnTwips));
    }
}

void Form1Layout::makeFrames(QWidget& window)
{
    Frame3 = place(new QGroupBox(WindowText::tr("Search For These Character(s)"), &window),
        "Frame3", 120, 2910, 7800, 825);
    // The control's design text, which start-up replaces with the phrase kept.
    Text1 = place(new QLineEdit(QStringLiteral("Text1"), Frame3), "Text1", 240, 300, 7320, 330);
    Text1->setMaxLength(INT_MAX);

    Frame2 = place(
        new QGroupBox(WindowText::tr("Case Option"), &window), "Frame2", 120, 3780, 7800, 700);
    Check4 = place(
        new ClickCheckBox(WindowText::tr("Match Case"), Frame2), "Check4", 240, 300, 1335, 255);
    Check4->setCheckState(Qt::Checked);

    //: The frame of the two display options below it.
    Frame1
        = place(new QGroupBox(WindowText::tr("Option"), &window), "Frame1", 120, 4545, 7800, 700);
    Option1 = place(new QRadioButton(WindowText::tr("Display full path"), Frame1), "Option1", 240,
        300, 1935, 255);
    Option2 = place(new QRadioButton(WindowText::tr("Display folder name only "), Frame1),
        "Option2", 2160, 300, 2655, 255);
    Option1->setChecked(true);
}

void Form1Layout::makeButtons(QWidget& window)
{
    const auto button
        = [&](const char* name, const QString& caption, int left, int top, int width) {
              auto* made = place(new QPushButton(caption, &window), name, left, top, width, 405);
              made->setFont(buttonFont());
              made->setAutoDefault(false);
              return made;
          };
    PushButton3 = button(
        "PushButton3", WindowText::tr("Add Drive/Folder To Search Within"), 120, 1900, 7800);
    PushButton7 = button("PushButton7", WindowText::tr("Clear List"), 120, 2410, 3840);
    PushButton8
        = button("PushButton8", WindowText::tr("Load Sample/Example Folder"), 4080, 2410, 3840);
    PushButton1 = button("PushButton1", WindowText::tr("Start Finding"), 120, 5385, 7800);
    PushButton2
        = button("PushButton2", WindowText::tr("Save Results As Text File"), 120, 7800, 3840);
    PushButton4
        = button("PushButton4", WindowText::tr("Copy Results To Clipboard"), 4080, 7800, 3840);
    //: "X" stands for the phrase the command asks for.
    PushButton17
        = button("PushButton17", WindowText::tr("Remove Results Containing X"), 120, 8310, 3840);
    //: "X" stands for the phrase the command asks for.
    PushButton11 = button(
        "PushButton11", WindowText::tr("Remove Results Not Containing X"), 4080, 8310, 3840);
    PushButton5 = button("PushButton5", WindowText::tr("Help"), 120, 8820, 3840);
    PushButton6 = button("PushButton6", WindowText::tr("Clear Results"), 4080, 8820, 3840);
}

void Form1Layout::setTabOrder()
{
    // The frames take no focus; their places in the order fall to their controls.
    QWidget* const order[] = { ListView1, ListView2, PushButton3, PushButton1, PushButton2,
        PushButton6, PushButton17, PushButton11, Option1, Option2, Check4, Text1, PushButton4,
        PushButton5, PushButton7, PushButton8 };
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace vantorel
