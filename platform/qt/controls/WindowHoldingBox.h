// SPDX-License-Identifier: MIT
#pragma once

class QDialog;

namespace vantorel
{

/// Runs `box` until it is done, with every input to the window it stands
/// over held back, as a modal box holds it, except the window's close: a
/// window closed while a box is open ends the program at once, as it does
/// in the middle of any command. Qt's own modality would drop that close.
/// Returns the box's result.
int runWindowHoldingBox(QDialog& box);

} // namespace vantorel
