// SPDX-License-Identifier: MIT
#include "platform/Failure.h"
#include "platform/qt/skin/QtSkinnableWindow.h"
#include "platform/qt/skin/SkinFramework1.h"
#include "presentation/ApplySkin.h"
#include "support/FakeMainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

const QString kOurSkin = QStringLiteral(OSTLEBRY_SOURCE_DIR "/resources/skin/o.cjs");

QString failureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const Failure& failure) {
        return failure.description();
    }
    return QStringLiteral("(no failure)");
}

/// A window with one control of each kind, built as the main window builds
/// its own: named controls, frames holding theirs.
struct SmallWindow {
    QWidget window;
    QTreeWidget* list = new QTreeWidget(&window);
    QPushButton* button = new QPushButton(QStringLiteral("Start Finding"), &window);
    QGroupBox* textFrame = new QGroupBox(QStringLiteral("Search For These Character(s)"), &window);
    QLineEdit* text = new QLineEdit(textFrame);
    QGroupBox* optionFrame = new QGroupBox(QStringLiteral("Option"), &window);
    QRadioButton* option = new QRadioButton(QStringLiteral("Display full path"), optionFrame);
    QCheckBox* check = new QCheckBox(QStringLiteral("Match Case"), &window);

    SmallWindow()
    {
        window.setObjectName("Form1");
        list->setObjectName("ListView1");
        button->setObjectName("PushButton1");
        textFrame->setObjectName("Frame3");
        text->setObjectName("Text1");
        optionFrame->setObjectName("Frame1");
        option->setObjectName("Option1");
        check->setObjectName("Check4");
    }
};

} // namespace

