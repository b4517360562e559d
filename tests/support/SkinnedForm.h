// SPDX-License-Identifier: MIT
// The main window after start-up's appearance step, for the window tests that
// look at its colours. Header-only: the skin's path comes from the including
// test's OSTLEBRY_SOURCE_DIR.
#pragma once

#include "platform/files/QtFileSystem.h"
#include "platform/qt/skin/QtSkinnableWindow.h"
#include "platform/qt/skin/SkinFramework1.h"
#include "presentation/ApplySkin.h"
#include "shell/qt/Form1.h"
#include "support/FakeControls.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace vantorel::test
{

/// The main window with our skin beside the program or, when `withSkin` is
/// false, with none.
struct SkinnedForm {
    explicit SkinnedForm(bool withSkin)
    {
        ready = QDir(program.path()).mkpath("x")
            && (!withSkin
                || QFile::copy(QStringLiteral(OSTLEBRY_SOURCE_DIR "/resources/skin/o.cjs"),
                    program.filePath("x/o.cjs")));
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

/// For a test's cleanup: clears the style sheet the skin may have set, and
/// checks that no window was left open.
inline void clearSkinAfterTest()
{
    qApp->setStyleSheet(QString());
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
}

} // namespace vantorel::test
