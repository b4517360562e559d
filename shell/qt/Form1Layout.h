// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace vantorel
{

class ListView;

/// The controls of the main window, made in their designed places, sizes,
/// fonts, colours and tab order. Every control carries its designer name as
/// its object name.
class Form1Layout
{
public:
    /// Client area of the window, in pixels.
    static constexpr int kWidth = 536;
    static constexpr int kHeight = 622;
    /// The lists' first column: 7000 twips.
    static constexpr int kColumnTwips = 7000;

    /// Builds every control as a child of `window`.
    explicit Form1Layout(QWidget& window);

    /// Twips to pixels at 15 twips a pixel.
    static int pixels(int twips);

    ListView* ListView1;
    ListView* ListView2;
    QPushButton* PushButton1;
    QPushButton* PushButton2;
    QPushButton* PushButton3;
    QPushButton* PushButton4;
    QPushButton* PushButton5;
    QPushButton* PushButton6;
    QPushButton* PushButton7;
    QPushButton* PushButton8;
    QPushButton* PushButton11;
    QPushButton* PushButton17;
    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QGroupBox* Frame3;
    QLineEdit* Text1;
    QCheckBox* Check4;
    QRadioButton* Option1;
    QRadioButton* Option2;

private:
    void styleWindow(QWidget& window);
    void makeLists(QWidget& window);
    void makeFrames(QWidget& window);
    void makeButtons(QWidget& window);
    void setTabOrder();
};

} // namespace vantorel
