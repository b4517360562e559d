// SPDX-License-Identifier: MIT
#include "platform/Failure.h"
#include "platform/qt/controls/QtWindowSurface.h"
#include "platform/qt/pointer/CursorFile.h"
#include "platform/qt/pointer/QtPointerSetting.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace vantorel;

namespace
{

void put16(QByteArray& bytes, quint16 value)
{
    char raw[2];
    qToLittleEndian(value, raw);
    bytes.append(raw, 2);
}

void put32(QByteArray& bytes, quint32 value)
{
    char raw[4];
    qToLittleEndian(value, raw);
    bytes.append(raw, 4);
}

// A 32x32 cursor file of one 32-bit image: header, one directory entry with
// the hot spot, a bitmap header, the colour pixels and the transparency mask.
QByteArray cursorFile(int hotX, int hotY)
{
    const int side = 32;
    QByteArray image;
    put32(image, 40);
    put32(image, side);
    put32(image, side * 2); // colour and mask rows together
    put16(image, 1);
    put16(image, 32);
    put32(image, 0);
    put32(image, side * side * 4 + side * 4);
    for (int i = 0; i < 4; ++i)
        put32(image, 0);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x)
            put32(image, x == y ? 0xff000000u : 0xffffffffu);
    }
    image.append(side * 4, '\0');

    QByteArray file;
    put16(file, 0);
    put16(file, 2);
    put16(file, 1);
    file.append(char(side));
    file.append(char(side));
    file.append('\0');
    file.append('\0');
    put16(file, quint16(hotX));
    put16(file, quint16(hotY));
    put32(file, quint32(image.size()));
    put32(file, 22);
    return file + image;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

} // namespace

class TestPointerSetting : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QWidget> m_window;
    QLineEdit* m_text = nullptr;
    QPushButton* m_button = nullptr;

private slots:
    void init()
    {
        m_window = std::make_unique<QWidget>();
        m_text = new QLineEdit(m_window.get());
        m_button = new QPushButton(QStringLiteral("Help"), m_window.get());
    }
    void cleanup() { m_window.reset(); }

    void valuesShowTheirPointers_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("shape");
        QTest::newRow("arrow") << 1 << int(Qt::ArrowCursor);
        QTest::newRow("busy") << 11 << int(Qt::WaitCursor);
        QTest::newRow("custom without image") << 99 << int(Qt::PointingHandCursor);
        QTest::newRow("cross") << 2 << int(Qt::CrossCursor);
        QTest::newRow("arrow and hourglass") << 13 << int(Qt::BusyCursor);
    }
    void valuesShowTheirPointers()
    {
        QFETCH(int, value);
        QFETCH(int, shape);
        QtPointerSetting pointer(*m_window);
        pointer.setValue(qint16(value));
        QCOMPARE(pointer.value(), qint16(value));
        // Over the window and over every control, the text box's own I-beam included.
        QCOMPARE(int(m_window->cursor().shape()), shape);
        QCOMPARE(int(m_text->cursor().shape()), shape);
        QCOMPARE(int(m_button->cursor().shape()), shape);
    }

    void theDefaultGivesEachControlItsOwnPointer()
    {
        QtPointerSetting pointer(*m_window);
        pointer.setValue(11);
        pointer.setValue(0);
        QCOMPARE(pointer.value(), qint16(0));
        QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(m_text->cursor().shape(), Qt::IBeamCursor);
        QCOMPARE(m_button->cursor().shape(), Qt::ArrowCursor);
    }

    void valuesNamingNoPointerFail_data()
    {
        QTest::addColumn<int>("value");
        QTest::newRow("-1") << -1;
        QTest::newRow("16") << 16;
        QTest::newRow("98") << 98;
        QTest::newRow("100") << 100;
    }
    void valuesNamingNoPointerFail()
    {
        QFETCH(int, value);
        QtPointerSetting pointer(*m_window);
        pointer.setValue(11);
        try {
            pointer.setValue(qint16(value));
            QFAIL("no failure");
        } catch (const Failure& failure) {
            QCOMPARE(failure.description(), QStringLiteral("Invalid property value"));
        }
        QCOMPARE(pointer.value(), qint16(11));
        QCOMPARE(m_window->cursor().shape(), Qt::WaitCursor);
    }

    void hotSpotIsReadFromTheDirectoryEntry_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QPoint>("spot");
        QTest::newRow("small") << cursorFile(5, 7) << QPoint(5, 7);
        QTest::newRow("little-endian")
            << QByteArray::fromHex("000002000100202000003412020000000000") << QPoint(0x1234, 2);
        QTest::newRow("too short")
            << QByteArray::fromHex("00000200010020200000341202") << QPoint(0, 0);
    }
    void hotSpotIsReadFromTheDirectoryEntry()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QPoint, spot);
        QCOMPARE(CursorFile::hotSpot(bytes), spot);
    }

    void aCursorFileBecomesTheCustomPointer()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = writeFile(dir, QStringLiteral("HAND-M.CUR"), cursorFile(9, 3));
        QVERIFY(!path.isEmpty());

        QtPointerSetting pointer(*m_window);
        QtWindowSurface surface(*m_window, pointer);
        pointer.setValue(99);
        QCOMPARE(m_window->cursor().shape(), Qt::PointingHandCursor);
        surface.setCustomPointerImage(path);
        QVERIFY(pointer.hasCustomCursor());
        // Already selected: the image shows at once.
        QCOMPARE(m_window->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(m_window->cursor().hotSpot(), QPoint(9, 3));
        QCOMPARE(m_window->cursor().pixmap().size(), QSize(32, 32));
        QCOMPARE(m_text->cursor().shape(), Qt::BitmapCursor);

        pointer.setValue(0);
        QCOMPARE(m_text->cursor().shape(), Qt::IBeamCursor);
        pointer.setValue(99);
        QCOMPARE(m_button->cursor().hotSpot(), QPoint(9, 3));
    }

    void fileThatIsNoPictureFails_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("exists");
        QTest::newRow("text") << QByteArray("this is no cursor") << true;
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("truncated") << cursorFile(1, 1).left(60) << true;
        QTest::newRow("missing") << QByteArray() << false;
    }
    void fileThatIsNoPictureFails()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, exists);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = exists ? writeFile(dir, QStringLiteral("bad.cur"), bytes)
                                    : dir.filePath(QStringLiteral("absent.cur"));
        QVERIFY(!path.isEmpty());
        QtPointerSetting pointer(*m_window);
        QtWindowSurface surface(*m_window, pointer);
        try {
            surface.setCustomPointerImage(path);
            QFAIL("no failure");
        } catch (const Failure& failure) {
            QCOMPARE(failure.description(), QStringLiteral("Invalid picture"));
        }
        QVERIFY(!pointer.hasCustomCursor());
    }

    void surfaceSetsCaptionAndIcon()
    {
        QtPointerSetting pointer(*m_window);
        QtWindowSurface surface(*m_window, pointer);
        surface.setCaption(QStringLiteral("Vantorel Software"));
        surface.setProgramIcon();
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Vantorel Software"));
        QVERIFY(!m_window->windowIcon().isNull());
        QCOMPARE(m_window->windowIcon().pixmap(32, 32).size(), QSize(32, 32));
    }
};

QTEST_MAIN(TestPointerSetting)
#include "tst_PointerSetting.moc"