class TestSkinFramework : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        qApp->setStyleSheet(QString());
        QCOMPARE(QApplication::topLevelWidgets().size(), 0);
    }

    void loadsOurSkin()
    {
        SkinFramework1 skin;
        skin.invoke(SkinFramework1::LoadSkin, { kOurSkin, QString() });
        QFile file(kOurSkin);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(skin.skin().text(), QString::fromUtf8(file.readAll()));
        QCOMPARE(skin.skin().faceColour(QStringLiteral("Form1")), QColor(0xee, 0xf1, 0xf5));
        QCOMPARE(
            skin.skin().rules().first().selector, QStringLiteral("#Form1, QDialog, QMessageBox"));
    }

    void unloadableSkins_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty") << QByteArray() << "it holds no rules";
        QTest::newRow("only a comment") << QByteArray("/* nothing */\n") << "it holds no rules";
        QTest::newRow("open comment") << QByteArray("QWidget { color: red; }\n/* open\n")
                                      << "a comment opened on line 2 is never closed";
        QTest::newRow("open rule")
            << QByteArray("QWidget {\n color: red;\n") << "the rule on line 1 is never closed";
        QTest::newRow("nested rule") << QByteArray("QWidget { QLabel { color: red; } }")
                                     << "the rule on line 1 is never closed";
        QTest::newRow("no selector")
            << QByteArray("\n{ color: red; }") << "line 2 has a rule without a proper selector";
        QTest::newRow("stray text")
            << QByteArray("QWidget { color: red; }\nhello") << "line 2 has text outside any rule";
        QTest::newRow("no colon")
            << QByteArray("QWidget {\n color red;\n}")
            << "the rule on line 1 has a declaration that is not \"name: value\"";
        QTest::newRow("no value")
            << QByteArray("QWidget { color: ; }")
            << "the rule on line 1 has a declaration that is not \"name: value\"";
    }
    void unloadableSkins()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("o.cjs");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        SkinFramework1 skin;
        QCOMPARE(failureOf([&] {
            skin.invoke(SkinFramework1::LoadSkin, { path, QString() });
        }),
            QStringLiteral("Cannot load the skin \"%1\": %2")
                .arg(QDir::toNativeSeparators(path), reason));
    }

    void aMissingSkinNamesTheFileAndTheReason()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("x/o.cjs");
        SkinFramework1 skin;
        QCOMPARE(failureOf([&] {
            skin.invoke(SkinFramework1::LoadSkin, { path, QString() });
        }),
            QStringLiteral("Cannot load the skin \"%1\": No such file or directory")
                .arg(QDir::toNativeSeparators(path)));
    }

    void dispatchFailures()
    {
        SkinFramework1 skin;
        SmallWindow w;
        const QVariant handle = QtSkinnableWindow(w.window).handle();
        QCOMPARE(failureOf([&] { skin.invoke(4, {}); }), QStringLiteral("Member not found"));
        QCOMPARE(failureOf([&] { skin.getProperty(7); }), QStringLiteral("Member not found"));
        QCOMPARE(failureOf([&] { skin.putProperty(2, 1); }), QStringLiteral("Member not found"));
        QCOMPARE(failureOf([&] { skin.invoke(SkinFramework1::LoadSkin, { kOurSkin }); }),
            QStringLiteral("Invalid number of parameters"));
        QCOMPARE(failureOf([&] { skin.putProperty(SkinFramework1::Options, QStringLiteral("x")); }),
            QStringLiteral("Type mismatch"));
        QCOMPARE(failureOf([&] { skin.invoke(SkinFramework1::ApplyWindow, { handle }); }),
            QStringLiteral("No skin is loaded"));
        skin.invoke(SkinFramework1::LoadSkin, { kOurSkin, QString() });
        QCOMPARE(failureOf([&] {
            skin.invoke(SkinFramework1::ApplyWindow, { QStringLiteral("window") });
        }),
            QStringLiteral("Invalid window handle"));
        QCOMPARE(w.window.styleSheet(), QString());
    }

    void propertiesKeepTheirValues()
    {
        SkinFramework1 skin;
        QCOMPARE(skin.getProperty(SkinFramework1::Options), QVariant(qint32(0)));
        skin.putProperty(SkinFramework1::Options, qint32(5));
        skin.putProperty(SkinFramework1::SkinDialogs, true);
        QCOMPARE(skin.getProperty(SkinFramework1::Options), QVariant(qint32(5)));
        QCOMPARE(skin.getProperty(SkinFramework1::SkinDialogs), QVariant(true));
        QCOMPARE(skin.getProperty(SkinFramework1::HoverStates), QVariant(false));
    }

    void theWindowsControlsInTheirOrder()
    {
        SmallWindow w;
        QtSkinnableWindow window(w.window);
        using Kind = SkinnableControl::Kind;
        QList<Kind> kinds;
        for (int i = 0; i < window.controlCount(); ++i)
            kinds.append(window.control(i).kind());
        // The list's header and viewport are parts of the list, not controls.
        QCOMPARE(kinds,
            (QList<Kind> { Kind::List, Kind::CommandButton, Kind::Frame, Kind::TextBox, Kind::Frame,
                Kind::OptionButton, Kind::CheckBox }));
    }

    void applySkinWithTheRealComponent()
    {
        QTemporaryDir program;
        QVERIFY(QDir(program.path()).mkpath("x"));
        QVERIFY(QFile::copy(kOurSkin, program.filePath("x/o.cjs")));
        FakeProgramFolder folder(program.path());
        FakeFileSystem files;
        files.existing.insert(program.filePath("x/o.cjs"));
        SmallWindow w;
        QtSkinnableWindow window(w.window);
        SkinFramework1 skin;

        ApplySkin(folder, files, window, skin)();

        QCOMPARE(skin.getProperty(SkinFramework1::Options), QVariant(qint32(1)));
        // Dialogs are skinned too: the sheet is the application's.
        QCOMPARE(qApp->styleSheet(), skin.skin().text());
        for (QWidget* followsFace : { static_cast<QWidget*>(&w.window),
                 static_cast<QWidget*>(w.textFrame), static_cast<QWidget*>(w.optionFrame),
                 static_cast<QWidget*>(w.option), static_cast<QWidget*>(w.check) }) {
            QCOMPARE(followsFace->property("backColor"), QVariant(quint32(0x8000000F)));
            QCOMPARE(followsFace->backgroundRole(), QPalette::Button);
            QVERIFY(followsFace->autoFillBackground());
            QCOMPARE(followsFace->palette().color(QPalette::Button), QColor(0xee, 0xf1, 0xf5));
        }
        for (QWidget* keeps : { static_cast<QWidget*>(w.list), static_cast<QWidget*>(w.text),
                 static_cast<QWidget*>(w.button) })
            QCOMPARE(keeps->property("backColor"), QVariant());
        // The lists draw their rows on their own viewport's base colour.
        QCOMPARE(w.list->viewport()->backgroundRole(), QPalette::Base);
        QVERIFY(!w.list->autoFillBackground());
        QVERIFY(w.button->testAttribute(Qt::WA_Hover));
        QVERIFY(w.list->header()->testAttribute(Qt::WA_Hover));
    }

    void aFixedColourIsTheFormSystemsBgr()
    {
        SmallWindow w;
        QtSkinnableWindow window(w.window);
        window.setBackColor(0x00336699); // blue 0x33, green 0x66, red 0x99
        QCOMPARE(w.window.backgroundRole(), QPalette::Window);
        QCOMPARE(w.window.palette().color(QPalette::Window), QColor(0x99, 0x66, 0x33));
        QCOMPARE(failureOf([&] { window.setBackColor(0x80000063); }),
            QStringLiteral("Invalid property value"));
        QCOMPARE(failureOf([&] { window.setBackColor(0x01000000); }),
            QStringLiteral("Invalid property value"));
    }
};

QTEST_MAIN(TestSkinFramework)
#include "tst_SkinFramework.moc"
