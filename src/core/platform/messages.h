#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tb {

// Ids of the string table that the core reports by.
namespace msg {
constexpr int kRestartNeeded = 130;
constexpr int kRecentWithinHours = 131;
constexpr int kMostVisited = 132;
constexpr int kSearchResults = 133;
constexpr int kRecentlyVisited = 134;
constexpr int kNothingToSave = 135;
constexpr int kNoSubfoldersInSpecial = 137;
constexpr int kFolderCannotBeDeleted = 138;
constexpr int kDeleteFolderQuestion = 139;
constexpr int kNoLinksInRoot = 140;
constexpr int kNothingToDelete = 141;
constexpr int kDeleteLinkQuestion = 142;
constexpr int kDeleteLinksQuestion = 143;
constexpr int kLinkTitleAddressEmpty = 144;
constexpr int kLinkUpdated = 145;
constexpr int kNothingFound = 147;
constexpr int kNoDuplicates = 148;
constexpr int kClearUndoQuestion = 149;
constexpr int kCannotOpenBrowser = 151;
constexpr int kAppNamePathEmpty = 152;
constexpr int kMoveFolderToItself = 153;
constexpr int kMoveFolderToDescendant = 154;
constexpr int kCannotDeleteAllEntries = 155;
constexpr int kNoItemsSelected = 156;
constexpr int kDeleteItemsQuestion = 157;
constexpr int kApplicationNameColumn = 158;
constexpr int kPathColumn = 159;
constexpr int kCannotOpenForWriting = 160;
constexpr int kBookmarksSaved = 161;
constexpr int kSearchResultsSaved = 162;
constexpr int kDataSaved = 163;
constexpr int kDuplicateFolderName = 164;
constexpr int kNoDocumentsFolder = 165;
constexpr int kLogCannotOpen = 166;
constexpr int kNoFavouritesFolder = 167;
constexpr int kNoBookmarksPath = 168;
constexpr int kNoLegacyPath = 169;
constexpr int kNoFilePath = 170;
constexpr int kNoFolderPath = 171;
constexpr int kFavouritesAutomatic = 172;
constexpr int kCannotReadDbf = 173;
constexpr int kCannotReadDbd = 174;
constexpr int kCannotReadDbi = 175;
constexpr int kCannotReadHtml = 176;
constexpr int kFolderTitleEmpty = 177;
constexpr int kItemLinkAddressEmpty = 178;
constexpr int kUrlExists = 179;
constexpr int kTitleExistsInFolder = 180;
constexpr int kSqlError = 181;
constexpr int kCannotCreateDataDir = 182;
constexpr int kUndoMoveFolder = 183;
constexpr int kUndo = 191;
constexpr int kEditApplicationList = 192;
constexpr int kCleanList = 193;
constexpr int kDeleteQueriesQuestion = 194;
constexpr int kNoSavedQueries = 195;
constexpr int kNoApplications = 196;
constexpr int kInvalidQuery = 197;
constexpr int kResetAllQuestion = 199;
constexpr int kOpenContainingFolder = 200;
constexpr int kSelectFolder = 201;
constexpr int kNotAvailable = 206;
constexpr int kLinkTitleColumn = 209;
constexpr int kFullFolderNameColumn = 210;
constexpr int kNewsfeedFieldsEmpty = 211;
constexpr int kNewsfeeds = 212;
constexpr int kFeedTitleColumn = 213;
constexpr int kNoBookmarkEntries = 240;
constexpr int kNotARegularFile = 241;
constexpr int kServerAsksToWait = 242;
constexpr int kAppTitle = 57344;
constexpr int kReady = 57345;
}  // namespace msg

// English text of a string-table id, or null when the id is unknown.
const char* english_string(int id);

// Every id of the table, in table order.
std::vector<int> string_table_ids();

// Replaces %1 ... %9 by the arguments (a missing one becomes empty text), and %s and %d by the
// arguments in order (without one left they stay as they are).
std::string fill_arguments(std::string_view text, const std::vector<std::string>& args);

}  // namespace tb
