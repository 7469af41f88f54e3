#include "exchange/browser_json.h"

#include <nlohmann/json.hpp>

#include <array>
#include <utility>

namespace tb {

namespace {

using Json = nlohmann::json;

// Raised inside the walk and turned into one report at its top.
struct UnexpectedType {
    std::string where;
};
struct TooDeep {};

enum class ItemKind { Folder, Link, Other };

constexpr std::string_view kPlaceQueryPrefix = "place:";

std::string member_path(const std::string& path, std::string_view key) {
    return path + "/" + std::string(key);
}

// A member that must be a text when present; absent and null give an empty text.
std::string optional_string(const Json& object, std::string_view key, const std::string& path) {
    auto it = object.find(key);
    if (it == object.end() || it->is_null()) {
        return {};
    }
    if (!it->is_string()) {
        throw UnexpectedType{member_path(path, key)};
    }
    return it->get<std::string>();
}

const Json* optional_array(const Json& object, std::string_view key, const std::string& path) {
    auto it = object.find(key);
    if (it == object.end() || it->is_null()) {
        return nullptr;
    }
    if (!it->is_array()) {
        throw UnexpectedType{member_path(path, key)};
    }
    return &*it;
}

const Json& require_object(const Json& value, const std::string& path) {
    if (!value.is_object()) {
        throw UnexpectedType{path.empty() ? "/" : path};
    }
    return value;
}

void check_depth(int depth) {
    if (depth > kMaxBrowserDepth) {
        throw TooDeep{};
    }
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
    } catch (const TooDeep&) {
        reporter.report_text(
            TB_TRANSLATE_NOOP("Strings",
                              "The folders in the bookmark file %1 are nested more than %2 "
                              "levels deep."),
            {name, std::to_string(kMaxBrowserDepth)});
    }
    return std::nullopt;
}

// Firefox-family backups.

ItemKind firefox_kind(const Json& node, const std::string& path) {
    std::string type = optional_string(node, "type", path);
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
        throw UnexpectedType{member_path(path, "typeCode")};
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
    ItemKind (*kind)(const Json& node, const std::string& path);
    const char* title_key;
    const char* url_key;
    // Links whose address starts so are left out; empty keeps every link.
    std::string_view skipped_url_prefix;
    // The title a folder at the top is imported under, or nothing to leave it out; null keeps
    // the folder's own title.
    std::optional<std::string> (*top_folder_title)(const Json& node, const std::string& path,
                                                   const BrowserItem& item);
};

void read_children(const Json& node, const std::string& path, BrowserItem& into, int depth,
                   const JsonFamily& family) {
    const Json* children = optional_array(node, "children", path);
    if (children == nullptr) {
        return;
    }
    std::string base = member_path(path, "children");
    for (std::size_t i = 0; i < children->size(); ++i) {
        std::string child_path = member_path(base, std::to_string(i));
        const Json& child = require_object((*children)[i], child_path);
        ItemKind kind = family.kind(child, child_path);
        BrowserItem item;
        item.title = optional_string(child, family.title_key, child_path);
        item.guid = optional_string(child, "guid", child_path);
        if (kind == ItemKind::Link) {
            item.url = optional_string(child, family.url_key, child_path);
            if (item.url.empty() || (!family.skipped_url_prefix.empty() &&
                                     item.url.starts_with(family.skipped_url_prefix))) {
                continue;
            }
        } else if (kind == ItemKind::Folder) {
            if (depth == 0 && family.top_folder_title != nullptr) {
                std::optional<std::string> title = family.top_folder_title(child, child_path, item);
                if (!title) {
                    continue;
                }
                item.title = std::move(*title);
            }
            item.is_folder = true;
            check_depth(depth + 1);
            read_children(child, child_path, item, depth + 1, family);
        } else {
            continue;
        }
        into.children.push_back(std::move(item));
    }
}

std::optional<std::string> firefox_top_folder_title(const Json& node, const std::string& path,
                                                    const BrowserItem& item) {
    return firefox_root_title(optional_string(node, "root", path), item.guid, item.title);
}

const JsonFamily kFirefoxJson{firefox_kind, "title", "uri", kPlaceQueryPrefix,
                              firefox_top_folder_title};

BrowserItem firefox_tree(const Json& json) {
    BrowserItem tree;
    tree.is_folder = true;
    read_children(require_object(json, ""), "", tree, 0, kFirefoxJson);
    return tree;
}

// Chromium-family "Bookmarks" files.

ItemKind chromium_kind(const Json& node, const std::string& path) {
    std::string type = optional_string(node, "type", path);
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
    const Json& top = require_object(json, "");
    auto roots = top.find("roots");
    if (roots == top.end()) {
        throw UnexpectedType{"/roots"};
    }
    require_object(*roots, "/roots");
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
        std::string path = member_path("/roots", key);
        require_object(*root, path);
        BrowserItem folder;
        folder.is_folder = true;
        folder.title = title;
        folder.guid = optional_string(*root, "guid", path);
        read_children(*root, path, folder, 1, kChromiumJson);
        tree.children.push_back(std::move(folder));
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
