#include "app/command_table.h"

#include <QCoreApplication>

#include "app/commands.h"
#include "app/message_box.h"
#include "platform/strings.h"

namespace tb::app {

namespace {

#define TR(text) QT_TRANSLATE_NOOP("Menu", text)

MenuEntry item(int id, const char* text, const char* shortcut = nullptr, bool checkable = false) {
    return {.id = id, .text = text, .shortcut = shortcut, .checkable = checkable};
}
MenuEntry separator() { return {}; }
MenuEntry submenu(const char* text, std::vector<MenuEntry> children,
                  MenuEntry::Dynamic dynamic = MenuEntry::kNone) {
    return {.text = text, .children = std::move(children), .dynamic = dynamic};
}

// Framework prompts for the commands whose texts are not in the program's string table.
QString framework_prompt(int command) {
    switch (command) {
        case kCmdUndo: return QCoreApplication::translate("Menu", "Undo the last action.\nUndo");
        case kCmdAbout:
            return QCoreApplication::translate(
                "Menu", "Display program information, version number and copyright.\nAbout");
        case kCmdExit:
            return QCoreApplication::translate("Menu", "Quit the application.\nExit");
        case kCmdViewLargeIcons:
            return QCoreApplication::translate("Menu", "Display items by using large icons.\nLarge Icons");
        case kCmdViewSmallIcons:
            return QCoreApplication::translate("Menu", "Display items by using small icons.\nSmall Icons");
        case kCmdViewList:
            return QCoreApplication::translate("Menu", "Display items in a list.\nList");
        case kCmdViewDetails:
            return QCoreApplication::translate(
                "Menu", "Display detailed information about each item in the window.\nDetails");
        default: return {};
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
        {TR("&File"),
         {item(kCmdImport, TR("&Import..."), "Ctrl+I"), item(kCmdExport, TR("&Export as HTML...")),
          separator(), item(kCmdExit, TR("E&xit"), "Ctrl+Q")}},
        {TR("&Data"),
         {item(kCmdUndo, TR("&Undo"), "Ctrl+Z"), item(kCmdClearUndo, TR("&Clear Undo History")),
          separator(), item(kCmdResetAllUsage, TR("&Reset Usage Information for All")),
          item(kCmdMostVisitedPrefs, TR("A&djust Most Visited Preferences...")),
          item(kCmdRecentPrefs, TR("&Adjust Recently Opened Preferences...")), separator(),
          item(kCmdFind, TR("&Find"), "Ctrl+F"),
          submenu(TR("&Recent Queries"), {item(kCmdDeleteQueries, TR("&Delete Recent Queries"))},
                  MenuEntry::kRecentQueries)}},
        {TR("&View"),
         {item(kCmdDropWindow, TR("&Drop Window"), nullptr, true),
          item(kCmdPropertiesBar, TR("&Item Properties Bar"), nullptr, true), separator(),
          submenu(TR("&Language"), {item(kCmdEnglish, TR("&English"), nullptr, true),
                                    item(kCmdRussian, TR("&Russian"), nullptr, true)}),
          separator(), item(kCmdMinimiseToTray, TR("&Minimise to Tray"), nullptr, true)}},
        {TR("&Newsfeeds"),
         {item(kCmdNewFeed, TR("&New...")), item(kCmdUpdateAllFeeds, TR("&Update All")),
          item(kCmdFeedsEditor, TR("&Editor...")), separator(),
          submenu(TR("&Selected Newsfeed"),
                  {item(kCmdUpdateFeed, TR("&Update")), item(kCmdDeleteFeed, TR("&Delete")),
                   item(kCmdCopyFeedLocation, TR("&Copy Location to Clipboard"))}),
          submenu(TR("Selected &Item"), {item(kCmdStoreItem, TR("&Store")),
                                         item(kCmdCopyItemAddress, TR("&Copy Address to Clipboard"))})}},
        {TR("&Folder"),
         {item(kCmdNewFolder, TR("&New..."), "Ctrl+N"), item(kCmdDeleteFolder, TR("&Delete"), "Del"),
          separator(), item(kCmdMoveFolder, TR("&Move...")),
          item(kCmdExportBranch, TR("E&xport Branch as HTML...")), separator(),
          item(kCmdResetFolderUsage, TR("&Reset Usage Information")),
          item(kCmdFolderProperties, TR("&Properties..."))}},
        {TR("&Link"),
         {item(kCmdOpenLink, TR("&Open in Default Browser"), "Enter"),
          submenu(TR("Open &With..."), {}, MenuEntry::kOpenWith),
          item(kCmdCopyAddress, TR("&Copy Address to Clipboard")), separator(),
          item(kCmdNewLink, TR("&New..."), "Ins"), item(kCmdDeleteLinks, TR("&Delete"), "Del"),
          item(kCmdMoveLinks, TR("&Move...")), separator(),
          item(kCmdResetLinkUsage, TR("&Reset Usage Information")),
          item(kCmdShowDuplicates, TR("&Show Duplicates...")), separator(),
          item(kCmdOpenContainingFolder, TR("&Open Containing Folder")), separator(),
          item(kCmdLinkProperties, TR("&Properties..."))}},
        {TR("&Help"),
         {item(kCmdHelp, TR("&Show Help Information"), "F1"), separator(),
          item(kCmdAbout, TR("&About Tagberry..."))}},
    };
    return menu;
}

const std::vector<MenuEntry>& tray_menu() {
    static const std::vector<MenuEntry> menu = {
        item(kCmdOpenHide, TR("&Open/Hide Tagberry")),
        item(kCmdDropWindow, TR("&Show Drop Window"), nullptr, true),
        separator(),
        item(kCmdNewLink, TR("&New Link...")),
        item(kCmdAbout, TR("&About Tagberry...")),
        separator(),
        item(kCmdExit, TR("E&xit")),
    };
    return menu;
}

const std::vector<int>& toolbar_commands() {
    static const std::vector<int> commands = {
        kCmdNewFolder, kCmdNewLink,        kCmdImport,         0,
        kCmdUndo,      kCmdFind,           0,                  kCmdViewLargeIcons,
        kCmdViewSmallIcons, kCmdViewList,  kCmdViewDetails,    0,
        kCmdAbout};
    return commands;
}

QString status_prompt(int command) { return full_prompt(command).section(QLatin1Char('\n'), 0, 0); }

QString tooltip(int command) {
    QString prompt = full_prompt(command);
    return prompt.contains(QLatin1Char('\n')) ? prompt.section(QLatin1Char('\n'), 1) : QString();
}

QString command_text(int command) {
    for (const TopMenu& top : main_menu()) {
        std::vector<const MenuEntry*> pending;
        for (const MenuEntry& entry : top.entries) {
            pending.push_back(&entry);
        }
        while (!pending.empty()) {
            const MenuEntry* entry = pending.back();
            pending.pop_back();
            if (entry->id == command && entry->text != nullptr) {
                return QCoreApplication::translate("Menu", entry->text).remove(QLatin1Char('&'));
            }
            for (const MenuEntry& child : entry->children) {
                pending.push_back(&child);
            }
        }
    }
    return {};
}

}  // namespace tb::app
