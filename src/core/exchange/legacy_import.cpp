#include "exchange/legacy_import.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <map>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "platform/log.h"
#include "platform/messages.h"
#include "text/control_chars.h"
#include "text/file_bytes.h"
#include "text/strings.h"
#include "text/unicode.h"

namespace tb {

namespace {

namespace fs = std::filesystem;

// The file's lines as UTF-8 (Windows-1251 unless already UTF-8); false when unreadable.
bool read_lines(const fs::path& file, std::vector<std::string>& lines) {
    std::optional<std::string> bytes = read_file_bytes(file);
    if (!bytes) {
        return false;
    }
    std::string text = utf8_or_cp1251(*bytes);
    std::string_view rest = text;
    while (!rest.empty()) {
        std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.emplace_back(line);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    return true;
}

// Old ids are kept as old id + base + 1 up to this bound. A larger one gets a fresh id above
// every kept one, so that one stray id in an old file does not push up every id handed out next.
constexpr RowId kLargestKeptId = 1LL << 30;

bool keeps_id(int old_id, RowId base) {
    return old_id + base + 1 <= kLargestKeptId;
}

// Hands out the fresh ids of one kind of row, from one above the largest kept id.
class FreshIds {
public:
    FreshIds(const char* kind, RowId next) : kind_(kind), next_(next) {}

    // The new id for old_id, or 0 when no id is left (the row is skipped).
    RowId take(int old_id) {
        const std::string what = std::string("*** ") + kind_ + " id " + std::to_string(old_id);
        if (next_ > kLargestId) {
            log_append(what + " is too large and no id is left; it is skipped");
            return 0;
        }
        log_append(what + " is too large to keep; it is imported as " + std::to_string(next_));
        return next_++;
    }

private:
    const char* kind_;
    RowId next_;
};

// One above the largest id that a kept old id becomes, and above base.
template <typename Ids>
RowId first_fresh_id(const Ids& old_ids, RowId base) {
    RowId largest = base;
    for (int old_id : old_ids) {
        if (old_id >= 0 && keeps_id(old_id, base)) {
            largest = std::max(largest, old_id + base + 1);
        }
    }
    return largest + 1;
}

void log_bad_line(const char* file, const std::string& line) {
    log_append(std::string("*** Skipped line of ") + file + ": '" + line + "'");
}

struct OldFolder {
    int old_id = 0;
    std::string title;
    int old_parent = 0;
    RowId id = 0;  // the id it gets
};

class LegacyImport {
public:
    LegacyImport(ImportContext& context, const fs::path& folder)
        : context_(context), folder_(folder), top_(context.top_folder()) {}

    bool run() {
        std::vector<std::string> dbf, dbd, dbi;
        const bool structure = !context_.options.ignore_structure;
        if (structure) {
            if (!read_lines(folder_ / "data.dbf", dbf)) {
                return refuse(msg::kCannotReadDbf);
            }
            context_.set_total(dbf.size());
            if (!make_folders(dbf)) {
                return true;
            }
            if (!read_lines(folder_ / "data.dbd", dbd)) {
                return refuse(msg::kCannotReadDbd);
            }
            read_memberships(dbd);
        }
        if (!read_lines(folder_ / "data.dbi", dbi)) {
            return refuse(msg::kCannotReadDbi);
        }
        context_.set_total(dbf.size() + dbi.size());
        make_links(dbi);
        return true;
    }

private:
    bool refuse(int message) {
        context_.model.db.reporter().report(message);
        return false;
    }

    std::vector<OldFolder> read_folders(const std::vector<std::string>& lines) {
        std::vector<OldFolder> folders;
        std::unordered_set<int> seen;
        for (const std::string& line : lines) {
            if (line.empty()) {
                continue;
            }
            std::vector<std::string> fields = split_legacy_fields(line);
            if (fields.size() < 3) {
                log_bad_line("data.dbf", line);
                continue;
            }
            OldFolder folder{legacy_number(fields[0]), fields[1], legacy_number(fields[2])};
            // A negative id would take the top folder's id or one below it.
            if (folder.old_id < 0 || !seen.insert(folder.old_id).second) {
                log_bad_line("data.dbf", line);
                continue;
            }
            folders.push_back(std::move(folder));
        }
        return assign_folder_ids(std::move(folders));
    }

    std::vector<OldFolder> assign_folder_ids(std::vector<OldFolder> folders) {
        std::vector<int> old_ids;
        for (const OldFolder& folder : folders) {
            old_ids.push_back(folder.old_id);
        }
        FreshIds fresh("Folder", first_fresh_id(old_ids, top_));
        std::vector<OldFolder> kept;
        for (OldFolder& folder : folders) {
            folder.id = keeps_id(folder.old_id, top_) ? folder.old_id + top_ + 1
                                                      : fresh.take(folder.old_id);
            if (folder.id != 0) {
                kept.push_back(std::move(folder));
            }
        }
        return kept;
    }

    // Index of each folder's parent record, or -1 for the top folder: parent -1, a parent no
    // line defines, the folder itself, and every folder of a parent cycle go there.
    static std::vector<int> parent_records(const std::vector<OldFolder>& folders) {
        std::unordered_map<int, int> index;
        for (std::size_t i = 0; i < folders.size(); ++i) {
            index[folders[i].old_id] = static_cast<int>(i);
        }
        std::vector<int> parent(folders.size(), -1);
        for (std::size_t i = 0; i < folders.size(); ++i) {
            auto it = index.find(folders[i].old_parent);
            if (folders[i].old_parent != -1 && it != index.end() &&
                it->second != static_cast<int>(i)) {
                parent[i] = it->second;
            }
        }
        // 0 unvisited, 1 on the current walk, 2 done.
        std::vector<char> state(folders.size(), 0);
        for (std::size_t start = 0; start < folders.size(); ++start) {
            std::vector<int> path;
            int at = static_cast<int>(start);
            while (at != -1 && state[static_cast<std::size_t>(at)] == 0) {
                state[static_cast<std::size_t>(at)] = 1;
                path.push_back(at);
                at = parent[static_cast<std::size_t>(at)];
            }
            if (at != -1 && state[static_cast<std::size_t>(at)] == 1) {
                // The walk closed a cycle at `at`: cut every folder of it loose.
                for (auto it = path.rbegin(); it != path.rend(); ++it) {
                    int on_cycle = *it;
                    parent[static_cast<std::size_t>(on_cycle)] = -1;
                    if (on_cycle == at) {
                        break;
                    }
                }
            }
            for (int done : path) {
                state[static_cast<std::size_t>(done)] = 2;
            }
        }
        return parent;
    }

    // Creates the folders parents first, children in file order; false once cancelled.
    bool make_folders(const std::vector<std::string>& lines) {
        std::vector<OldFolder> folders = read_folders(lines);
        std::vector<int> parent = parent_records(folders);
        std::vector<std::vector<int>> children(folders.size() + 1);
        for (std::size_t i = 0; i < folders.size(); ++i) {
            int p = parent[i];
            children[p == -1 ? folders.size() : static_cast<std::size_t>(p)].push_back(
                static_cast<int>(i));
        }
        std::vector<RowId> ids(folders.size(), top_);
        std::vector<std::pair<int, RowId>> pending;  // (record, new parent id)
        for (auto it = children[folders.size()].rbegin(); it != children[folders.size()].rend();
             ++it) {
            pending.emplace_back(*it, top_);
        }
        while (!pending.empty()) {
            auto [record, parent_id] = pending.back();
            pending.pop_back();
            const OldFolder& folder = folders[static_cast<std::size_t>(record)];
            RowId id = context_.folder(parent_id, folder.title, folder.id);
            ids[static_cast<std::size_t>(record)] = id != 0 ? id : parent_id;
            folder_ids_[folder.old_id] = ids[static_cast<std::size_t>(record)];
            const auto& kids = children[static_cast<std::size_t>(record)];
            for (auto kid = kids.rbegin(); kid != kids.rend(); ++kid) {
                pending.emplace_back(*kid, ids[static_cast<std::size_t>(record)]);
            }
            if (!context_.item_done()) {
                return false;
            }
        }
        return true;
    }

    void read_memberships(const std::vector<std::string>& lines) {
        for (const std::string& line : lines) {
            std::vector<std::string> fields = split_legacy_fields(line);
            if (fields.size() != 2) {
                continue;
            }
            // A link whose folder no line defines goes into the top folder.
            auto folder = folder_ids_.find(legacy_number(fields[1]));
            membership_.emplace(legacy_number(fields[0]),
                                folder == folder_ids_.end() ? top_ : folder->second);
        }
    }

    void make_links(const std::vector<std::string>& lines) {
        const RowId base = context_.model.links.max_link_id();
        std::vector<int> old_ids;
        for (const std::string& line : lines) {
            old_ids.push_back(legacy_number(line));
        }
        FreshIds fresh("Link", first_fresh_id(old_ids, base));
        std::unordered_set<std::string> inserted;
        std::unordered_set<int> used_ids;
        for (const std::string& line : lines) {
            if (!line.empty() && !make_link(line, base, fresh, inserted, used_ids)) {
                return;
            }
        }
    }

    // False once cancelled.
    bool make_link(const std::string& line, RowId base, FreshIds& fresh,
                   std::unordered_set<std::string>& inserted, std::unordered_set<int>& used_ids) {
        std::vector<std::string> fields = split_legacy_fields(line);
        const int old_id = fields.empty() ? -1 : legacy_number(fields[0]);
        // A negative or repeated id would collide with an existing or an imported row.
        if (fields.size() < 5 || old_id < 0 || !used_ids.insert(old_id).second) {
            log_bad_line("data.dbi", line);
            return context_.item_done();
        }
        const RowId id = keeps_id(old_id, base) ? old_id + base + 1 : fresh.take(old_id);
        if (id == 0) {
            return context_.item_done();
        }
        const std::string& title = fields[1];
        const std::string address = clean_address(fields[2]);
        int visits = legacy_number(fields[4]);
        visits = visits == -1 ? 0 : visits;
        if (context_.options.ignore_existing &&
            (context_.model.links.link_address_exists(address) || inserted.count(address) != 0)) {
            return context_.item_done();
        }
        RowId folder = top_;
        if (!context_.options.ignore_structure) {
            auto it = membership_.find(old_id);
            if (it == membership_.end()) {
                log_orphan(id, title, address);
                return context_.item_done();
            }
            folder = it->second;
        }
        if (context_.insert_link(title, address, fields[3], id, folder, visits)) {
            inserted.insert(address);
        }
        return context_.item_done();
    }

    static void log_orphan(RowId id, const std::string& title, const std::string& address) {
        log_append("*** Orphan link: id = '" + std::to_string(id) + "', title ='" + title +
                   "', url = '" + address + "', parent = '-1'");
    }

    ImportContext& context_;
    fs::path folder_;
    RowId top_;
    std::unordered_map<int, RowId> folder_ids_;  // old folder id -> new id
    std::map<int, RowId> membership_;            // old link id -> new folder id, first line wins
};

}  // namespace

std::vector<std::string> split_legacy_fields(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (start < line.size()) {
        std::size_t end = line.find(';', start);
        if (end == std::string_view::npos) {
            fields.emplace_back(line.substr(start));
            return fields;
        }
        fields.emplace_back(line.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

int legacy_number(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && is_ascii_space(field[i])) {
        ++i;
    }
    bool negative = false;
    if (i < field.size() && (field[i] == '-' || field[i] == '+')) {
        negative = field[i] == '-';
        ++i;
    }
    long long value = 0;
    while (i < field.size() && field[i] >= '0' && field[i] <= '9') {
        value = std::min<long long>(value * 10 + (field[i] - '0'), 1LL + INT_MAX);
        ++i;
    }
    value = negative ? -value : value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

bool import_legacy_database(ImportContext& context, const std::filesystem::path& folder) {
    if (context.create_top_folder(kLegacyTopTitle, false) == 0) {
        return false;
    }
    return LegacyImport(context, folder).run();
}

}  // namespace tb
