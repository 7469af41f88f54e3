#include "model/link_store.h"

#include <algorithm>
#include <cctype>
#include <unordered_set>

#include "platform/strings.h"

namespace tb {

namespace {

std::string trim(const std::string& text) {
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

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

bool starts_with_mailto(const std::string& url) {
    const std::string prefix = "mailto:";
    if (url.size() < prefix.size()) {
        return false;
    }
    return std::equal(prefix.begin(), prefix.end(), url.begin(), [](char a, char b) {
        return a == std::tolower(static_cast<unsigned char>(b));
    });
}

}  // namespace

std::string with_default_scheme(const std::string& url) {
    return starts_with_scheme(url) || starts_with_mailto(url) ? url : "http://" + url;
}

LinkStore::LinkStore(Database& db, Journal& journal) : db_(db), journal_(journal) {}

int LinkStore::update_links_array() {
    links_.clear();
    auto row = db_.prepare(
        "SELECT * FROM tb_links WHERE id NOT IN (SELECT id FROM tb_undo WHERE action = '3') AND "
        "parent NOT IN (SELECT id FROM tb_undo WHERE action = '2')");
    if (!row) {
        rebuild_index();
        return -1;
    }
    while (row->step()) {
        Link& link = links_.emplace_back();
        link.id = row->integer(0);
        link.title = row->text(1);
        link.url = row->text(2);
        link.comment = row->text(3);
        link.parent = row->integer(4);
        link.visits = row->integer(5);
        link.last_visit = row->int64(6);
    }
    std::stable_sort(links_.begin(), links_.end(),
                     [](const Link& a, const Link& b) { return a.title < b.title; });
    rebuild_index();
    return static_cast<int>(links_.size());
}

void LinkStore::rebuild_index() {
    index_.clear();
    url_counts_.clear();
    index_.reserve(links_.size());
    url_counts_.reserve(links_.size());
    for (size_t i = 0; i < links_.size(); ++i) {
        index_[links_[i].id] = i;
        ++url_counts_[links_[i].url];
    }
    for (Link& link : links_) {
        link.has_duplicates = url_counts_[link.url] > 1;
    }
}

const Link* LinkStore::find(int id) const {
    auto it = index_.find(id);
    return it == index_.end() ? nullptr : &links_[it->second];
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
    bool ok = db_.easy_query(sql_format(
        "INSERT INTO tb_links (title, url, parent, comment) VALUES ('%q', '%q', '%d', '%q')",
        title.c_str(), url.c_str(), parent, comment.c_str()));
    int id = ok ? static_cast<int>(db_.last_insert_rowid()) : 0;
    update_links_array();
    if (id != 0) {
        journal_.journal({.action = kUndoAddLink, .id = id});
    }
    return id;
}

int LinkStore::insert_link_with_id(const std::string& title, const std::string& address,
                                   const std::string& comment, int id, int parent, int visits) {
    bool ok = db_.easy_query(sql_format(
        "INSERT INTO tb_links (title, url, id, parent, comment, visits) VALUES ('%q', '%q', '%d', "
        "'%d', '%q', '%d')",
        title.c_str(), address.c_str(), id, parent, comment.c_str(), visits));
    if (!ok) {
        return 0;
    }
    journal_.journal({.action = kUndoAddLink, .id = id});
    return id;
}

int LinkStore::max_link_id() {
    return static_cast<int>(db_.query_int("SELECT MAX(id) AS maxid FROM tb_links"));
}

bool LinkStore::link_title_free(int parent, const std::string& title) {
    return db_.query_int(sql_format(
               "SELECT COUNT(*) FROM tb_links WHERE parent = '%d' AND title = '%q' AND id NOT IN "
               "(SELECT id FROM tb_undo WHERE action = '3') AND parent NOT IN (SELECT id FROM "
               "tb_undo WHERE action = '2')",
               parent, title.c_str())) == 0;
}

int LinkStore::count_url_links(const std::string& url) const {
    auto it = url_counts_.find(url);
    return it == url_counts_.end() ? 0 : it->second;
}

bool LinkStore::link_address_exists(const std::string& address) const {
    return count_url_links(address) > 0;
}

int LinkStore::check_new_link(NewLinkRequest& request) {
    if (request.parent <= kRootFolder) {
        return msg::kNoLinksInRoot;
    }
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
    bool ok = db_.easy_query(
        sql_format("UPDATE tb_links SET title = '%q', url = '%q', comment = '%q' WHERE id = '%d'",
                   title.c_str(), url.c_str(), comment.c_str(), id));
    if (ok) {
        journal_.journal(record);
    }
    update_links_array();
    return ok;
}

bool LinkStore::edit_link_checked(int id, std::string title, std::string url, std::string comment) {
    title = trim(title);
    url = trim(url);
    comment = trim(comment);
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
    bool ok = true;
    db_.set_bulk_mode(true);
    for (const Link* link : moved) {
        ok = db_.easy_query(sql_format("UPDATE tb_links SET parent = '%d' WHERE id = '%d'", target,
                                       link->id)) &&
             ok;
        journal_.journal({.action = kUndoMoveLink,
                          .id = link->id,
                          .parent_from = link->parent,
                          .group_id = group});
    }
    db_.set_bulk_mode(false);
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
    db_.set_bulk_mode(true);
    for (const Link* link : deleted) {
        journal_.journal({.action = kUndoDeleteLink, .id = link->id});
    }
    db_.set_bulk_mode(false);
    update_links_array();
    return true;
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
