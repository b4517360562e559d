// SPDX-License-Identifier: MIT
#include "presentation/ApplySkin.h"

#include "platform/Failure.h"

namespace vantorel
{

ApplySkin::ApplySkin(const ProgramFolder& programFolder, FileSystem& files, SkinnableWindow& window,
    SkinComponent& skin)
    : m_programFolder(programFolder)
    , m_files(files)
    , m_window(window)
    , m_skin(skin)
{
}

QString ApplySkin::skinPath() const
{
    const QString separator = m_programFolder.separator();
    return m_programFolder.path() + separator + QStringLiteral("x") + separator
        + QStringLiteral("o.cjs");
}

bool ApplySkin::takesSkinBackground(SkinnableControl::Kind kind)
{
    using Kind = SkinnableControl::Kind;
    return kind == Kind::OptionButton || kind == Kind::CheckBox || kind == Kind::Frame
        || kind == Kind::Label;
}

void ApplySkin::operator()()
{
    // Only a normal file counts: a hidden skin file leaves the window as designed.
    if (!m_files.isNormalFile(skinPath()))
        return;

    m_window.setBackColor(backcolor::kButtonFace);
    const int controls = m_window.controlCount();
    for (int i = 0; i < controls; ++i) {
        SkinnableControl& control = m_window.control(i);
        if (takesSkinBackground(control.kind()))
            control.setBackColor(backcolor::kButtonFace);
    }

    const QString path = skinPath();
    m_skin.invoke(LoadSkin, { path, QString() });
    bool isNumber = false;
    const qint32 options = m_skin.getProperty(ApplyOptions).toInt(&isNumber);
    if (!isNumber)
        throw Failure(Failure::tr("Type mismatch"));
    m_skin.putProperty(ApplyOptions, options | kSkinColoursOption);
    m_skin.putProperty(SkinDialogs, true);
    m_skin.putProperty(HoverStates, true);
    m_skin.invoke(ApplyWindow, { m_window.handle() });
}

} // namespace vantorel
