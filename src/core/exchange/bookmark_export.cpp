#include "exchange/bookmark_export.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/strings.h"
#include "text/background_writer.h"
#include "text/codecs.h"
#include "text/text_file_writer.h"
#include "text/unicode.h"

namespace tb {

namespace {

// What the file text is handed to the writer in: large enough to keep writes few, small enough
// to stay in the cache while it is filled.
constexpr size_t kChunkSize = 512 * 1024;

// Whether text holds any of the bytes Specials. Where the compiler offers vectors, sixteen bytes
// are checked at a time, and a text of at least sixteen ends with an overlapping block.
template <unsigned char... Specials>
bool contains_any(std::string_view text) {
#if defined(__GNUC__)
    using Block = unsigned char __attribute__((vector_size(16)));
    if (text.size() >= sizeof(Block)) {
        auto block_has = [](const char* at) {
            Block block;
            std::memcpy(&block, at, sizeof block);
            const auto hits = ((block == Specials) | ...);
            std::uint64_t halves[2];
            std::memcpy(halves, &hits, sizeof halves);
            return (halves[0] | halves[1]) != 0;
        };
        const size_t last = text.size() - sizeof(Block);
        for (size_t at = 0; at < last; at += sizeof(Block)) {
            if (block_has(text.data() + at)) {
                return true;
            }
        }
        return block_has(text.data() + last);
    }
#endif
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return ((static_cast<unsigned char>(c) == Specials) || ...); });
}

// A title needs encoding for the entity characters, line breaks, and the lead byte of the UTF-8
// guillemets; an address for a double quote and line breaks.
bool is_plain_title(std::string_view title) {
    return !contains_any<'&', '<', '>', '"', '\r', '\n', 0xC2>(title);
}

bool is_plain_address(std::string_view url) {
    return !contains_any<'"', '\r', '\n'>(url);
}

// Appends a title on one line (the file format is line-based), entity-encoded.
void append_title(std::string& out, std::string_view title) {
    if (is_plain_title(title)) {
        out += title;
        return;
    }
    std::string flat;
    flat.reserve(title.size());
    for (size_t i = 0; i < title.size(); ++i) {
        if (title[i] == '\r' && i + 1 < title.size() && title[i + 1] == '\n') {
            continue;
        }
        flat += title[i] == '\r' || title[i] == '\n' ? ' ' : title[i];
    }
    out += encode_html_entities(flat);
}

// A line break would split the link's line, and readers drop it from an address anyway.
void append_address(std::string& out, std::string_view url) {
    for (char c : url) {
        if (c == '"') {
            out += "%22";
        } else if (c != '\r' && c != '\n') {
            out += c;
        }
    }
}

// What a link line is made of.
struct LinkText {
    std::string_view title;
    std::string_view url;
};

// Folder id to a small number, in an open-addressed table: the export looks up the folder of
// every link, and the table of a few thousand folders stays in the cache.
class SlotTable {
public:
    explicit SlotTable(const std::vector<const Folder*>& folders) {
        size_t size = 16;
        while (size < 2 * folders.size()) {
            size *= 2;
        }
        cells_.resize(size);
        for (size_t slot = 0; slot < folders.size(); ++slot) {
            Cell& cell = cells_[probe(folders[slot]->id)];
            cell = {folders[slot]->id, slot + 1};
        }
    }

    static constexpr size_t kNone = static_cast<size_t>(-1);

    size_t find(int id) const {
        const Cell& cell = cells_[probe(id)];
        return cell.slot_plus_one == 0 ? kNone : cell.slot_plus_one - 1;
    }

private:
    struct Cell {
        int id = 0;
        size_t slot_plus_one = 0;
    };

    // The cell holding id, or the empty cell where it would go.
    size_t probe(int id) const {
        const size_t mask = cells_.size() - 1;
        size_t at = (static_cast<std::uint32_t>(id) * 2654435769u) & mask;
        while (cells_[at].slot_plus_one != 0 && cells_[at].id != id) {
            at = (at + 1) & mask;
        }
        return at;
    }

    std::vector<Cell> cells_;
};

// The live links of the model's array grouped by folder, in the order the folders are written,
// each group keeping the array's title order; so the export needs neither a database read nor a
// sort of its own. Only the texts are gathered, so writing reads one compact array in order.
class FolderLinks {
public:
    FolderLinks(const std::vector<Link>& links, const std::vector<const Folder*>& folders)
        : slots_(folders) {
        // One pass over the records, which are large; the grouping then reads the compact copy.
        std::vector<SlottedText> read;
        read.reserve(links.size());
        starts_.assign(folders.size() + 1, 0);
        for (const Link& link : links) {
            const size_t slot = slots_.find(link.parent);
            if (slot != SlotTable::kNone) {
                read.push_back({slot, {link.title, link.url}});
                ++starts_[slot + 1];
            }
        }
        for (size_t slot = 1; slot < starts_.size(); ++slot) {
            starts_[slot] += starts_[slot - 1];
        }
        std::vector<size_t> next(starts_.begin(), starts_.end() - 1);
        texts_.resize(read.size());
        for (const SlottedText& text : read) {
            texts_[next[text.slot]++] = text.text;
        }
    }

