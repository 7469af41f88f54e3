#include "app/command_table.h"

#include <QCoreApplication>

#include "app/commands.h"
#include "app/message_box.h"
#include "platform/messages.h"

namespace tb::app {

namespace {

MenuEntry item(int id, const char* text, const char* shortcut = nullptr, bool checkable = false) {
    return {.id = id, .text = text, .shortcut = shortcut, .checkable = checkable};
}
// The same English text, translated with its own mnemonic.
MenuEntry item(int id, const char* const (&text)[2]) {
    return {.id = id, .text = text[0], .disambiguation = text[1]};
}
MenuEntry separator() {
    return {};
}
MenuEntry submenu(const char* text, std::vector<MenuEntry> children,
                  MenuEntry::Dynamic dynamic = MenuEntry::kNone) {
    return {.text = text, .children = std::move(children), .dynamic = dynamic};
}

// Framework prompts for the commands whose texts are not in the program's string table.
QString framework_prompt(int command) {
    switch (command) {
        case kCmdUndo:
            return QCoreApplication::translate("Menu", "Undo the last action.\nUndo");
        case kCmdAbout:
            return QCoreApplication::translate(
                "Menu", "Display program information, version number and copyright.\nAbout");
        case kCmdExit:
            return QCoreApplication::translate("Menu", "Quit the application.\nExit");
        case kCmdViewLargeIcons:
            return QCoreApplication::translate("Menu",
                                               "Display items by using large icons.\nLarge Icons");
        case kCmdViewSmallIcons:
            return QCoreApplication::translate("Menu",
                                               "Display items by using small icons.\nSmall Icons");
        case kCmdViewList:
            return QCoreApplication::translate("Menu", "Display items in a list.\nList");
        case kCmdViewDetails:
            return QCoreApplication::translate(
                "Menu", "Display detailed information about each item in the window.\nDetails");
        default:
            return {};
    }
}

QString full_prompt(int command) {
    QString framework = framework_prompt(command);
    if (!framework.isEmpty()) {
        return framework;
    }
    return english_string(command) != nullptr ? message_text(Message::of(command)) : QString();
}

}  // namespace

const std::vector<TopMenu>& main_menu() {
    static const std::vector<TopMenu> menu = {
        {QT_TRANSLATE_NOOP("Menu", "&File"),
         {item(kCmdImport, QT_TRANSLATE_NOOP("Menu", "&Import..."), "Ctrl+I"),
          item(kCmdExport, QT_TRANSLATE_NOOP("Menu", "&Export as HTML...")), separator(),
          item(kCmdExit, QT_TRANSLATE_NOOP("Menu", "E&xit"), "Ctrl+Q")}},
        {QT_TRANSLATE_NOOP("Menu", "&Data"),
         {item(kCmdUndo, QT_TRANSLATE_NOOP("Menu", "&Undo"), "Ctrl+Z"),
          item(kCmdClearUndo, QT_TRANSLATE_NOOP("Menu", "&Clear Undo History")),
          item(kCmdRestoreBackup, QT_TRANSLATE_NOOP("Menu", "Restore from &Backup...")),
          separator(),
          item(kCmdResetAllUsage, QT_TRANSLATE_NOOP("Menu", "&Reset Usage Information for All")),
          item(kCmdMostVisitedPrefs,
               QT_TRANSLATE_NOOP("Menu", "A&djust Most Visited Preferences...")),
          item(kCmdRecentPrefs,
               QT_TRANSLATE_NOOP("Menu", "&Adjust Recently Opened Preferences...")),
          separator(), item(kCmdCheckLinks, QT_TRANSLATE_NOOP("Menu", "Check &Links...")),
          item(kCmdCancelLinkCheck, QT_TRANSLATE_NOOP("Menu", "Cancel Link Chec&k")), separator(),
          item(kCmdFind, QT_TRANSLATE_NOOP("Menu", "&Find"), "Ctrl+F"),
          submenu(QT_TRANSLATE_NOOP("Menu", "&Recent Queries"),
                  {item(kCmdDeleteQueries, QT_TRANSLATE_NOOP("Menu", "&Delete Recent Queries"))},
                  MenuEntry::kRecentQueries)}},
        {QT_TRANSLATE_NOOP("Menu", "&View"),
         {item(kCmdDropWindow, QT_TRANSLATE_NOOP("Menu", "&Drop Window"), nullptr, true),
          item(kCmdPropertiesBar, QT_TRANSLATE_NOOP("Menu", "&Item Properties Bar"), nullptr, true),
          separator(),
          submenu(QT_TRANSLATE_NOOP("Menu", "&Language"),
                  {item(kCmdEnglish, QT_TRANSLATE_NOOP("Menu", "&English"), nullptr, true),
                   item(kCmdRussian, QT_TRANSLATE_NOOP("Menu", "&Russian"), nullptr, true)}),
          separator(),
          item(kCmdMinimiseToTray, QT_TRANSLATE_NOOP("Menu", "&Minimise to Tray"), nullptr, true)}},
        {QT_TRANSLATE_NOOP("Menu", "&Newsfeeds"),
         {item(kCmdNewFeed, QT_TRANSLATE_NOOP("Menu", "&New...")),
          item(kCmdUpdateAllFeeds, QT_TRANSLATE_NOOP("Menu", "&Update All")),
          item(kCmdFeedsEditor, QT_TRANSLATE_NOOP("Menu", "&Editor...")), separator(),
          item(kCmdImportFeeds, QT_TRANSLATE_NOOP("Menu", "&Import Subscriptions...")),
          item(kCmdExportFeeds, QT_TRANSLATE_NOOP("Menu", "E&xport Subscriptions...")), separator(),
          submenu(QT_TRANSLATE_NOOP("Menu", "&Selected Newsfeed"),
                  {item(kCmdUpdateFeed, QT_TRANSLATE_NOOP("Menu", "&Update")),
                   item(kCmdDeleteFeed, QT_TRANSLATE_NOOP("Menu", "&Delete")),
                   item(kCmdCopyFeedLocation,
                        QT_TRANSLATE_NOOP("Menu", "&Copy Location to Clipboard"))}),
          submenu(QT_TRANSLATE_NOOP("Menu", "Selected &Item"),
                  {item(kCmdStoreItem, QT_TRANSLATE_NOOP("Menu", "&Store")),
                   item(kCmdCopyItemAddress,
                        QT_TRANSLATE_NOOP("Menu", "&Copy Address to Clipboard"))})}},
        {QT_TRANSLATE_NOOP("Menu", "&Folder"),
         {item(kCmdNewFolder, QT_TRANSLATE_NOOP("Menu", "&New..."), "Ctrl+N"),
          item(kCmdDeleteFolder, QT_TRANSLATE_NOOP("Menu", "&Delete"), "Del"), separator(),
          item(kCmdMoveFolder, QT_TRANSLATE_NOOP("Menu", "&Move...")),
          item(kCmdExportBranch, QT_TRANSLATE_NOOP("Menu", "E&xport Branch as HTML...")),
          separator(),
          item(kCmdResetFolderUsage, QT_TRANSLATE_NOOP("Menu", "&Reset Usage Information")),
          item(kCmdFolderProperties, QT_TRANSLATE_NOOP("Menu", "&Properties..."))}},
        {QT_TRANSLATE_NOOP("Menu", "&Link"),
         {item(kCmdOpenLink, QT_TRANSLATE_NOOP("Menu", "&Open in Default Browser"), "Enter"),
          submenu(QT_TRANSLATE_NOOP("Menu", "Open &With..."), {}, MenuEntry::kOpenWith),
          item(kCmdCopyAddress, QT_TRANSLATE_NOOP("Menu", "&Copy Address to Clipboard")),
          separator(), item(kCmdNewLink, QT_TRANSLATE_NOOP("Menu", "&New..."), "Ins"),
          item(kCmdDeleteLinks, QT_TRANSLATE_NOOP("Menu", "&Delete"), "Del"),
          item(kCmdMoveLinks, QT_TRANSLATE_NOOP3("Menu", "&Move...", "link")), separator(),
          item(kCmdResetLinkUsage, QT_TRANSLATE_NOOP("Menu", "&Reset Usage Information")),
          item(kCmdShowDuplicates, QT_TRANSLATE_NOOP("Menu", "&Show Duplicates...")), separator(),
          item(kCmdUseNewAddress, QT_TRANSLATE_NOOP("Menu", "Use the New &Address")),
          item(kCmdOpenArchivedCopy, QT_TRANSLATE_NOOP("Menu", "Open Arc&hived Copy")), separator(),
          item(kCmdOpenContainingFolder, QT_TRANSLATE_NOOP("Menu", "&Open Containing Folder")),
          separator(), item(kCmdLinkProperties, QT_TRANSLATE_NOOP("Menu", "&Properties..."))}},
        {QT_TRANSLATE_NOOP("Menu", "&Help"),
         {item(kCmdHelp, QT_TRANSLATE_NOOP("Menu", "&Show Help Information"), "F1"), separator(),
          item(kCmdAbout, QT_TRANSLATE_NOOP("Menu", "&About Tagberry..."))}},
    };
    return menu;
}

const std::vector<MenuEntry>& tray_menu() {
    static const std::vector<MenuEntry> menu = {
        item(kCmdOpenHide, QT_TRANSLATE_NOOP("Menu", "&Open/Hide Tagberry")),
        item(kCmdDropWindow, QT_TRANSLATE_NOOP("Menu", "&Show Drop Window"), nullptr, true),
        separator(),
        item(kCmdNewLink, QT_TRANSLATE_NOOP("Menu", "&New Link...")),
        item(kCmdAbout, QT_TRANSLATE_NOOP("Menu", "&About Tagberry...")),
        separator(),
        item(kCmdExit, QT_TRANSLATE_NOOP("Menu", "E&xit")),
    };
    return menu;
}

namespace {

// In menu order, each entry before its submenu's items.
void for_each_entry(const std::vector<MenuEntry>& entries,
                    const std::function<void(const MenuEntry&)>& visit) {
    for (const MenuEntry& entry : entries) {
        visit(entry);
        for_each_entry(entry.children, visit);
    }
}

}  // namespace

void for_each_main_menu_entry(const std::function<void(const MenuEntry&)>& visit) {
    for (const TopMenu& top : main_menu()) {
        for_each_entry(top.entries, visit);
    }
}

void for_each_menu_entry(const std::function<void(const MenuEntry&)>& visit) {
    for_each_main_menu_entry(visit);
    for_each_entry(tray_menu(), visit);
}

const std::vector<int>& toolbar_commands() {
    static const std::vector<int> commands = {kCmdNewFolder,
                                              kCmdNewLink,
                                              kCmdImport,
                                              0,
                                              kCmdUndo,
                                              kCmdFind,
                                              0,
                                              kCmdViewLargeIcons,
                                              kCmdViewSmallIcons,
                                              kCmdViewList,
                                              kCmdViewDetails,
                                              0,
                                              kCmdAbout};
    return commands;
}

QString status_prompt(int command) {
    return full_prompt(command).section(QLatin1Char('\n'), 0, 0);
}

QString tooltip(int command) {
    QString prompt = full_prompt(command);
    return prompt.contains(QLatin1Char('\n')) ? prompt.section(QLatin1Char('\n'), 1) : QString();
}

QString entry_text(const MenuEntry& entry) {
    return QCoreApplication::translate("Menu", entry.text, entry.disambiguation);
}

}  // namespace tb::app
