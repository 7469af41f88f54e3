#include "model/link_store.h"
#include "storage/schema.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstdint>
#include <unordered_set>

#include "platform/messages.h"
#include "text/control_chars.h"
#include "text/strings.h"

namespace tb {

namespace {

bool starts_with_scheme(const std::string& url) {
    if (url.empty() || !std::isalpha(static_cast<unsigned char>(url[0]))) {
        return false;
    }
    size_t i = 1;
    while (i < url.size() && (std::isalnum(static_cast<unsigned char>(url[i])) || url[i] == '+' ||
                              url[i] == '-' || url[i] == '.')) {
        ++i;
    }
    return url.compare(i, 3, "://") == 0;
}

}  // namespace

std::string with_default_scheme(const std::string& url) {
    return starts_with_scheme(url) || istarts_with_ascii(url, "mailto:") ? url : "http://" + url;
}

LinkStore::LinkStore(Database& db, Journal& journal) : db_(db), journal_(journal) {}

namespace {

void assign_text(std::string& target, sqlite3_stmt* stmt, int column) {
    auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    target.assign(text != nullptr ? text : "",
                  text != nullptr ? sqlite3_column_bytes(stmt, column) : 0);
}

// The first sixteen bytes of a title as big-endian numbers: most comparisons end there.
struct TitleKey {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    std::uint32_t row = 0;
};

TitleKey title_key(const std::string& title, std::uint32_t row) {
    TitleKey key{.row = row};
    for (size_t i = 0; i < 16; ++i) {
        std::uint64_t byte = i < title.size() ? static_cast<unsigned char>(title[i]) : 0u;
        std::uint64_t& half = i < 8 ? key.high : key.low;
        half = half << 8 | byte;
    }
    return key;
}

// Least significant digit first over the sixteen key bytes; the sort is stable, so each pass
// keeps the order of the ones before it.
void radix_sort(std::vector<TitleKey>& keys) {
    std::vector<TitleKey> buffer(keys.size());
    for (int pass = 0; pass < 16; ++pass) {
        const std::uint64_t TitleKey::*half = pass < 8 ? &TitleKey::low : &TitleKey::high;
        const int shift = (pass % 8) * 8;
        std::size_t counts[257] = {};
        for (const TitleKey& key : keys) {
            ++counts[((key.*half >> shift) & 0xFF) + 1];
        }
        if (std::find(counts + 1, counts + 257, keys.size()) != counts + 257) {
            continue;  // every key has the same byte here
        }
        for (int i = 1; i < 257; ++i) {
            counts[i] += counts[i - 1];
        }
        for (const TitleKey& key : keys) {
            buffer[counts[(key.*half >> shift) & 0xFF]++] = key;
        }
        keys.swap(buffer);
    }
}

// Byte order of the titles: the keys decide unless two titles share their first sixteen bytes.
void sort_by_title(std::vector<TitleKey>& keys, const std::vector<Link>& rows) {
    radix_sort(keys);
    auto same_key = [](const TitleKey& a, const TitleKey& b) {
        return a.high == b.high && a.low == b.low;
    };
    for (auto run = keys.begin(); run != keys.end();) {
        auto end = std::find_if_not(run, keys.end(),
                                    [&](const TitleKey& key) { return same_key(key, *run); });
        if (end - run > 1) {
            // Stable, so that equal titles keep the id order the rows came in.
            std::stable_sort(run, end, [&rows](const TitleKey& a, const TitleKey& b) {
                return rows[a.row].title < rows[b.row].title;
            });
        }
        run = end;
    }
}

std::uint32_t url_hash(std::string_view url) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>{}(url));
}

}  // namespace

int LinkStore::update_links_array() {
    // The records of the previous load lend their string buffers to this one, in id order as the
    // rows come: each row mostly gets its own link's buffers back, which fit without a new
    // allocation and keep the texts laid out in id order in memory, as the first load left them.
    std::vector<Link>& rows = spare_;
    rows.resize(links_.size());
    for (size_t rank = 0; rank < by_id_.size(); ++rank) {
        std::swap(rows[rank], links_[by_id_[rank].second]);
    }
    size_t count = 0;
    // Address hashes are taken while each row's text is fresh in the cache.
    std::vector<std::uint32_t> read_hashes;
    read_hashes.reserve(rows.size());
    // Without deletion marks the journal filter hides nothing, and the plain read is faster.
    auto row =
        db_.prepare(journal_.has_deletions()
                        ? "SELECT * FROM tb_links WHERE id NOT IN " + schema::kPendingLinkIds +
                              " AND parent NOT IN " + schema::kPendingFolderIds
                        : std::string("SELECT * FROM tb_links"));
    while (row && row->step() == Step::Row) {
        if (count == rows.size()) {
            rows.emplace_back();
        }
        Link& link = rows[count++];
        sqlite3_stmt* stmt = row->get();
        link.id = row->integer(0);
        assign_text(link.title, stmt, 1);
        assign_text(link.url, stmt, 2);
        assign_text(link.comment, stmt, 3);
        link.parent = row->integer(4);
        link.visits = row->integer(5);
        link.last_visit = row->int64(6);
        link.has_duplicates = false;
        read_hashes.push_back(url_hash(link.url));
    }
    rows.resize(count);
    std::vector<TitleKey> order(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        order[i] = title_key(rows[i].title, i);
    }
    sort_by_title(order, rows);
    links_.clear();
    links_.reserve(count);
    // The rows come in id order, so the id index needs no sort of its own.
    by_id_.resize(count);
    std::vector<std::uint32_t> hashes(count);
    for (std::uint32_t at = 0; at < count; ++at) {
        const std::uint32_t from = order[at].row;
        by_id_[from] = {rows[from].id, at};
        hashes[at] = read_hashes[from];
        links_.push_back(std::move(rows[from]));
    }
    if (!std::is_sorted(by_id_.begin(), by_id_.end())) {
        std::sort(by_id_.begin(), by_id_.end());
    }
    rebuild_index(hashes);
    return row && !row->failed() ? static_cast<int>(links_.size()) : -1;
}

