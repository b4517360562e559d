/* Ostlebry skin "Calm": a soft neutral face, white work areas, one quiet
   steel-blue accent for hover, focus and selection. Fonts stay as designed.
   The face colour is the window's background (#Form1); controls drawn in the
   button-face colour take it from the window's palette. */

#Form1, QDialog, QMessageBox {
    background-color: #eef1f5;
}

QWidget {
    color: #1f2933;
}

/* Frames: a light rounded outline, the caption sitting on it. */
QGroupBox {
    border: 1px solid #cdd5de;
    border-radius: 8px;
    margin-top: 9px;
}
QGroupBox::title {
    subcontrol-origin: margin;
    subcontrol-position: top left;
    left: 10px;
    padding: 0px 4px;
    color: #334e68;
}

QRadioButton, QCheckBox {
    spacing: 6px;
}
QRadioButton:hover, QCheckBox:hover {
    color: #2f6f9f;
}
/* Indicators drawn here, not by the desktop's palette: a dark desktop theme
   would otherwise fill them black in both states. Ticked and chosen are the
   accent; clear is white in a grey outline. */
QCheckBox::indicator, QRadioButton::indicator {
    width: 12px;
    height: 12px;
    border: 1px solid #7b8794;
    background-color: #ffffff;
}
QCheckBox::indicator {
    border-radius: 3px;
}
QRadioButton::indicator {
    border-radius: 7px;
}
QCheckBox::indicator:hover, QRadioButton::indicator:hover {
    border-color: #2f6f9f;
}
/* A tick is a check mark, unlike the round option buttons' dot. */
QCheckBox::indicator:checked {
    border-color: #2f6f9f;
    image: url(:/skin/tick.png);
}
QCheckBox::indicator:indeterminate {
    border-color: #2f6f9f;
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1,
        stop: 0 #ffffff, stop: 0.35 #ffffff, stop: 0.36 #2f6f9f, stop: 0.64 #2f6f9f,
        stop: 0.65 #ffffff, stop: 1 #ffffff);
}
QRadioButton::indicator:checked {
    border-color: #2f6f9f;
    background-color: qradialgradient(cx: 0.5, cy: 0.5, radius: 0.5, fx: 0.5, fy: 0.5,
        stop: 0 #2f6f9f, stop: 0.55 #2f6f9f, stop: 0.65 #ffffff, stop: 1 #ffffff);
}

/* Command buttons: white, rounded, the accent on hover and focus. */
QPushButton {
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #ffffff, stop: 1 #f3f6f9);
    border: 1px solid #b9c5d1;
    border-radius: 6px;
    padding: 1px 2px;
    color: #1f2933;
}
QPushButton:hover {
    background-color: #e8f1f9;
    border-color: #2f6f9f;
    color: #1d4f75;
}
QPushButton:focus {
    border: 2px solid #2f6f9f;
    padding: 0px 1px;
}
QPushButton:pressed {
    background-color: #d4e4f1;
    border-color: #24577d;
}
/* The one primary action: start or stop a search. */
#PushButton1 {
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #3a7db0, stop: 1 #2f6f9f);
    border-color: #285f88;
    color: #ffffff;
}
#PushButton1:hover {
    background-color: #3a7db0;
    color: #ffffff;
}
#PushButton1:focus {
    border-color: #1d4f75;
}
#PushButton1:pressed {
    background-color: #285f88;
}
QPushButton:disabled {
    color: #9aa5b1;
    border-color: #d3dae1;
    background-color: #f3f5f7;
}

/* Work areas: white with a quiet outline that turns to the accent on focus. */
QLineEdit, QAbstractItemView {
    background-color: #ffffff;
    border: 1px solid #b9c5d1;
    border-radius: 6px;
    selection-background-color: #2f6f9f;
    selection-color: #ffffff;
}
QLineEdit {
    padding: 1px 6px;
}
QLineEdit:focus, QAbstractItemView:focus {
    border-color: #2f6f9f;
}
QAbstractItemView::item {
    padding: 1px 2px;
}
QAbstractItemView::item:hover {
    background-color: #eef4fa;
}
QAbstractItemView::item:selected {
    background-color: #2f6f9f;
    color: #ffffff;
}
/* The rows' ticks keep their own colours: a selected row's white text would
   otherwise draw its tick white on the white box. */
QAbstractItemView::indicator {
    width: 12px;
    height: 12px;
    border: 1px solid #7b8794;
    border-radius: 3px;
    background-color: #ffffff;
}
QAbstractItemView::indicator:checked {
    border-color: #2f6f9f;
    image: url(:/skin/tick.png);
}

/* The entry a menu or a drop-down list highlights: white on the accent, as
   a selected row. It would otherwise keep the window's dark text. */
QMenu::item:selected, QComboBox::item:selected {
    color: #ffffff;
}

QHeaderView {
    background-color: #e3e9f0;
    border: none;
    border-bottom: 1px solid #c5cfd9;
    border-top-left-radius: 5px;
    border-top-right-radius: 5px;
}
QHeaderView::section {
    background-color: #e3e9f0;
    color: #243b53;
    border: none;
    border-right: 1px solid #c5cfd9;
    padding: 3px 6px;
}

/* Slim scroll bars that stay out of the way. */
QScrollBar:vertical {
    background: transparent;
    width: 10px;
    margin: 2px;
}
QScrollBar:horizontal {
    background: transparent;
    height: 10px;
    margin: 2px;
}
QScrollBar::handle:vertical, QScrollBar::handle:horizontal {
    background: #c3cdd7;
    border-radius: 3px;
    min-height: 24px;
    min-width: 24px;
}
QScrollBar::handle:vertical:hover, QScrollBar::handle:horizontal:hover {
    background: #97a9bb;
}
QScrollBar::add-line, QScrollBar::sub-line {
    width: 0px;
    height: 0px;
}
QScrollBar::add-page, QScrollBar::sub-page {
    background: transparent;
}

QToolTip {
    background-color: #243b53;
    color: #ffffff;
    border: none;
    padding: 4px 6px;
}
