#include "exchange/browser_import.h"

#include <unordered_set>

#include "exchange/browser_json.h"
#include "exchange/browser_tree.h"
#include "exchange/firefox_places.h"
#include "exchange/mozlz4.h"
#include "platform/messages.h"
#include "storage/ids.h"
#include "text/file_bytes.h"

namespace tb {

namespace {

namespace fs = std::filesystem;

void report_unreadable(const fs::path& file, Reporter& reporter) {
    reporter.report_text(TB_TRANSLATE_NOOP("Strings", "Cannot read %1."), {file.string()});
}

// Bookmark backups and Chromium files are JSON: after a byte-order mark and white space, the text
// opens with a brace or a bracket. Anything else is no JSON the readers could say more about.
bool looks_like_json(std::string_view text) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && (text[first] == '{' || text[first] == '[');
}

// A folder of the browser's tree that is made in the top folder only when something goes into
// it, so that a folder the user deleted comes back only for new links.
struct FolderSlot {
    FolderSlot* parent = nullptr;
    const BrowserItem* item = nullptr;
    RowId id = 0;
    bool existed = false;  // found among the folders there were before this import
};

class ProfileWriter {
public:
    ProfileWriter(ImportContext& context, std::string profile, bool update)
        : context_(context), db_(context.model.db), profile_(std::move(profile)), update_(update) {}

    bool write(const BrowserItem& tree, const std::string& top_title);

private:
    RowId earlier_top_folder();
    void load_earlier_items(RowId top);
    RowId resolve(FolderSlot& slot);
    bool write_children(FolderSlot& slot);
    bool write_link(const BrowserItem& link, FolderSlot& slot);
    bool seen_before(const BrowserItem& item) const;

    ImportContext& context_;
    Database& db_;
    std::string profile_;
    bool update_;
    std::unordered_set<std::string> earlier_guids_;
    std::unordered_set<std::string> earlier_addresses_;
    RowId last_existing_id_ = 0;
};

RowId ProfileWriter::earlier_top_folder() {
    std::optional<Statement> query =
        db_.prepare("SELECT folder FROM tb_browser_imports WHERE profile = ?", {profile_});
    if (!query) {
        return 0;
    }
    RowId folder = query->step() == Step::Row ? query->int64(0) : 0;
    return folder != kRootFolder && context_.model.folders.find(folder) != nullptr ? folder : 0;
}

void ProfileWriter::load_earlier_items(RowId top) {
    std::optional<Statement> query =
        db_.prepare("SELECT guid FROM tb_browser_items WHERE profile = ?", {profile_});
    if (query) {
        while (query->step() == Step::Row) {
            earlier_guids_.insert(query->text(0));
        }
    }
    std::vector<RowId> subtree = context_.model.folders.descendants(top);
    subtree.push_back(top);
    (void)context_.model.links.visit_links(
        "l.parent IN (SELECT value FROM json_each(?))", {id_array(subtree)},
        [this](const Link& link) { earlier_addresses_.insert(link.url); });
}

bool ProfileWriter::seen_before(const BrowserItem& item) const {
    return item.guid.empty() ? earlier_addresses_.contains(item.url)
                             : earlier_guids_.contains(item.guid);
}

RowId ProfileWriter::resolve(FolderSlot& slot) {
    if (slot.id != 0) {
        return slot.id;
    }
    const RowId parent = resolve(*slot.parent);
    if (parent == 0 || context_.options.ignore_structure) {
        slot.id = parent;
        return slot.id;
    }
    const std::string& title = slot.item->title;
    if (slot.parent->existed) {
        // An earlier import put the folder where this one would.
        const RowId placed_in = context_.parent_within_limit(parent);
        for (const Folder* child : context_.model.folders.children(placed_in)) {
            if (child->title == title) {
                slot.existed = true;
                slot.id = child->id;
                return slot.id;
            }
        }
    }
    slot.id = context_.folder(parent, title);
    if (slot.id != 0 && !slot.item->guid.empty()) {
        (void)db_.easy_query("INSERT OR IGNORE INTO tb_browser_items (profile, guid) VALUES (?, ?)",
                             {profile_, slot.item->guid});
    }
    return slot.id;
}

bool ProfileWriter::write_link(const BrowserItem& link, FolderSlot& slot) {
    if (seen_before(link) ||
        (context_.options.ignore_existing &&
         context_.model.links.link_address_exists(link.url, last_existing_id_))) {
        context_.link_present();
        return context_.item_done();
    }
    RowId parent = resolve(slot);
    if (parent == 0) {
        return false;
    }
    const std::string& title = link.title.empty() ? link.url : link.title;
    if (!context_.insert_link(title, link.url, "", context_.next_link_id(), parent, 0)) {
        return false;
    }
    if (!link.guid.empty() &&
        !db_.easy_query("INSERT OR IGNORE INTO tb_browser_items (profile, guid) VALUES (?, ?)",
                        {profile_, link.guid})) {
        return false;
    }
    return context_.item_done();
}

bool ProfileWriter::write_children(FolderSlot& slot) {
    for (const BrowserItem& child : slot.item->children) {
        if (!child.is_folder) {
            if (!write_link(child, slot)) {
                return false;
            }
            continue;
        }
        FolderSlot sub{&slot, &child};
        // A folder never imported before is made even when empty, as the browser shows it.
        if (!seen_before(child) && resolve(sub) == 0) {
            return false;
        }
        if (!write_children(sub)) {
            return false;
        }
    }
    return true;
}

bool ProfileWriter::write(const BrowserItem& tree, const std::string& top_title) {
    RowId top = update_ ? earlier_top_folder() : 0;
    if (top != 0) {
        context_.use_top_folder(top, context_.model.folders.find(top)->title);
        load_earlier_items(top);
    } else {
        top = context_.create_top_folder(top_title, true);
        if (top == 0 ||
            !db_.easy_query("DELETE FROM tb_browser_items WHERE profile = ?", {profile_}) ||
            !db_.easy_query(
                "INSERT OR REPLACE INTO tb_browser_imports (profile, folder) VALUES (?, ?)",
                {profile_, top})) {
            return false;
        }
    }
    // Links written by this import are not "existing": a browser may keep one address twice.
    last_existing_id_ = context_.model.links.max_link_id();
    context_.set_total(static_cast<std::size_t>(count_browser_links(tree)));
    FolderSlot root{nullptr, &tree, top, true};
    return write_children(root) || context_.cancelled();
}

// The profile folder, or the file itself, resolved so that every way of naming it agrees.
std::string profile_key(const fs::path& folder) {
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(folder, ec);
    return (ec ? folder : canonical).generic_string();
}

}  // namespace

