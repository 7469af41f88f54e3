#pragma once

namespace tb::app {

// Command ids of menus, toolbar buttons, accelerators and context menus.
enum Command : int {
    kCmdNewFolder = 1000,
    kCmdDeleteFolder = 1001,
    kCmdDeleteLinks = 1003,
    kCmdImport = 1016,
    kCmdExport = 1019,
    kCmdUpdateLink = 1044,
    kCmdMoveLinks = 32780,
    kCmdMoveFolder = 32792,
    kCmdOpenContainingFolder = 32795,
    kCmdExportBranch = 32796,
    kCmdFind = 32797,
    kCmdNewLink = 32805,
    kCmdResetLinkUsage = 32808,
    kCmdShowDuplicates = 32809,
    kCmdOpenLink = 32810,
    kCmdEditAppList = 32814,
    kCmdCopyAddress = 32815,
    kCmdClearUndo = 32820,
    kCmdHelp = 32832,
    kCmdResetAllUsage = 32833,
    kCmdEnglish = 32835,
    kCmdRussian = 32836,
    kCmdRecentPrefs = 32837,
    kCmdMostVisitedPrefs = 32838,
    kCmdDeleteQueries = 32840,
    kCmdDropWindow = 32842,
    kCmdOpenHide = 32844,
    kCmdMinimiseToTray = 32845,
    kCmdLinkProperties = 32848,
    kCmdPropertiesBar = 32849,
    kCmdNewFeed = 32850,
    kCmdDeleteFeed = 32851,
    kCmdUpdateAllFeeds = 32852,
    kCmdUpdateFeed = 32854,
    kCmdStoreItem = 32856,
    kCmdFeedsEditor = 32857,
    kCmdCopyFeedLocation = 32858,
    kCmdCopyItemAddress = 32859,
    kCmdFolderProperties = 32860,
    kCmdResetFolderUsage = 32861,
    kCmdRestoreBackup = 32862,
    kCmdOpenWithFirst = 40000,
    kCmdRecentQueryFirst = 41000,
    kCmdUndo = 57643,
    kCmdAbout = 57664,
    kCmdExit = 57665,
    kCmdViewSmallIcons = 59408,
    kCmdViewLargeIcons = 59409,
    kCmdViewList = 59410,
    kCmdViewDetails = 59411,
    kCmdArrangeIcons = 59412,
};

// Display types of the link list, as stored in "List style".
enum ListStyle : int { kLargeIcons = 0, kDetails = 1, kSmallIcons = 2, kListView = 3 };

}  // namespace tb::app
