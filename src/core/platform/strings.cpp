#include "platform/strings.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tb {

namespace {

// The program's English string table, by resource id.
constexpr std::pair<int, const char*> kEnglish[] = {
    {128, "Tagberry 2.0\n\ntagberry\n\n\ntagberry.Document\ntagberry.Document"},
    {130, "Now the program needs to be restarted."},
    {131, "Treat link as recent within, hour(s): %d"},
    {132, "Most Visited"},
    {133, "Search Results"},
    {134, "Recently Visited"},
    {135, "Nothing to save!"},
    {136, "Reset visits counter, if a link is inactive during, months: %d"},
    {137, "You cannot add subfolders to a special folder."},
    {138, "This folder cannot be deleted."},
    {139, "Delete folder '%1'?"},
    {140, "Sorry, you cannot add links to a root folder. Please, select or create another one."},
    {141, "Nothing to delete!"},
    {142, "Delete link '%1'?"},
    {143, "Delete these %1 links?"},
    {144, "Link title and address could not be empty."},
    {145, "Link updated."},
    {147, "Nothing found for '%1'!"},
    {148, "This link has no duplicates."},
    {149, "Actions deleted from the undo history cannot be cancelled. Do you want to continue?"},
    {151, "Cannot open default browser."},
    {152, "Application name and path cannot be empty."},
    {153, "Couldn't move folder to itself."},
    {154, "Couldn't move folder to its descendant."},
    {155, "You cannot delete all entries in the list at one time!"},
    {156, "No items selected!"},
    {157, "Do you really want to delete these items?"},
    {158, "Application Name"},
    {159, "Path"},
    {160, "Couldn't open file for writing."},
    {161, "Bookmarks saved."},
    {162, "Search results saved."},
    {163, "Data saved."},
    {164, "Duplicate folder names aren't allowed."},
    {165, "Couldn't get 'My Documents' folder location."},
    {166, "Log file couldn't be opened."},
    {167, "Couldn't find location of the Favourites folder."},
    {168, "No path to the Mozilla bookmarks file."},
    {169, "No path to the Tagberry 1.x database."},
    {170, "No path to a file."},
    {171, "No path to a disk folder."},
    {172, "The Favourites folder will be located automatally."},
    {173, "Cannot read .dbf file!"},
    {174, "Cannot read .dbd file!"},
    {175, "Cannot read .dbi file!"},
    {176, "Cannot read HTML file!"},
    {177, "Folder title cannot be empty."},
    {178, "Item link and address cannot be empty."},
    {179, "An item with this URL already exists in the database!"},
    {180, "An item with this title already exists in the selected folder!"},
    {181, "SQL engine reports error: %1. Query text follows: %2."},
    {182, "Couldn't create data directory!"},
    {183, "Undo Move Folder"},
    {184, "Undo Move Link"},
    {185, "Undo Delete Folder"},
    {186, "Undo Delete Link"},
    {187, "Undo Add Folder"},
    {188, "Undo Add Link"},
    {189, "Undo Edit Folder"},
    {190, "Undo Edit Link"},
    {191, "Undo"},
    {192, "&Edit Application List..."},
    {193, "&Clean List"},
    {194, "Delete saved queries?"},
    {195, "No saved queries found"},
    {196, "No applications defined"},
    {197, "Invalid query."},
    {199, "Reset usage information for all links?"},
    {200, "Open Containing Folder:\t%s"},
    {201, "Select folder..."},
    {203, "Address:"},
    {204, "n/a"},
    {205, "Last visit:"},
    {206, "n/a"},
    {207, "Total visits:"},
    {208, "n/a"},
    {209, "Link title"},
    {210, "Full folder name"},
    {211, "Newsfeed's title and location cannot be empty."},
    {212, "Newsfeeds"},
    {213, "Feed title"},
    {1000, "Create new folder.\nNew folder"},
    {1001, "Delete the selected folder."},
    {1003, "Delete selected link."},
    {1016, "Import data from other applications.\nImport"},
    {1019, "Save database in an HTML file."},
    {32780, "Move selected link to a new location."},
    {32792, "Move the selected folder to a new location."},
    {32795, "Open the folder the item belongs to."},
    {32796, "Save current folder and its descendants to an HTML file."},
    {32797, "Find link.\nFind"},
    {32805, "Create new link.\nNew link"},
    {32808, "Discard visits counter for the selected link."},
    {32809, "Show items with the same address."},
    {32810, "Pass current link to the daunch default browser application."},
    {32814, "Select apllications to use for browsing."},
    {32815, "Put the selected link's address to the Clipboard"},
    {32820, "Discard the action list."},
    {32832, "Display the readme file."},
    {32833, "Discard visits count for all links."},
    {32842, "Show or hide the drop window."},
    {57344, "Tagberry 2.0"},
    {57345, "Ready"},
};

}  // namespace

const char* english_string(int id) {
    auto it = std::find_if(std::begin(kEnglish), std::end(kEnglish),
                           [id](const auto& row) { return row.first == id; });
    return it == std::end(kEnglish) ? nullptr : it->second;
}

std::vector<int> string_table_ids() {
    std::vector<int> ids;
    for (const auto& row : kEnglish) {
        ids.push_back(row.first);
    }
    return ids;
}

std::string fill_arguments(std::string_view text, const std::vector<std::string>& args) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            size_t n = static_cast<size_t>(text[i + 1] - '1');
            if (n < args.size()) {
                out += args[n];
            }
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace tb
