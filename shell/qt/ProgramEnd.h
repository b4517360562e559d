// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

namespace vantorel
{

/// Ends the process at once, whatever its threads are doing, after taking
/// `window` off the screen: it is unmapped, the display connection is shut
/// down, and every socket the process holds is closed.
///
/// A thread that the system holds in a call on a network share that stopped
/// answering cannot be ended by any signal once the share has taken the call:
/// the process stays behind, a zombie, until the call returns. Until then it
/// keeps its descriptors open, so without this the window would stay on the
/// screen, dead, and a later start would hand its folders to a listener that
/// never answers.
[[noreturn]] void endProgramNow(QWidget& window);

} // namespace vantorel
