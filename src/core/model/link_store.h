#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/folder_store.h"
#include "model/journal.h"
#include "storage/database.h"
#include "storage/ids.h"

namespace tb {

struct Link {
    RowId id = 0;
    std::string title;
    std::string url;
    std::string comment;
    RowId parent = 0;
    int visits = 0;
    std::int64_t last_visit = 0;
    bool has_duplicates = false;
};

// What the New Link dialog, the drop window and the command-line tool ask to add.
struct NewLinkRequest {
    RowId parent = kRootFolder;
    std::string title;
    std::string url;
    std::string comment;
    bool allow_duplicates = false;
};

// "http://" in front of an address that does not start with a scheme ("x://" or "mailto:").
std::string with_default_scheme(const std::string& url);

// tb_links. Nothing is held in memory: every read is one indexed query over the live links
// (those not waiting for the purge), with each link's duplicate flag from the address index.
class LinkStore {
public:
    LinkStore(Database& db, Journal& journal);

    // The live link with this id, or nothing.
    std::optional<Link> find(RowId id) const;
    enum class Order { Title, Id };
    // Whether a read works out each link's duplicate flag, one index lookup per link. A reader
    // that never shows the flag, or works it out later for the rows it shows, skips it, and
    // has_duplicates stays false.
    enum class Flag { Read, Skip };
    // The live links of one folder, by title (byte order), equal titles by id.
    std::vector<Link> links_in(RowId folder, Flag flag = Flag::Read) const;
    // The live links of one folder with any of these addresses, address by address.
    std::vector<Link> links_in_with_urls(RowId folder, const std::vector<std::string>& urls) const;
    // Every live link, in the order of links_in.
    std::vector<Link> links() const;
    // The live links among ids, by id.
    std::vector<Link> links_with_ids(const std::vector<RowId>& ids) const;
    // The id and folder of each live link among ids, by id.
    std::vector<std::pair<RowId, RowId>> live_folders_of(const std::vector<RowId>& ids) const;
    // Calls visit for each live link meeting `condition`, a SQL condition on the row "l" with
    // "?" parameters, in title order (as links_in) or by id; false when the read failed.
    bool visit_links(std::string_view condition, SqlValues values,
                     const std::function<void(const Link&)>& visit, Order order = Order::Title,
                     Flag flag = Flag::Read) const;
    // As visit_links, into a list whose duplicate flags come from one pass over its addresses.
    std::vector<Link> select_links(std::string_view condition, SqlValues values,
                                   Order order = Order::Title, Flag flag = Flag::Read) const;
    // Those of urls that more than one live link has, sorted, each once.
    std::vector<std::string_view> duplicated_addresses(std::vector<std::string_view> urls) const;

    RowId add_link_to(RowId parent, const std::string& title, const std::string& url,
                      const std::string& comment);
    // For imports: one row and its journal line, nothing else.
    RowId insert_link_with_id(const std::string& title, const std::string& address,
                              const std::string& comment, RowId id, RowId parent, int visits);
    RowId max_link_id();

    bool link_title_free(RowId parent, const std::string& title);
    int count_url_links(const std::string& url) const;
    // Whether a live link with an id up to last_id has the address.
    bool link_address_exists(const std::string& address, RowId last_id = kLargestId) const;

    // The New Link checks in their order: 140, 178, (scheme prefix), 179, 180. Returns the
    // refusing message id, or 0 with request.url completed. The title and address are cleaned
    // first (no line breaks or control characters), so an address of nothing else is empty.
    int check_new_link(NewLinkRequest& request);
    // Checks, then adds and journals; returns the new id or 0 with the message reported.
    RowId add_new_link(NewLinkRequest request);

    bool edit_link(RowId id, const std::string& title, const std::string& url,
                   const std::string& comment);
    // The Link Properties and properties-bar edit: trims and cleans as check_new_link does,
    // refuses empty texts with 144.
    bool edit_link_checked(RowId id, std::string title, std::string url, std::string comment);
    // Gives each live link among the pairs its new address, journalled as one group that one
    // undo takes back; the group id is the first changed link. Returns how many changed.
    int change_addresses(const std::vector<std::pair<int, std::string>>& changes);
    // Moves the live links among ids (each once, in order); the group id is the first moved.
    // Refuses the root or a special folder as target with 140.
    bool move_links(const std::vector<RowId>& ids, RowId target);
    bool delete_link(RowId id);
    // Journals every live link among ids once; false when none was live.
    bool delete_links(const std::vector<RowId>& ids);
    // The live links with the address of link id, that link included.
    std::vector<Link> duplicates_of(RowId id) const;

    RowId last_opened() const { return last_opened_; }
    void set_last_opened(RowId id) { last_opened_ = id; }

    Database& db() { return db_; }

private:
    // Sets each link's duplicate flag: whether another live link has its address.
    void mark_duplicates(std::vector<Link>& links) const;
    // The live links among ids, by id.
    std::unordered_map<RowId, Link> live_by_id(const std::vector<RowId>& ids) const;
    // Each id once, in order of first appearance, keeping only live links.
    std::vector<Link> live_links(const std::vector<RowId>& ids) const;

    Database& db_;
    Journal& journal_;
    RowId last_opened_ = -1;
};

}  // namespace tb
