#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/folder_store.h"
#include "model/journal.h"
#include "storage/database.h"

namespace tb {

struct Link {
    int id = 0;
    std::string title;
    std::string url;
    std::string comment;
    int parent = 0;
    int visits = 0;
    std::int64_t last_visit = 0;
    bool has_duplicates = false;
};

// What the New Link dialog, the drop window and the command-line tool ask to add.
struct NewLinkRequest {
    int parent = kRootFolder;
    std::string title;
    std::string url;
    std::string comment;
    bool allow_duplicates = false;
};

// "http://" in front of an address that does not start with a scheme ("x://" or "mailto:").
std::string with_default_scheme(const std::string& url);

// tb_links and the in-memory array of live links, sorted by title, with duplicate flags.
class LinkStore {
public:
    LinkStore(Database& db, Journal& journal);

    // Reloads the array; returns the number of links, or -1 when the query failed.
    int update_links_array();
    const std::vector<Link>& links() const { return links_; }
    const Link* find(int id) const;
    // The live links of one folder, in array order.
    std::vector<Link> links_in(int folder) const;

    int add_link_to(int parent, const std::string& title, const std::string& url,
                    const std::string& comment);
    // For imports: no reload; the caller reloads once at the end.
    int insert_link_with_id(const std::string& title, const std::string& address,
                            const std::string& comment, int id, int parent, int visits);
    int max_link_id();

    bool link_title_free(int parent, const std::string& title);
    int count_url_links(const std::string& url) const;
    bool link_address_exists(const std::string& address) const;

    // The New Link checks in their order: 140, 178, (scheme prefix), 179, 180. Returns the
    // refusing message id, or 0 with request.url completed. The title and address are cleaned
    // first (no line breaks or control characters), so an address of nothing else is empty.
    int check_new_link(NewLinkRequest& request);
    // Checks, then adds and journals; returns the new id or 0 with the message reported.
    int add_new_link(NewLinkRequest request);

    bool edit_link(int id, const std::string& title, const std::string& url,
                   const std::string& comment);
    // The Link Properties and properties-bar edit: trims and cleans as check_new_link does,
    // refuses empty texts with 144.
    bool edit_link_checked(int id, std::string title, std::string url, std::string comment);
    // Gives each live link among the pairs its new address, journalled as one group that one
    // undo takes back; the group id is the first changed link. Returns how many changed.
    int change_addresses(const std::vector<std::pair<int, std::string>>& changes);
    // Moves the live links among ids (each once, in order); the group id is the first moved.
    // Refuses the root or a special folder as target with 140.
    bool move_links(const std::vector<int>& ids, int target);
    bool delete_link(int id);
    // Journals every live link among ids once, then reloads once; false when none was live.
    bool delete_links(const std::vector<int>& ids);
    std::vector<Link> duplicates_of(int id) const;

    int last_opened() const { return last_opened_; }
    void set_last_opened(int id) { last_opened_ = id; }

    Database& db() { return db_; }

private:
    // hashes[i] is the address hash of links_[i].
    void rebuild_index(const std::vector<std::uint32_t>& hashes);

    Database& db_;
    Journal& journal_;
    std::vector<Link> links_;
    // (id, position) sorted by id: lookups without a scan and without a hash node per link.
    std::vector<std::pair<int, std::uint32_t>> by_id_;
    static constexpr std::uint32_t kEmptySlot = UINT32_MAX;
    struct UrlSlot {
        std::uint32_t link = kEmptySlot;
        std::uint32_t hash = 0;
    };
    // Slot of an address in url_slots_: where it is, or the empty slot where it would go.
    size_t url_slot(std::string_view url, std::uint32_t hash) const;

    // Shells of the previous load, reused to spare an allocation per text.
    std::vector<Link> spare_;
    // Positions in links_ by address hash; url_counts_ holds, at the position of the first link
    // with an address, how many live links have it.
    std::vector<UrlSlot> url_slots_;
    std::vector<std::uint32_t> url_counts_;
    int last_opened_ = -1;
};

}  // namespace tb
