#pragma once

// Who makes Plovera and where to reach them. Every screen and client that
// names the maker, its site or its support address reads it from here.
namespace MakerInfo {
inline constexpr auto kName = "Vantorel";
// The maker's web site: the secure scheme and the host, no path.
inline constexpr auto kWebsite = "https://vantorel.com";
inline constexpr auto kSupportAddress = "support@vantorel.com";
// The product's identifier in the public app catalogue's store.
inline constexpr auto kStoreProductId = "6741938205";
// The host of the store's web pages, where a review of the product is written.
inline constexpr auto kStoreHost = "apps.apple.com";
// Where the maker publishes the list of its apps, under the maker's site.
inline constexpr auto kAppsListPath = "/resources/apps.json";
// Where the maker publishes Plovera's update feed, under the updates base address.
inline constexpr auto kAppcastPath = "/plovera/appcast.xml";
} // namespace MakerInfo
