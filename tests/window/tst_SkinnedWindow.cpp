// SPDX-License-Identifier: MIT
// The window's own look: the skin's colours or the design's without it, the
// pointer over its controls, our hand cursor and the program's icon.
#include "platform/qt/pointer/CursorFile.h"
#include "shell/qt/Form1.h"
#include "support/SkinnedForm.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QTest>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

const QString kOurCursor = QStringLiteral(OSTLEBRY_SOURCE_DIR "/resources/HAND-M.CUR");
const QStringList kTakeFace = { "Frame3", "Frame2", "Check4", "Frame1", "Option1", "Option2" };
const QStringList kKeepTheirs = { "ListView1", "ListView2", "Text1", "PushButton1", "PushButton5" };

} // namespace

class TestSkinnedWindow : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { clearSkinAfterTest(); }

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