size_t LinkStore::url_slot(std::string_view url, std::uint32_t hash) const {
    const size_t mask = url_slots_.size() - 1;
    size_t at = hash & mask;
    // The stored hash spares reading the address of every occupied slot passed.
    while (url_slots_[at].link != kEmptySlot &&
           (url_slots_[at].hash != hash || links_[url_slots_[at].link].url != url)) {
        at = (at + 1) & mask;
    }
    return at;
}

void LinkStore::rebuild_index(const std::vector<std::uint32_t>& hashes) {
    const size_t n = links_.size();
    // Open addressing over positions in the array, at most half full: no node per link.
    url_slots_.assign(std::bit_ceil(std::max<size_t>(16, 2 * n)), UrlSlot{});
    url_counts_.assign(n, 0);
    std::vector<std::uint32_t> first(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint32_t hash = hashes[i];
        UrlSlot& slot = url_slots_[url_slot(links_[i].url, hash)];
        if (slot.link == kEmptySlot) {
            slot = {i, hash};
        }
        first[i] = slot.link;
        ++url_counts_[first[i]];
    }
    for (size_t i = 0; i < n; ++i) {
        links_[i].has_duplicates = url_counts_[first[i]] > 1;
    }
}

const Link* LinkStore::find(int id) const {
    auto it = std::lower_bound(by_id_.begin(), by_id_.end(), std::make_pair(id, std::uint32_t{0}));
    return it != by_id_.end() && it->first == id ? &links_[it->second] : nullptr;
}

std::vector<Link> LinkStore::links_in(int folder) const {
    std::vector<Link> out;
    for (const Link& link : links_) {
        if (link.parent == folder) {
            out.push_back(link);
        }
    }
    return out;
}

int LinkStore::add_link_to(int parent, const std::string& title, const std::string& url,
                           const std::string& comment) {
    Transaction transaction(db_);
    const bool inserted =
        db_.easy_query("INSERT INTO tb_links (title, url, parent, comment) VALUES (?, ?, ?, ?)",
                       {title, url, parent, comment});
    const std::int64_t row_id = db_.last_insert_rowid();
    if (inserted && row_id > kLargestId) {
        db_.reporter().report_text(kNoIdLeftText);
        return 0;
    }
    const int id = static_cast<int>(row_id);
    const bool ok =
        inserted && journal_.record({.action = kUndoAddLink, .id = id}) && transaction.commit();
    update_links_array();
    return ok ? id : 0;
}

int LinkStore::insert_link_with_id(const std::string& title, const std::string& address,
                                   const std::string& comment, int id, int parent, int visits) {
    Transaction transaction(db_);
    const bool ok = db_.easy_query(
                        "INSERT INTO tb_links (title, url, id, parent, comment, "
                        "visits) VALUES (?, ?, ?, ?, ?, ?)",
                        {title, address, id, parent, comment, visits}) &&
                    journal_.record({.action = kUndoAddLink, .id = id}) && transaction.commit();
    return ok ? id : 0;
}

int LinkStore::max_link_id() {
    return static_cast<int>(db_.query_int("SELECT MAX(id) AS maxid FROM tb_links"));
}

bool LinkStore::link_title_free(int parent, const std::string& title) {
    return db_.query_int(
               "SELECT COUNT(*) FROM tb_links WHERE parent = ? AND title = ? AND id NOT IN " +
                   schema::kPendingLinkIds + " AND parent NOT IN " + schema::kPendingFolderIds,
               {parent, title}) == 0;
}

int LinkStore::count_url_links(const std::string& url) const {
    if (url_slots_.empty()) {
        return 0;
    }
    std::uint32_t first = url_slots_[url_slot(url, url_hash(url))].link;
    return first == kEmptySlot ? 0 : static_cast<int>(url_counts_[first]);
}

bool LinkStore::link_address_exists(const std::string& address) const {
    return count_url_links(address) > 0;
}

