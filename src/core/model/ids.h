#pragma once

namespace tb {

// Folder ids with a fixed meaning; the negative ones are tree items, never rows.
constexpr int kNoFolder = 0;
constexpr int kRootFolder = 1;
constexpr int kNothingSelected = -1;
constexpr int kNewsfeedsFolder = -6;
constexpr int kRecentlyVisitedFolder = -7;
constexpr int kMostVisitedFolder = -8;
constexpr int kBrokenLinksFolder = -9;
constexpr int kSearchResultsFolder = -10;

}  // namespace tb
