// SPDX-License-Identifier: MIT
// The product's fixed texts: names, addresses and the settings addressing.
#pragma once

namespace vantorel::product {

inline constexpr const char* kProductName = "Vantorel Software";
inline constexpr const char* kProjectName = "Vantorel";
inline constexpr const char* kBuildStamp = "2021/08/31";
inline constexpr const char* kWindowName = "Form1";

inline constexpr const char* kSupportAddress = "support@vantorel.example";
inline constexpr const char* kHomePage = "https://www.vantorel.example/";
inline constexpr const char* kContactPage = "https://www.vantorel.example/contact";

inline constexpr const char* kSettingsApplication = "Ostlebry";
inline constexpr const char* kSettingsSection = "Vantorel Software";

} // namespace vantorel::product