std::optional<BrowserItem> read_browser_bookmarks(const fs::path& file, Reporter& reporter) {
    std::optional<std::string> head = read_file_head(file, kSqliteMagic.size());
    if (!head) {
        report_unreadable(file, reporter);
        return std::nullopt;
    }
    if (head->starts_with(kSqliteMagic)) {
        return read_places_database(file, reporter);
    }
    std::error_code ec;
    std::uintmax_t size = fs::file_size(file, ec);
    if (!ec && size > kMaxMozLz4Size) {
        reporter.report_text(
            TB_TRANSLATE_NOOP("Strings", "%1 is larger than the %2 MB that are read."),
            {file.string(), std::to_string(kMaxMozLz4Size / (1024 * 1024))});
        return std::nullopt;
    }
    std::optional<std::string> bytes = read_file_bytes(file);
    if (!bytes) {
        report_unreadable(file, reporter);
        return std::nullopt;
    }
    if (bytes->starts_with(kMozLz4Magic)) {
        std::optional<std::string> json = decode_mozlz4(*bytes, file.string(), reporter);
        if (!json) {
            return std::nullopt;
        }
        return parse_firefox_backup(*json, file.string(), reporter);
    }
    if (!looks_like_json(*bytes)) {
        reporter.report_text(
            TB_TRANSLATE_NOOP("Strings",
                              "%1 is neither a browser's bookmark database nor a bookmark backup."),
            {file.string()});
        return std::nullopt;
    }
    return parse_browser_json(*bytes, file.string(), reporter);
}

std::optional<int> profile_link_count(const BrowserProfile& profile) {
    SilentReporter silent;
    std::optional<BrowserItem> tree = read_browser_bookmarks(profile.file, silent);
    return tree ? std::optional<int>(count_browser_links(*tree)) : std::nullopt;
}

bool import_browser_profile(ImportContext& context, const fs::path& path,
                            const std::string& top_title, bool update_earlier) {
    Reporter& reporter = context.model.db.reporter();
    std::optional<BrowserProfile> profile = profile_for_path(path, std::nullopt);
    if (!profile) {
        reporter.report_text(TB_TRANSLATE_NOOP("Strings", "No browser bookmarks were found in %1."),
                             {path.string()});
        return false;
    }
    std::optional<BrowserItem> tree = read_browser_bookmarks(profile->file, reporter);
    if (!tree) {
        return false;
    }
    ProfileWriter writer(context, profile_key(profile->folder), update_earlier);
    return writer.write(*tree, top_title.empty() ? profile_title(*profile) : top_title);
}

}  // namespace tb
