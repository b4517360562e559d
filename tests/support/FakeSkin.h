// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Failure.h"
#include "platform/SkinComponent.h"
#include "platform/SkinnableWindow.h"

#include <QStringList>
#include <vector>

namespace vantorel::test
{

/// Every colour change and skin call, in the order made, as "who: what".
using SkinLog = QStringList;

inline QString colourText(quint32 colour)
{
    return QStringLiteral("0x") + QString::number(colour, 16).toUpper();
}

class FakeSkinnableControl : public SkinnableControl
{
public:
    FakeSkinnableControl(SkinLog& log, QString name, Kind kind)
        : m_log(&log)
        , m_name(std::move(name))
        , m_kind(kind)
    {
    }
    Kind kind() const override { return m_kind; }
    void setBackColor(quint32 colour) override
    {
        m_log->append(m_name + QStringLiteral(": back colour ") + colourText(colour));
    }

private:
    SkinLog* m_log;
    QString m_name;
    Kind m_kind;
};

/// The main window's controls in their control order, with their kinds.
class FakeSkinnableWindow : public SkinnableWindow
{
public:
    explicit FakeSkinnableWindow(SkinLog& log)
        : m_log(log)
    {
        using Kind = SkinnableControl::Kind;
        const std::pair<const char*, Kind> controls[] = {
            { "ListView1", Kind::List },
            { "PushButton3", Kind::CommandButton },
            { "PushButton7", Kind::CommandButton },
            { "PushButton8", Kind::CommandButton },
            { "Frame3", Kind::Frame },
            { "Text1", Kind::TextBox },
            { "Frame2", Kind::Frame },
            { "Check4", Kind::CheckBox },
            { "Frame1", Kind::Frame },
            { "Option1", Kind::OptionButton },
            { "Option2", Kind::OptionButton },
            { "PushButton1", Kind::CommandButton },
            { "ListView2", Kind::List },
            { "PushButton2", Kind::CommandButton },
            { "PushButton5", Kind::CommandButton },
            { "CommonDialog1", Kind::Other },
            { "SkinFramework1", Kind::Other },
        };
        for (const auto& [name, kind] : controls)
            m_controls.emplace_back(log, QString::fromLatin1(name), kind);
    }
    void setBackColor(quint32 colour) override
    {
        m_log.append(QStringLiteral("Form1: back colour ") + colourText(colour));
    }
    int controlCount() const override { return int(m_controls.size()); }
    SkinnableControl& control(int index) override { return m_controls.at(std::size_t(index)); }
    QVariant handle() const override { return QVariant::fromValue(qulonglong(0x1F2E)); }

private:
    SkinLog& m_log;
    std::vector<FakeSkinnableControl> m_controls;
};

/// Records the dispatch calls; the call named in `failAt` throws.
class FakeSkinComponent : public SkinComponent
{
public:
    explicit FakeSkinComponent(SkinLog& log)
        : m_log(log)
    {
    }

    QVariant invoke(int dispid, const QVariantList& arguments) override
    {
        QStringList shown;
        for (const QVariant& argument : arguments)
            shown.append(QLatin1Char('"') + argument.toString() + QLatin1Char('"'));
        record(QStringLiteral("invoke %1(%2)").arg(dispid).arg(shown.join(QStringLiteral(", "))));
        return {};
    }
    QVariant getProperty(int dispid) override
    {
        record(QStringLiteral("get %1").arg(dispid));
        return options;
    }
    void putProperty(int dispid, const QVariant& value) override
    {
        record(QStringLiteral("put %1 = %2").arg(dispid).arg(value.toString()));
    }

    QVariant options = qint32(0x30);
    QString failAt;
    QString failure = QStringLiteral("Cannot load the skin");

private:
    void record(const QString& call)
    {
        m_log.append(QStringLiteral("skin: ") + call);
        if (!failAt.isEmpty() && call.startsWith(failAt))
            throw Failure(failure);
    }
    SkinLog& m_log;
};

} // namespace vantorel::test
