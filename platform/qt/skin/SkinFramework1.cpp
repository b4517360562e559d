// SPDX-License-Identifier: MIT
#include "platform/qt/skin/SkinFramework1.h"

#include "platform/Failure.h"

#include <QApplication>
#include <QDir>
#include <QFile>

namespace vantorel
{

namespace
{

    void requireArguments(const QVariantList& arguments, int count)
    {
        if (arguments.size() != count)
            throw Failure(Failure::tr("Invalid number of parameters"));
    }

    [[noreturn]] void memberNotFound()
    {
        throw Failure(Failure::tr("Member not found"));
    }

} // namespace

SkinFramework1::~SkinFramework1()
{
    if (m_ownsApplicationSheet && qApp) {
        qApp->setStyleSheet(QString());
        QApplication::setPalette(m_desktopPalette);
    }
}

QVariant SkinFramework1::invoke(int dispid, const QVariantList& arguments)
{
    switch (dispid) {
    case LoadSkin:
        requireArguments(arguments, 2);
        loadSkin(arguments.at(0).toString());
        return {};
    case ApplyWindow:
        requireArguments(arguments, 1);
        applyTo(arguments.at(0));
        return {};
    default:
        memberNotFound();
    }
}

QVariant SkinFramework1::getProperty(int dispid)
{
    switch (dispid) {
    case Options:
        return m_options;
    case SkinDialogs:
        return m_skinDialogs;
    case HoverStates:
        return m_hoverStates;
    default:
        memberNotFound();
    }
}

void SkinFramework1::putProperty(int dispid, const QVariant& value)
{
    switch (dispid) {
    case Options: {
        bool isNumber = false;
        const qint32 options = value.toInt(&isNumber);
        if (!isNumber)
            throw Failure(Failure::tr("Type mismatch"));
        m_options = options;
        return;
    }
    case SkinDialogs:
        m_skinDialogs = value.toBool();
        return;
    case HoverStates:
        m_hoverStates = value.toBool();
        return;
    default:
        memberNotFound();
    }
}

void SkinFramework1::loadSkin(const QString& path)
{
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        throw Failure(
            Failure::tr("Cannot load the skin \"%1\": %2").arg(shown, file.errorString()));
    }
    QString error;
    SkinSheet skin;
    if (!skin.parse(QString::fromUtf8(file.readAll()), error))
        throw Failure(Failure::tr("Cannot load the skin \"%1\": %2").arg(shown, error));
    m_skin = skin;
    m_loaded = true;
}

void SkinFramework1::applyTo(const QVariant& handle)
{
    if (!m_loaded)
        throw Failure(Failure::tr("No skin is loaded"));
    bool isNumber = false;
    const qulonglong id = handle.toULongLong(&isNumber);
    QWidget* window = isNumber ? QWidget::find(WId(id)) : nullptr;
    if (window == nullptr || !window->isWindow())
        throw Failure(Failure::tr("Invalid window handle"));

    if (m_options & FaceColourOption) {
        const QColor face = m_skin.faceColour(window->objectName());
        if (face.isValid()) {
            QPalette palette = window->palette();
            palette.setColor(QPalette::Button, face);
            palette.setColor(QPalette::Window, face);
            window->setPalette(palette);
        }
    }
    if (m_hoverStates) {
        for (QWidget* control : window->findChildren<QWidget*>())
            control->setAttribute(Qt::WA_Hover);
    }
    if (m_skinDialogs) {
        // The sheet's text colour reaches every window; its backgrounds do
        // not reach what the desktop's style draws (menus, combo boxes), so
        // the palette carries the skin's colours for those.
        QPalette colours;
        m_desktopPalette = QApplication::palette();
        if (m_skin.colourSet(window->objectName(), colours))
            QApplication::setPalette(colours);
        qApp->setStyleSheet(m_skin.text());
        m_ownsApplicationSheet = true;
    } else {
        window->setStyleSheet(m_skin.text());
    }
}

} // namespace vantorel
