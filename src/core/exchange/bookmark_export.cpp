#include "exchange/bookmark_export.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <vector>

#include "exchange/folder_depth.h"
#include "platform/messages.h"
#include "text/file_names.h"
#include "text/html_entities.h"
#include "text/text_file_writer.h"
#include "text/unicode.h"

namespace tb {

namespace {

// The text is handed to the file in pieces of about this size, so a large export never holds
// the whole file in memory.
constexpr size_t kChunkSize = 512 * 1024;

// A title needs encoding for the entity characters, line breaks, and the lead byte of the UTF-8
// guillemets; an address for a double quote and line breaks.
bool is_plain_title(std::string_view title) {
    return std::none_of(title.begin(), title.end(), [](char c) {
        return c == '&' || c == '<' || c == '>' || c == '"' || c == '\r' || c == '\n' ||
               c == '\xC2';
    });
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
    const auto special = [](char c) { return c == '"' || c == '\r' || c == '\n'; };
    // The bytes between special ones are copied as runs: an export writes every address.
    auto plain = url.begin();
    for (auto at = std::find_if(plain, url.end(), special); at != url.end();
         at = std::find_if(plain, url.end(), special)) {
        out.append(plain, at);
        if (*at == '"') {
            out += "%22";
        }
        plain = at + 1;
    }
    out.append(plain, url.end());
}

struct LinkText {
    std::string title;
    std::string url;
};

// The live links by folder, each folder's in the list's order: titles in byte order, equal
// titles by id. A folder whose only links are pending deletion gets an empty entry: it still
// holds link rows, so it gets its (empty) list block.
std::unordered_map<RowId, std::vector<LinkText>> read_links_by_folder(Database& db) {
    std::unordered_map<RowId, std::vector<LinkText>> by_folder;
    auto row = db.prepare(
        "SELECT parent, title, url, id IN (SELECT id FROM tb_undo WHERE action = ?) "
        "FROM tb_links ORDER BY id",
        {kUndoDeleteLink});
    while (row && row->step() == Step::Row) {
        std::vector<LinkText>& links = by_folder[row->int64(0)];
        if (row->integer(3) == 0) {
            links.push_back({row->text(1), row->text(2)});
        }
    }
    for (auto& [folder, links] : by_folder) {
        std::stable_sort(links.begin(), links.end(),
                         [](const LinkText& a, const LinkText& b) { return a.title < b.title; });
    }
    return by_folder;
}

// The folders to write, by parent, and the links of each folder.
class ExportTree {
public:
    ExportTree(Model& model, RowId branch) : links_(read_links_by_folder(model.db)) {
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
    }

    // The folders whose blocks make up the file.
    const std::vector<const Folder*>& tops() const { return tops_; }
    const std::vector<const Folder*>& children(RowId id) const {
        auto it = children_.find(id);
        return it != children_.end() ? it->second : none_;
    }
    bool has_link_rows(RowId id) const { return links_.count(id) > 0; }
    const std::vector<LinkText>& links(RowId id) const {
        auto it = links_.find(id);
        return it != links_.end() ? it->second : no_links_;
    }

private:
    std::unordered_map<RowId, std::vector<LinkText>> links_;
    std::unordered_map<RowId, std::vector<const Folder*>> children_;
    std::vector<const Folder*> tops_;
    const std::vector<const Folder*> none_;
    const std::vector<LinkText> no_links_;
};

void append_indent(std::string& out, int level) {
    out.append(4 * static_cast<size_t>(level), ' ');
}

// Writes folder blocks depth first without recursion. A folder at kMaxFolderDepth closes its
// list after its links, and the folders below it follow it at the same level, so a deeper tree
// from a damaged table comes out at the limit. With a file, full chunks go to it as they are
// made; they end at a line end, never inside a character.
class BlockWriter {
public:
    BlockWriter(const ExportTree& tree, std::string& out, TextFileWriter* file)
        : tree_(tree), out_(out), file_(file) {}

    void write_block(const Folder& start) {
        open(start, std::min(start.level, kMaxFolderDepth));
        while (!stack_.empty()) {
            Frame& top = stack_.back();
            if (top.next < top.children->size()) {
                const Folder& child = *(*top.children)[top.next++];
                open(child, top.level);
                continue;
            }
            if (top.closes_list) {
                append_indent(out_, top.level);
                out_ += "</DL><p>\n";
            }
            stack_.pop_back();
        }
    }

private:
    struct Frame {
        const std::vector<const Folder*>* children;
        size_t next;
        int level;  // of the children
        // Whether the children stand in the list of their parent, which ends after them.
        bool closes_list;
    };

    void open(const Folder& folder, int level) {
        append_indent(out_, level);
        out_ += "<DT><H3>";
        append_title(out_, folder.title);
        out_ += "</H3>\n";
        const auto& children = tree_.children(folder.id);
        const bool nests = level < kMaxFolderDepth && !children.empty();
        if (nests || tree_.has_link_rows(folder.id)) {
            write_links(folder, level);
            if (nests) {
                stack_.push_back({&children, 0, level + 1, true});
                return;
            }
            append_indent(out_, level);
            out_ += "</DL><p>\n";
        }
        if (!children.empty()) {
            stack_.push_back({&children, 0, level, false});
        }
    }

    // The list head and the links; the caller closes the list.
    void write_links(const Folder& folder, int level) {
        append_indent(out_, level);
        out_ += "<DL><p>\n";
        for (const LinkText& link : tree_.links(folder.id)) {
            append_indent(out_, level + 1);
            out_ += "<DT><A HREF=\"";
            append_address(out_, link.url);
            out_ += "\">";
            append_title(out_, link.title);
            out_ += "</A>\n";
            hand_over_full_chunk();
        }
    }

    void hand_over_full_chunk() {
        if (file_ != nullptr && out_.size() >= kChunkSize) {
            file_->write(out_);
            out_.clear();
        }
    }

    const ExportTree& tree_;
    std::string& out_;
    TextFileWriter* file_;
    std::vector<Frame> stack_;
};

// The whole file into out, or in chunks to file with the rest left in out.
void write_bookmark_file(Model& model, RowId branch, std::string& out, TextFileWriter* file) {
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
    BlockWriter writer(tree, out, file);
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

std::string bookmark_file_text(Model& model, RowId branch) {
    std::string out;
    write_bookmark_file(model, branch, out, nullptr);
    return out;
}

bool export_bookmarks(Model& model, const std::filesystem::path& path, RowId branch) {
    Reporter& reporter = model.db.reporter();
    TextFileWriter writer(path);
    if (!writer.is_open()) {
        report_unwritable(reporter, writer, path);
        return false;
    }
    std::string rest;
    write_bookmark_file(model, branch, rest, &writer);
    writer.write(rest);
    if (!writer.close()) {
        reporter.report(msg::kCannotOpenForWriting);
        return false;
    }
    reporter.report(msg::kBookmarksSaved);
    return true;
}

std::optional<std::string> branch_export_file_name(Model& model, RowId current_folder,
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
