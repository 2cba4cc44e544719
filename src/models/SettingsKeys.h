#pragma once

// The settings suite shared by the application and its screens, and the keys
// stored in it.
inline constexpr auto kSettingsSuiteName = "group.org.Vantorel.Plovera";

// True until the user has gone through the welcome page once.
inline constexpr auto kIsFirstTimeKey = "isFirstTime";

// The countries the rank monitor checks, as a list of storefront codes.
inline constexpr auto kAppRankMonitorSelectedCountriesKey = "appRankMonitorSelectedCountries";