    // Every group, one after the other.
    std::span<const LinkText> all() const { return texts_; }
    std::span<const LinkText> of(int folder) const {
        const size_t slot = slots_.find(folder);
        if (slot == SlotTable::kNone) {
            return {};
        }
        return all().subspan(starts_[slot], starts_[slot + 1] - starts_[slot]);
    }

private:
    struct SlottedText {
        size_t slot;
        LinkText text;
    };

    SlotTable slots_;
    std::vector<size_t> starts_;
    std::vector<LinkText> texts_;
};

// The folders to write, by parent, and the links of each folder. A folder whose only links are
// pending deletion still counts as holding links: it gets its (empty) list block.
class ExportTree {
public:
    ExportTree(Model& model, int branch) {
        for (const Folder& folder : model.folders.list()) {
            if (folder.id != kRootFolder) {
                children_[folder.tree_parent].push_back(&folder);
            }
        }
        for (auto& [parent, list] : children_) {
            std::stable_sort(list.begin(), list.end(),
                             [](const Folder* a, const Folder* b) { return a->title < b->title; });
        }
        if (branch == kNoFolder) {
            // Ascending id, so that the same tree always gives the same file.
            tops_ = children(kRootFolder);
            std::sort(tops_.begin(), tops_.end(),
                      [](const Folder* a, const Folder* b) { return a->id < b->id; });
        } else if (const Folder* folder = model.folders.find(branch)) {
            tops_.push_back(folder);
        }
        links_.emplace(model.links.links(), folders_in_writing_order());
        read_folders_with_deleted_links(model.db);
    }

    // The folders whose blocks make up the file.
    const std::vector<const Folder*>& tops() const { return tops_; }
    const std::vector<const Folder*>& children(int id) const {
        auto it = children_.find(id);
        return it != children_.end() ? it->second : none_;
    }
    bool has_link_rows(int id) const {
        return !links(id).empty() || with_deleted_links_.count(id) > 0;
    }
    std::span<const LinkText> links(int id) const { return links_->of(id); }
    std::span<const LinkText> all_links() const { return links_->all(); }

private:
    // Depth first, each folder before its children, as the blocks are written.
    std::vector<const Folder*> folders_in_writing_order() const {
        std::vector<const Folder*> order;
        std::vector<const Folder*> pending(tops_.rbegin(), tops_.rend());
        while (!pending.empty()) {
            const Folder* folder = pending.back();
            pending.pop_back();
            order.push_back(folder);
            const auto& below = children(folder->id);
            pending.insert(pending.end(), below.rbegin(), below.rend());
        }
        return order;
    }

    void read_folders_with_deleted_links(Database& db) {
        auto parents = db.prepare(
            "SELECT DISTINCT parent FROM tb_links WHERE id IN (SELECT id "
            "FROM tb_undo WHERE action = ?)",
            {kUndoDeleteLink});
        while (parents && parents->step() == Step::Row) {
            with_deleted_links_.insert(parents->integer(0));
        }
    }

    std::unordered_map<int, std::vector<const Folder*>> children_;
    std::vector<const Folder*> tops_;
    std::optional<FolderLinks> links_;
    std::unordered_set<int> with_deleted_links_;
    const std::vector<const Folder*> none_;
};

// Appends one link line after lead, its indent and opening. The usual line needs no encoding and
// is copied straight into place, since many small appends would cost most of the export's time.
void append_link_line(std::string& out, std::string_view lead, const LinkText& link) {
    constexpr std::string_view kMiddle = "\">";
    constexpr std::string_view kEnd = "</A>\n";
    if (is_plain_address(link.url) && is_plain_title(link.title)) {
        const size_t at = out.size();
        out.resize(at + lead.size() + link.url.size() + kMiddle.size() + link.title.size() +
                   kEnd.size());
        char* end = out.data() + at;
        for (std::string_view part : {lead, link.url, kMiddle, link.title, kEnd}) {
            std::memcpy(end, part.data(), part.size());
            end += part.size();
        }
        return;
    }
    out += lead;
    append_address(out, link.url);
    out += kMiddle;
    append_title(out, link.title);
    out += kEnd;
}

// Asks for the cache line at address without waiting for it.
inline void prefetch(const void* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address);
    // Without a barrier after it, GCC 12 drops the prefetch from loops that append to strings.
    asm volatile("");
#else
    (void)address;
#endif
}

// The texts of the links lie scattered in memory, so reading them one after the other would
// wait on memory for each: ask early for those further on.
void prefetch_ahead(std::span<const LinkText> links, size_t at) {
    constexpr size_t kDistance = 16;
    const LinkText& ahead = links[std::min(at + kDistance, links.size() - 1)];
    prefetch(ahead.title.data());
    prefetch(ahead.url.data());
}

