#include "platform/messages.h"

#include <algorithm>
#include <array>
#include <utility>

#include "platform/reporter.h"

namespace tb {

namespace {

// The program's English string table, by resource id; the GUI translates the texts.
constexpr std::pair<int, const char*> kEnglish[] = {
    {128, TB_TRANSLATE_NOOP("Strings",
                            "Tagberry 2.0\n\ntagberry\n\n\ntagberry.Document\ntagberry.Document")},
    {130, TB_TRANSLATE_NOOP("Strings", "Now the program needs to be restarted.")},
    {131, TB_TRANSLATE_NOOP("Strings", "Treat link as recent within, hour(s): %d")},
    {132, TB_TRANSLATE_NOOP("Strings", "Most Visited")},
    {133, TB_TRANSLATE_NOOP("Strings", "Search Results")},
    {134, TB_TRANSLATE_NOOP("Strings", "Recently Visited")},
    {135, TB_TRANSLATE_NOOP("Strings", "Nothing to save!")},
    {136, TB_TRANSLATE_NOOP("Strings",
                            "Reset visits counter, if a link is inactive during, months: %d")},
    {137, TB_TRANSLATE_NOOP("Strings", "You cannot add subfolders to a special folder.")},
    {138, TB_TRANSLATE_NOOP("Strings", "This folder cannot be deleted.")},
    {139, TB_TRANSLATE_NOOP("Strings", "Delete folder '%1'?")},
    {140,
     TB_TRANSLATE_NOOP(
         "Strings",
         "Sorry, you cannot add links to a root folder. Please, select or create another one.")},
    {141, TB_TRANSLATE_NOOP("Strings", "Nothing to delete!")},
    {142, TB_TRANSLATE_NOOP("Strings", "Delete link '%1'?")},
    {143, TB_TRANSLATE_NOOP("Strings", "Delete these %1 links?")},
    {144, TB_TRANSLATE_NOOP("Strings", "Link title and address could not be empty.")},
    {145, TB_TRANSLATE_NOOP("Strings", "Link updated.")},
    {147, TB_TRANSLATE_NOOP("Strings", "Nothing found for '%1'!")},
    {148, TB_TRANSLATE_NOOP("Strings", "This link has no duplicates.")},
    {149,
     TB_TRANSLATE_NOOP(
         "Strings",
         "Actions deleted from the undo history cannot be cancelled. Do you want to continue?")},
    {151, TB_TRANSLATE_NOOP("Strings", "Cannot open default browser.")},
    {152, TB_TRANSLATE_NOOP("Strings", "Application name and path cannot be empty.")},
    {153, TB_TRANSLATE_NOOP("Strings", "Couldn't move folder to itself.")},
    {154, TB_TRANSLATE_NOOP("Strings", "Couldn't move folder to its descendant.")},
    {155, TB_TRANSLATE_NOOP("Strings", "You cannot delete all entries in the list at one time!")},
    {156, TB_TRANSLATE_NOOP("Strings", "No items selected!")},
    {157, TB_TRANSLATE_NOOP("Strings", "Do you really want to delete these items?")},
    {158, TB_TRANSLATE_NOOP("Strings", "Application Name")},
    {159, TB_TRANSLATE_NOOP("Strings", "Path")},
    {160, TB_TRANSLATE_NOOP("Strings", "Couldn't open file for writing.")},
    {161, TB_TRANSLATE_NOOP("Strings", "Bookmarks saved.")},
    {162, TB_TRANSLATE_NOOP("Strings", "Search results saved.")},
    {163, TB_TRANSLATE_NOOP("Strings", "Data saved.")},
    {164, TB_TRANSLATE_NOOP("Strings", "Duplicate folder names aren't allowed.")},
    {165, TB_TRANSLATE_NOOP("Strings", "Couldn't get 'My Documents' folder location.")},
    {166, TB_TRANSLATE_NOOP("Strings", "Log file couldn't be opened.")},
    {167, TB_TRANSLATE_NOOP("Strings", "Couldn't find location of the Favourites folder.")},
    {168, TB_TRANSLATE_NOOP("Strings", "No path to the Mozilla bookmarks file.")},
    {169, TB_TRANSLATE_NOOP("Strings", "No path to the Tagberry 1.x database.")},
    {170, TB_TRANSLATE_NOOP("Strings", "No path to a file.")},
    {171, TB_TRANSLATE_NOOP("Strings", "No path to a disk folder.")},
    {172, TB_TRANSLATE_NOOP("Strings", "The Favourites folder will be located automatally.")},
    {173, TB_TRANSLATE_NOOP("Strings", "Cannot read .dbf file!")},
    {174, TB_TRANSLATE_NOOP("Strings", "Cannot read .dbd file!")},
    {175, TB_TRANSLATE_NOOP("Strings", "Cannot read .dbi file!")},
    {176, TB_TRANSLATE_NOOP("Strings", "Cannot read HTML file!")},
    {177, TB_TRANSLATE_NOOP("Strings", "Folder title cannot be empty.")},
    {178, TB_TRANSLATE_NOOP("Strings", "Item link and address cannot be empty.")},
    {179, TB_TRANSLATE_NOOP("Strings", "An item with this URL already exists in the database!")},
    {180, TB_TRANSLATE_NOOP("Strings",
                            "An item with this title already exists in the selected folder!")},
    {181, TB_TRANSLATE_NOOP("Strings", "SQL engine reports error: %1. Query text follows: %2.")},
    {182, TB_TRANSLATE_NOOP("Strings", "Couldn't create data directory!")},
    {183, TB_TRANSLATE_NOOP("Strings", "Undo Move Folder")},
    {184, TB_TRANSLATE_NOOP("Strings", "Undo Move Link")},
    {185, TB_TRANSLATE_NOOP("Strings", "Undo Delete Folder")},
    {186, TB_TRANSLATE_NOOP("Strings", "Undo Delete Link")},
    {187, TB_TRANSLATE_NOOP("Strings", "Undo Add Folder")},
    {188, TB_TRANSLATE_NOOP("Strings", "Undo Add Link")},
    {189, TB_TRANSLATE_NOOP("Strings", "Undo Edit Folder")},
    {190, TB_TRANSLATE_NOOP("Strings", "Undo Edit Link")},
    {191, TB_TRANSLATE_NOOP("Strings", "Undo")},
    {192, TB_TRANSLATE_NOOP("Strings", "&Edit Application List...")},
    {193, TB_TRANSLATE_NOOP("Strings", "&Clean List")},
    {194, TB_TRANSLATE_NOOP("Strings", "Delete saved queries?")},
    {195, TB_TRANSLATE_NOOP("Strings", "No saved queries found")},
    {196, TB_TRANSLATE_NOOP("Strings", "No applications defined")},
    {197, TB_TRANSLATE_NOOP("Strings", "Invalid query.")},
    {199, TB_TRANSLATE_NOOP("Strings", "Reset usage information for all links?")},
    {200, TB_TRANSLATE_NOOP("Strings", "Open Containing Folder:\t%s")},
    {201, TB_TRANSLATE_NOOP("Strings", "Select folder...")},
    {203, TB_TRANSLATE_NOOP("Strings", "Address:")},
    {204, TB_TRANSLATE_NOOP("Strings", "n/a")},
    {205, TB_TRANSLATE_NOOP("Strings", "Last visit:")},
    {206, TB_TRANSLATE_NOOP("Strings", "n/a")},
    {207, TB_TRANSLATE_NOOP("Strings", "Total visits:")},
    {208, TB_TRANSLATE_NOOP("Strings", "n/a")},
    {209, TB_TRANSLATE_NOOP("Strings", "Link title")},
    {210, TB_TRANSLATE_NOOP("Strings", "Full folder name")},
    {211, TB_TRANSLATE_NOOP("Strings", "Newsfeed's title and location cannot be empty.")},
    {212, TB_TRANSLATE_NOOP("Strings", "Newsfeeds")},
    {213, TB_TRANSLATE_NOOP("Strings", "Feed title")},
    {240, TB_TRANSLATE_NOOP("Strings", "The file holds no bookmarks, so nothing was imported.")},
    {241, TB_TRANSLATE_NOOP("Strings", "Cannot save to %1: it is not a regular file.")},
    {242, TB_TRANSLATE_NOOP("Strings", "HTTP status %1; the server asks to wait until %2")},
    {1000, TB_TRANSLATE_NOOP("Strings", "Create new folder.\nNew folder")},
    {1001, TB_TRANSLATE_NOOP("Strings", "Delete the selected folder.")},
    {1003, TB_TRANSLATE_NOOP("Strings", "Delete selected link.")},
    {1016, TB_TRANSLATE_NOOP("Strings", "Import data from other applications.\nImport")},
    {1019, TB_TRANSLATE_NOOP("Strings", "Save database in an HTML file.")},
    {32780, TB_TRANSLATE_NOOP("Strings", "Move selected link to a new location.")},
    {32792, TB_TRANSLATE_NOOP("Strings", "Move the selected folder to a new location.")},
    {32795, TB_TRANSLATE_NOOP("Strings", "Open the folder the item belongs to.")},
    {32796,
     TB_TRANSLATE_NOOP("Strings", "Save current folder and its descendants to an HTML file.")},
    {32797, TB_TRANSLATE_NOOP("Strings", "Find link.\nFind")},
    {32805, TB_TRANSLATE_NOOP("Strings", "Create new link.\nNew link")},
    {32808, TB_TRANSLATE_NOOP("Strings", "Discard visits counter for the selected link.")},
    {32809, TB_TRANSLATE_NOOP("Strings", "Show items with the same address.")},
    {32810,
     TB_TRANSLATE_NOOP("Strings", "Pass current link to the daunch default browser application.")},
    {32814, TB_TRANSLATE_NOOP("Strings", "Select apllications to use for browsing.")},
    {32815, TB_TRANSLATE_NOOP("Strings", "Put the selected link's address to the Clipboard")},
    {32820, TB_TRANSLATE_NOOP("Strings", "Discard the action list.")},
    {32832, TB_TRANSLATE_NOOP("Strings", "Display the readme file.")},
    {32833, TB_TRANSLATE_NOOP("Strings", "Discard visits count for all links.")},
    {32842, TB_TRANSLATE_NOOP("Strings", "Show or hide the drop window.")},
    {57344, TB_TRANSLATE_NOOP("Strings", "Tagberry 2.0")},
    {57345, TB_TRANSLATE_NOOP("Strings", "Ready")},
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
    // Printf-style placeholders take the arguments in order; numbered ones take their own.
    size_t next = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = i + 1 < text.size() && text[i] == '%' ? text[i + 1] : '\0';
        if (c >= '1' && c <= '9') {
            const auto n = static_cast<size_t>(c - '1');
            if (n < args.size()) {
                out += args[n];
            }
            ++i;
        } else if ((c == 's' || c == 'd') && next < args.size()) {
            out += args[next++];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace tb
