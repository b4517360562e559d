// SPDX-License-Identifier: MIT
// The product's fixed texts: names, addresses and the settings addressing.
#pragma once

#include <QString>

namespace vantorel::product
{

inline constexpr const char* kProductName = "Vantorel Software";
inline constexpr const char* kProjectName = "Vantorel";
inline constexpr const char* kBuildStamp = "2021/08/31";
inline constexpr const char* kWindowName = "Form1";

inline constexpr const char* kSettingsApplication = "Ostlebry";
inline constexpr const char* kSettingsSection = "Vantorel Software";

// Chosen when the build is configured (the CMake cache variables
// OSTLEBRY_HOME_PAGE, OSTLEBRY_CONTACT_PAGE, OSTLEBRY_SUPPORT_ADDRESS): a build
// from source has no maker's site to point at, so each is empty unless given.
QString homePage();
QString contactPage();
QString supportAddress();
/// The project's version, as CMake knows it.
QString version();

} // namespace vantorel::product
