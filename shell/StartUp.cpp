// SPDX-License-Identifier: MIT
#include "shell/StartUp.h"

#include "platform/Failure.h"
#include "shell/common/GuardedProcedure.h"
#include "shell/common/ProductInfo.h"
#include "shell/common/SettingsStore.h"
#include "shell/common/WindowText.h"

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
            throw Failure(Failure::tr("Invalid procedure call or argument"));
        title.truncate(blank);
    } while (title.size() > 40);
    return title;
}

qint16 toInteger16(const QString& text)
{
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number))
        throw Failure(Failure::tr("Type mismatch"));
    const double rounded = std::nearbyint(number); // the default rounding is half to even
    if (rounded < std::numeric_limits<qint16>::min()
        || rounded > std::numeric_limits<qint16>::max())
        throw Failure(Failure::tr("Overflow"));
    return static_cast<qint16>(rounded);
}

StartUp::StartUp(
    const Controls& controls, const Services& services, std::function<void()> applySkin)
    : m_window(controls.window)
    , m_locations(controls.locations)
    , m_results(controls.results)
    , m_matchCase(controls.matchCase)
    , m_phrase(controls.phrase)
    , m_boxes(services.boxes)
    , m_settings(services.settings)
    , m_files(services.files)
    , m_programFolder(services.programFolder)
    , m_random(services.random)
    , m_launcher(services.launcher)
    , m_applySkin(std::move(applySkin))
{
}

QString StartUp::pointerImagePath() const
{
    return m_programFolder.path() + m_programFolder.separator() + QStringLiteral("HAND-M.CUR");
}

void StartUp::Form_Load()
{
    GuardedProcedure guard(m_boxes, QStringLiteral("Form_Load"));
    SettingsStore settings(m_settings);
    guard.run(100, [&] {
        if (m_applySkin)
            m_applySkin();
    });
    guard.run(104, [&] { m_window.setCaption(QLatin1String(product::kProductName)); });
    guard.run(104, [&] { m_window.setProgramIcon(); });
    guard.run(104, [&] { SetAppTitle(QLatin1String(product::kProductName)); });
    if (guard.test(106, [&] { return m_files.fileExists(pointerImagePath()); }))
        guard.run(108, [&] { m_window.setCustomPointerImage(pointerImagePath()); });
    guard.run(110, [&] { OpenHomePageAtRandom(); });
    guard.run(128, [&] { m_locations.setColumnCaption(WindowText::tr("Folder(s)")); });
    guard.run(130, [&] { m_locations.setColumnWidth(7000); });
    guard.run(132, [&] { m_results.setColumnCaption(WindowText::tr("Results")); });
    guard.run(134, [&] { m_results.setColumnWidth(7000); });
    guard.run(136, [&] {
        m_matchCase.setValue(
            toInteger16(settings.GetSetting(SettingsStore::kCheck4, QStringLiteral("1"))));
    });
    guard.run(
        138, [&] { m_phrase.setText(settings.GetSetting(SettingsStore::kText1, QString())); });
}

void StartUp::SetAppTitle(const QString& productName)
{
    m_boxes.setApplicationTitle(SetAppTitleText(productName));
}

void StartUp::OpenHomePageAtRandom()
{
    OpenHomePageAtRandom(product::homePage());
}

void StartUp::OpenHomePageAtRandom(const QString& homePage)
{
    RandomSource& random = m_random;
    random.seed(random.timeOfDay());
    const int n = static_cast<int>(random.next() * 100) + 1;
    // With no address there is nothing to open: launching anyway would only fail.
    if (n == 7 && !homePage.isEmpty())
        m_launcher.launch(QStringLiteral("explorer \"") + homePage + QLatin1Char('"'), 2);
}

} // namespace vantorel