int LinkStore::check_new_link(NewLinkRequest& request) {
    if (request.parent <= kRootFolder) {
        return msg::kNoLinksInRoot;
    }
    request.title = clean_title(request.title);
    request.url = clean_address(request.url);
    if (request.title.empty() || request.url.empty()) {
        return msg::kItemLinkAddressEmpty;
    }
    request.url = with_default_scheme(request.url);
    if (!request.allow_duplicates && count_url_links(request.url) != 0) {
        return msg::kUrlExists;
    }
    if (!link_title_free(request.parent, request.title)) {
        return msg::kTitleExistsInFolder;
    }
    return 0;
}

int LinkStore::add_new_link(NewLinkRequest request) {
    if (int refusal = check_new_link(request); refusal != 0) {
        db_.reporter().report(refusal);
        return 0;
    }
    return add_link_to(request.parent, request.title, request.url, request.comment);
}

bool LinkStore::edit_link(int id, const std::string& title, const std::string& url,
                          const std::string& comment) {
    const Link* before = find(id);
    if (before == nullptr) {
        return false;
    }
    JournalRecord record{.action = kUndoEditLink,
                         .id = id,
                         .name_from = before->title,
                         .url_from = before->url,
                         .comment_from = before->comment};
    Transaction transaction(db_);
    const bool ok =
        db_.easy_query("UPDATE tb_links SET title = ?, url = ?, comment = ? WHERE id = ?",
                       {title, url, comment, id}) &&
        journal_.record(record) && transaction.commit();
    update_links_array();
    return ok;
}

bool LinkStore::edit_link_checked(int id, std::string title, std::string url, std::string comment) {
    title = clean_title(trim(title, kLineBlanks));
    url = clean_address(url);
    comment = trim(comment, kLineBlanks);
    if (title.empty() || url.empty()) {
        db_.reporter().report(msg::kLinkTitleAddressEmpty);
        return false;
    }
    return edit_link(id, title, url, comment);
}

namespace {

// Each id once, in order of first appearance, keeping only links of the array.
std::vector<const Link*> live_links(const LinkStore& store, const std::vector<int>& ids) {
    std::vector<const Link*> out;
    std::unordered_set<int> seen;
    for (int id : ids) {
        const Link* link = store.find(id);
        if (link != nullptr && seen.insert(id).second) {
            out.push_back(link);
        }
    }
    return out;
}

}  // namespace

int LinkStore::change_addresses(const std::vector<std::pair<int, std::string>>& changes) {
    int group = -1;
    int changed = 0;
    // One batch, all or nothing, so that one Undo takes back exactly what was changed.
    Transaction transaction(db_);
    for (const auto& [id, url] : changes) {
        const Link* link = find(id);
        if (link == nullptr || link->url == url) {
            continue;
        }
        if (!db_.easy_query("UPDATE tb_links SET url = ? WHERE id = ?", {url, id})) {
            break;
        }
        group = group == -1 ? id : group;
        ++changed;
        const bool journalled = journal_.journal({.action = kUndoEditLink,
                                                  .id = id,
                                                  .name_from = link->title,
                                                  .name_to = link->title,
                                                  .url_from = link->url,
                                                  .url_to = url,
                                                  .comment_from = link->comment,
                                                  .comment_to = link->comment,
                                                  .group_id = group});
        if (!journalled) {
            break;
        }
    }
    const bool committed = transaction.commit();
    update_links_array();
    return committed ? changed : 0;
}

bool LinkStore::move_links(const std::vector<int>& ids, int target) {
    if (target <= kRootFolder) {
        db_.reporter().report(msg::kNoLinksInRoot);
        return false;
    }
    const std::vector<const Link*> moved = live_links(*this, ids);
    if (moved.empty()) {
        return false;
    }
    // A link missing from the array has no former parent that an undo could restore.
    const int group = moved.front()->id;
    Transaction transaction(db_);
    bool ok = true;
    for (size_t i = 0; ok && i < moved.size(); ++i) {
        const Link* link = moved[i];
        ok = db_.easy_query("UPDATE tb_links SET parent = ? WHERE id = ?", {target, link->id}) &&
             journal_.record({.action = kUndoMoveLink,
                              .id = link->id,
                              .parent_from = link->parent,
                              .group_id = group});
    }
    ok = ok && transaction.commit();
    update_links_array();
    return ok;
}

bool LinkStore::delete_link(int id) {
    return delete_links({id});
}

bool LinkStore::delete_links(const std::vector<int>& ids) {
    const std::vector<const Link*> deleted = live_links(*this, ids);
    if (deleted.empty()) {
        return false;
    }
    Transaction transaction(db_);
    bool ok = true;
    for (size_t i = 0; ok && i < deleted.size(); ++i) {
        ok = journal_.journal({.action = kUndoDeleteLink, .id = deleted[i]->id});
    }
    ok = ok && transaction.commit();
    update_links_array();
    return ok;
}

std::vector<Link> LinkStore::duplicates_of(int id) const {
    std::vector<Link> out;
    const Link* link = find(id);
    if (link == nullptr) {
        return out;
    }
    const std::string url = link->url;
    for (const Link& other : links_) {
        if (other.url == url) {
            out.push_back(other);
        }
    }
    return out;
}

}  // namespace tb
