// SPDX-License-Identifier: MIT
// The main function of a test of this folder. These tests run on the X server
// and window manager that scripts/test-x11.sh starts and names in
// OSTLEBRY_X11_DISPLAY; without it they are skipped, so that they never open
// windows on the user's own desktop.
#pragma once

#include <QApplication>
#include <QTest>

#include <cstdio>

namespace vantorel::test
{

/// The exit code CTest counts as skipped (SKIP_RETURN_CODE).
constexpr int kSkipped = 77;

/// Points Qt at the tests' X server; false when there is none.
inline bool useTestDisplay()
{
    const QByteArray display = qgetenv("OSTLEBRY_X11_DISPLAY");
    if (display.isEmpty()) {
        std::fputs("Skipped: this test needs the X server of scripts/test-x11.sh.\n", stdout);
        return false;
    }
    qputenv("DISPLAY", display);
    qputenv("QT_QPA_PLATFORM", "xcb");
    return true;
}

} // namespace vantorel::test

#define OSTLEBRY_X11_TEST_MAIN(TestObject)                                                         \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        if (!vantorel::test::useTestDisplay())                                                     \
            return vantorel::test::kSkipped;                                                       \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject test;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