// Writes folder blocks depth first without recursion, so any depth of nesting is safe. With a
// sink, the text is handed over in chunks that end at a line end, never inside a character.
class BlockWriter {
public:
    BlockWriter(const ExportTree& tree, std::string& out, BackgroundWriter* sink)
        : tree_(tree), out_(out), sink_(sink) {}

    void write_block(const Folder& start) {
        open(start);
        while (!stack_.empty()) {
            Frame& top = stack_.back();
            if (top.next < top.children->size()) {
                open(*(*top.children)[top.next++]);
                continue;
            }
            if (!top.children->empty()) {
                out_ += top.indent;
                out_ += "    </DL><p>\n";
            }
            stack_.pop_back();
        }
    }

private:
    struct Frame {
        const std::vector<const Folder*>* children;
        size_t next;
        std::string indent;
    };

    void open(const Folder& folder) {
        std::string indent(4 * static_cast<size_t>(folder.level), ' ');
        out_ += indent;
        out_ += "<DT><H3>";
        append_title(out_, folder.title);
        out_ += "</H3>\n";
        const auto& children = tree_.children(folder.id);
        if (children.empty() && !tree_.has_link_rows(folder.id)) {
            return;
        }
        out_ += indent;
        out_ += "<DL><p>\n";
        const std::string lead = indent + "    <DT><A HREF=\"";
        const auto all = tree_.all_links();
        const auto links = tree_.links(folder.id);
        for (size_t i = 0; i < links.size(); ++i) {
            prefetch_ahead(all, static_cast<size_t>(&links[i] - all.data()));
            append_link_line(out_, lead, links[i]);
            hand_over_full_chunk();
        }
        if (children.empty()) {
            out_ += indent;
            out_ += "</DL><p>\n";
            return;
        }
        stack_.push_back({&children, 0, std::move(indent)});
    }

    void hand_over_full_chunk() {
        if (sink_ != nullptr && out_.size() >= kChunkSize) {
            sink_->put(out_);
        }
    }

    const ExportTree& tree_;
    std::string& out_;
    BackgroundWriter* sink_;
    std::vector<Frame> stack_;
};

// The whole file into out, or in chunks to sink with the rest left in out.
void write_bookmark_file(Model& model, int branch, std::string& out, BackgroundWriter* sink) {
    out +=
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
        "<!-- This is a file generated by Tagberry 2.0 (";
    out += kMakerWebSite;
    out +=
        ") -->\n"
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">"
        "<TITLE>Tagberry 2.0 Bookmarks</TITLE>\n"
        "<H1>Tagberry 2.0 Bookmarks</H1>\n\n"
        "<DL><p>\n";
    const ExportTree tree(model, branch);
    BlockWriter writer(tree, out, sink);
    for (const Folder* folder : tree.tops()) {
        writer.write_block(*folder);
    }
    out += "</DL>";
}

}  // namespace

std::string export_address(std::string_view url) {
    std::string out;
    append_address(out, url);
    return out;
}

void report_unwritable(Reporter& reporter, const TextFileWriter& writer,
                       const std::filesystem::path& path) {
    if (writer.target_not_a_file()) {
        reporter.report(msg::kNotARegularFile, {sanitize_utf8(path.string())});
    } else {
        reporter.report(msg::kCannotOpenForWriting);
    }
}

std::string bookmark_file_text(Model& model, int branch) {
    std::string out;
    write_bookmark_file(model, branch, out, nullptr);
    return out;
}

bool export_bookmarks(Model& model, const std::filesystem::path& path, int branch) {
    Reporter& reporter = model.db.reporter();
    TextFileWriter writer(path);
    if (!writer.is_open()) {
        report_unwritable(reporter, writer, path);
        return false;
    }
    bool written = false;
    {
        BackgroundWriter background(writer);
        std::string chunk;
        chunk.reserve(kChunkSize + 64 * 1024);
        write_bookmark_file(model, branch, chunk, &background);
        background.put(chunk);
        written = background.finish();
    }
    if (!written || !writer.close()) {
        reporter.report(msg::kCannotOpenForWriting);
        return false;
    }
    reporter.report(msg::kBookmarksSaved);
    return true;
}

std::optional<std::string> branch_export_file_name(Model& model, int current_folder,
                                                   const std::string& query_text) {
    if (current_folder == kRootFolder) {
        return kDefaultExportFileName;
    }
    if (current_folder == kSearchResultsFolder) {
        if (query_text.empty()) {
            model.db.reporter().report(msg::kNothingToSave);
            return std::nullopt;
        }
        return safe_file_name(query_text) + ".html";
    }
    const Folder* folder = current_folder > 0 ? model.folders.find(current_folder) : nullptr;
    if (folder == nullptr) {
        return std::nullopt;
    }
    return safe_file_name(folder->title) + ".html";
}

}  // namespace tb
