#include "exchange/browser_json.h"

#include <nlohmann/json.hpp>

#include <array>
#include <deque>
#include <utility>
#include <vector>

namespace tb {

namespace {

using Json = nlohmann::json;

// Raised inside the walk and turned into one report at its top.
struct UnexpectedType {
    std::string where;
};

enum class ItemKind { Folder, Link, Other };

constexpr std::string_view kPlaceQueryPrefix = "place:";

// Where a value sits: a chain of steps up to the document, turned into a JSON pointer only when
// an error names it, since in a deep file every full pointer would be long.
struct JsonPlace {
    const JsonPlace* up = nullptr;
    std::string step;
};

std::string pointer(const JsonPlace& place) {
    std::vector<const std::string*> steps;
    for (const JsonPlace* at = &place; at != nullptr; at = at->up) {
        if (!at->step.empty()) {
            steps.push_back(&at->step);
        }
    }
    std::string text;
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
        text += '/';
        text += **it;
    }
    return text;
}

std::string member_pointer(const JsonPlace& place, std::string_view key) {
    return pointer(place) + "/" + std::string(key);
}

JsonPlace child_place(const JsonPlace& children_of, std::size_t index) {
    return {&children_of, "children/" + std::to_string(index)};
}

// A member that must be a text when present; absent and null give an empty text.
std::string optional_string(const Json& object, std::string_view key, const JsonPlace& place) {
    auto it = object.find(key);
    if (it == object.end() || it->is_null()) {
        return {};
    }
    if (!it->is_string()) {
        throw UnexpectedType{member_pointer(place, key)};
    }
    return it->get<std::string>();
}

const Json* optional_array(const Json& object, std::string_view key, const JsonPlace& place) {
    auto it = object.find(key);
    if (it == object.end() || it->is_null()) {
        return nullptr;
    }
    if (!it->is_array()) {
        throw UnexpectedType{member_pointer(place, key)};
    }
    return &*it;
}

const Json& require_object(const Json& value, const JsonPlace& place) {
    if (!value.is_object()) {
        std::string where = pointer(place);
        throw UnexpectedType{where.empty() ? "/" : where};
    }
    return value;
}

// Reads the text and runs `build` on it, turning every failure into one report.
template <typename Build>
std::optional<BrowserItem> parse_reporting(std::string_view text, const std::string& name,
                                           Reporter& reporter, Build build) {
    try {
        Json json = Json::parse(text.begin(), text.end());
        return build(json);
    } catch (const Json::parse_error& error) {
        reporter.report_text(
            TB_TRANSLATE_NOOP("Strings", "The bookmark file %1 is not valid JSON (at byte %2)."),
            {name, std::to_string(error.byte)});
    } catch (const UnexpectedType& error) {
        reporter.report_text(
            TB_TRANSLATE_NOOP("Strings",
                              "The bookmark file %1 has a value of an unexpected type at %2."),
            {name, error.where});
    }
    return std::nullopt;
}

// Firefox-family backups.

ItemKind firefox_kind(const Json& node, const JsonPlace& place) {
    std::string type = optional_string(node, "type", place);
    if (type == "text/x-moz-place-container") {
        return ItemKind::Folder;
    }
    if (type == "text/x-moz-place") {
        return ItemKind::Link;
    }
    if (!type.empty()) {
        return ItemKind::Other;
    }
    auto code = node.find("typeCode");
    if (code != node.end() && !code->is_number_integer()) {
        throw UnexpectedType{member_pointer(place, "typeCode")};
    }
    if (code != node.end()) {
        int value = code->get<int>();
        return value == 2 ? ItemKind::Folder : value == 1 ? ItemKind::Link : ItemKind::Other;
    }
    return ItemKind::Other;
}

// The title a Firefox root is imported under, or nothing for the tags root. A container at the
// top that is no root keeps its own title.
std::optional<std::string> firefox_root_title(const std::string& root, const std::string& guid,
                                              const std::string& title) {
    static const std::array<std::array<const char*, 3>, 5> kRoots{{
        {"bookmarksMenuFolder", "menu________", "Bookmarks Menu"},
        {"toolbarFolder", "toolbar_____", "Bookmarks Toolbar"},
        {"unfiledBookmarksFolder", "unfiled_____", "Other Bookmarks"},
        {"mobileFolder", "mobile______", "Mobile Bookmarks"},
        {"tagsFolder", "tags________", ""},
    }};
    for (const auto& [root_name, root_guid, imported] : kRoots) {
        if (root == root_name || guid == root_guid) {
            if (*imported == '\0') {
                return std::nullopt;
            }
            return std::string(imported);
        }
    }
    return title;
}

// How a family's JSON names the parts of an item.
struct JsonFamily {
    ItemKind (*kind)(const Json& node, const JsonPlace& place);
    const char* title_key;
    const char* url_key;
    // Links whose address starts so are left out; empty keeps every link.
    std::string_view skipped_url_prefix;
    // The title a folder at the top is imported under, or nothing to leave it out; null keeps
    // the folder's own title.
    std::optional<std::string> (*top_folder_title)(const Json& node, const JsonPlace& place,
                                                   const BrowserItem& item);
};

// One child as an item without its children, or nothing when it is left out.
std::optional<BrowserItem> read_item(const Json& child, const JsonPlace& place, bool at_top,
                                     const JsonFamily& family) {
    ItemKind kind = family.kind(child, place);
    BrowserItem item;
    item.title = optional_string(child, family.title_key, place);
    item.guid = optional_string(child, "guid", place);
    if (kind == ItemKind::Link) {
        item.url = optional_string(child, family.url_key, place);
        if (item.url.empty() || (!family.skipped_url_prefix.empty() &&
                                 item.url.starts_with(family.skipped_url_prefix))) {
            return std::nullopt;
        }
        return item;
    }
    if (kind != ItemKind::Folder) {
        return std::nullopt;
    }
    if (at_top && family.top_folder_title != nullptr) {
        std::optional<std::string> title = family.top_folder_title(child, place, item);
        if (!title) {
            return std::nullopt;
        }
        item.title = std::move(*title);
    }
    item.is_folder = true;
    return item;
}

// The items below `node` put into `top`, which lies `depth` levels below the tree. The walk keeps
// a stack of its own, since a file may nest far deeper than the call stack reaches.
BrowserItem read_tree(const Json& node, const JsonPlace& place, BrowserItem top, int depth,
                      const JsonFamily& family) {
    struct Open {
        const Json* children;
        JsonPlace place;
        std::size_t next = 0;
    };
    BrowserTreeBuilder tree(std::move(top), depth);
    // A deque, because each child's place points at its parent's.
    std::deque<Open> open;
    open.push_back({optional_array(node, "children", place), place});
    while (!open.empty()) {
        Open& at = open.back();
        if (at.children == nullptr || at.next == at.children->size()) {
            open.pop_back();
            tree.close_folder();
            continue;
        }
        const std::size_t index = at.next++;
        JsonPlace where = child_place(at.place, index);
        const Json& child = require_object((*at.children)[index], where);
        const bool at_top = depth == 0 && open.size() == 1;
        std::optional<BrowserItem> item = read_item(child, where, at_top, family);
        if (!item) {
            continue;
        }
        if (!item->is_folder) {
            tree.add(std::move(*item));
            continue;
        }
        const Json* children = optional_array(child, "children", where);
        tree.open_folder(std::move(*item));
        open.push_back({children, std::move(where)});
    }
    return tree.finish();
}

std::optional<std::string> firefox_top_folder_title(const Json& node, const JsonPlace& place,
                                                    const BrowserItem& item) {
    return firefox_root_title(optional_string(node, "root", place), item.guid, item.title);
}

const JsonFamily kFirefoxJson{firefox_kind, "title", "uri", kPlaceQueryPrefix,
                              firefox_top_folder_title};

BrowserItem firefox_tree(const Json& json) {
    BrowserItem tree;
    tree.is_folder = true;
    const JsonPlace top;
    return read_tree(require_object(json, top), top, std::move(tree), 0, kFirefoxJson);
}

// Chromium-family "Bookmarks" files.

ItemKind chromium_kind(const Json& node, const JsonPlace& place) {
    std::string type = optional_string(node, "type", place);
    if (type == "folder") {
        return ItemKind::Folder;
    }
    if (type == "url") {
        return ItemKind::Link;
    }
    if (!type.empty()) {
        return ItemKind::Other;
    }
    if (node.contains("children")) {
        return ItemKind::Folder;
    }
    return node.contains("url") ? ItemKind::Link : ItemKind::Other;
}

const JsonFamily kChromiumJson{chromium_kind, "name", "url", {}, nullptr};

BrowserItem chromium_tree(const Json& json) {
    const JsonPlace top;
    const Json& document = require_object(json, top);
    auto roots = document.find("roots");
    if (roots == document.end()) {
        throw UnexpectedType{"/roots"};
    }
    const JsonPlace roots_place{&top, "roots"};
    require_object(*roots, roots_place);
    static const std::array<std::pair<const char*, const char*>, 3> kRoots{{
        {"bookmark_bar", "Bookmarks bar"},
        {"other", "Other bookmarks"},
        {"synced", "Mobile bookmarks"},
    }};
    BrowserItem tree;
    tree.is_folder = true;
    for (const auto& [key, title] : kRoots) {
        auto root = roots->find(key);
        if (root == roots->end()) {
            continue;
        }
        const JsonPlace place{&roots_place, key};
        require_object(*root, place);
        BrowserItem folder;
        folder.is_folder = true;
        folder.title = title;
        folder.guid = optional_string(*root, "guid", place);
        tree.children.push_back(read_tree(*root, place, std::move(folder), 1, kChromiumJson));
    }
    return tree;
}

}  // namespace

std::optional<BrowserItem> parse_firefox_backup(std::string_view json, const std::string& name,
                                                Reporter& reporter) {
    return parse_reporting(json, name, reporter, firefox_tree);
}

std::optional<BrowserItem> parse_chromium_bookmarks(std::string_view json, const std::string& name,
                                                    Reporter& reporter) {
    return parse_reporting(json, name, reporter, chromium_tree);
}

std::optional<BrowserItem> parse_browser_json(std::string_view json, const std::string& name,
                                              Reporter& reporter) {
    return parse_reporting(json, name, reporter, [](const Json& parsed) {
        return parsed.is_object() && parsed.contains("roots") ? chromium_tree(parsed)
                                                              : firefox_tree(parsed);
    });
}

}  // namespace tb
