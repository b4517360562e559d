// SPDX-License-Identifier: MIT
#include "shell/StartUp.h"

#include "platform/Failure.h"
#include "shell/GuardedProcedure.h"
#include "shell/ProductInfo.h"
#include "shell/SettingsStore.h"

#include <cmath>
#include <limits>

namespace vantorel
{

QString SetAppTitleText(const QString& productName)
{
    QString title = productName;
    do {
        const qsizetype blank = title.lastIndexOf(QLatin1Char(' '));
        if (blank < 0)
            throw Failure(QStringLiteral("Invalid procedure call or argument"));
        title.truncate(blank);
    } while (title.size() > 40);
    return title;
}

qint16 toInteger16(const QString& text)
{
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number))
        throw Failure(QStringLiteral("Type mismatch"));
    const double rounded = std::nearbyint(number); // the default rounding is half to even
    if (rounded < std::numeric_limits<qint16>::min()
        || rounded > std::numeric_limits<qint16>::max())
        throw Failure(QStringLiteral("Overflow"));
    return static_cast<qint16>(rounded);
}

StartUp::StartUp(const MainWindowControls& controls, const PlatformServices& services,
    std::function<void()> applySkin)
    : m_controls(controls)
    , m_services(services)
    , m_applySkin(std::move(applySkin))
{
}

QString StartUp::pointerImagePath() const
{
    return m_services.programFolder.path() + m_services.programFolder.separator()
        + QStringLiteral("HAND-M.CUR");
}

void StartUp::Form_Load()
{
    GuardedProcedure guard(m_services.boxes, QStringLiteral("Form_Load"));
    SettingsStore settings(m_services.settings);
    guard.run(100, [&] {
        if (m_applySkin)
            m_applySkin();
    });
    guard.run(104, [&] { m_controls.window.setCaption(QLatin1String(product::kProductName)); });
    guard.run(104, [&] { m_controls.window.setProgramIcon(); });
    guard.run(104, [&] { SetAppTitle(QLatin1String(product::kProductName)); });
    if (guard.test(106, [&] { return m_services.files.fileExists(pointerImagePath()); }))
        guard.run(108, [&] { m_controls.window.setCustomPointerImage(pointerImagePath()); });
    guard.run(110, [&] { OpenHomePageAtRandom(); });
    guard.run(128, [&] { m_controls.ListView1.setColumnCaption(QStringLiteral("Folder(s)")); });
    guard.run(130, [&] { m_controls.ListView1.setColumnWidth(7000); });
    guard.run(132, [&] { m_controls.ListView2.setColumnCaption(QStringLiteral("Results")); });
    guard.run(134, [&] { m_controls.ListView2.setColumnWidth(7000); });
    guard.run(136, [&] {
        m_controls.Check4.setValue(
            toInteger16(settings.GetSetting(SettingsStore::kCheck4, QStringLiteral("1"))));
    });
    guard.run(138,
        [&] { m_controls.Text1.setText(settings.GetSetting(SettingsStore::kText1, QString())); });
}

void StartUp::SetAppTitle(const QString& productName)
{
    m_services.boxes.setApplicationTitle(SetAppTitleText(productName));
}

void StartUp::OpenHomePageAtRandom()
{
    OpenHomePageAtRandom(product::homePage());
}

void StartUp::OpenHomePageAtRandom(const QString& homePage)
{
    RandomSource& random = m_services.random;
    random.seed(random.timeOfDay());
    const int n = static_cast<int>(random.next() * 100) + 1;
    // With no address there is nothing to open: launching anyway would only fail.
    if (n == 7 && !homePage.isEmpty())
        m_services.launcher.launch(QStringLiteral("explorer \"") + homePage + QLatin1Char('"'), 2);
}

} // namespace vantorel
