#include "exchange/bookmark_export.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/strings.h"
#include "text/codecs.h"
#include "text/text_file_writer.h"

namespace tb {

namespace {

// Appends a title on one line (the file format is line-based), entity-encoded.
void append_title(std::string& out, std::string_view title) {
    // Most titles hold nothing to change; "\xC2" leads the UTF-8 guillemets.
    if (title.find_first_of("&<>\"\r\n\xC2") == std::string_view::npos) {
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

void append_address(std::string& out, std::string_view url) {
    for (size_t quote = url.find('"'); quote != std::string_view::npos; quote = url.find('"')) {
        out += url.substr(0, quote);
        out += "%22";
        url.remove_prefix(quote + 1);
    }
    out += url;
}

struct RowLink {
    std::string title;
    std::string url;
};

// What the export reads once, up front: the live folders by parent and every row of tb_links
// by folder, with the links pending deletion already left out.
class ExportTree {
public:
    explicit ExportTree(Model& model) : model_(model) {
        for (const Folder& folder : model.folders.list()) {
            if (folder.id != kRootFolder) {
                children_[folder.tree_parent].push_back(&folder);
            }
        }
        for (auto& [parent, list] : children_) {
            std::stable_sort(list.begin(), list.end(),
                             [](const Folder* a, const Folder* b) { return a->title < b->title; });
        }
        read_links();
    }

    const std::vector<const Folder*>& children(int id) const {
        auto it = children_.find(id);
        return it != children_.end() ? it->second : none_;
    }
    bool has_link_rows(int id) const { return row_count_.count(id) > 0; }
    const std::vector<RowLink>& links(int id) const {
        auto it = live_links_.find(id);
        return it != live_links_.end() ? it->second : no_links_;
    }

private:
    void read_links() {
        std::unordered_set<int> deleted;
        auto marks = model_.db.prepare(
            sql_format("SELECT id FROM tb_undo WHERE action = '%d'", kUndoDeleteLink));
        while (marks && marks->step()) {
            deleted.insert(marks->integer(0));
        }
        // One read of every row instead of one per folder. A failing statement (already
        // reported) leaves every folder without links.
        auto row = model_.db.prepare("SELECT id, title, url, parent FROM tb_links");
        while (row && row->step()) {
            const int parent = row->integer(3);
            ++row_count_[parent];
            if (deleted.count(row->integer(0)) == 0) {
                live_links_[parent].push_back({row->text(1), row->text(2)});
            }
        }
        for (auto& [parent, list] : live_links_) {
            std::stable_sort(list.begin(), list.end(),
                             [](const RowLink& a, const RowLink& b) { return a.title < b.title; });
        }
    }

    Model& model_;
    std::unordered_map<int, std::vector<const Folder*>> children_;
    std::unordered_map<int, int> row_count_;
    std::unordered_map<int, std::vector<RowLink>> live_links_;
    const std::vector<const Folder*> none_;
    const std::vector<RowLink> no_links_;
};

// Writes folder blocks depth first without recursion, so any depth of nesting is safe.
class BlockWriter {
public:
    BlockWriter(const ExportTree& tree, std::string& out) : tree_(tree), out_(out) {}

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
        for (const RowLink& link : tree_.links(folder.id)) {
            out_ += indent;
            out_ += "    <DT><A HREF=\"";
            append_address(out_, link.url);
            out_ += "\">";
            append_title(out_, link.title);
            out_ += "</A>\n";
        }
        if (children.empty()) {
            out_ += indent;
            out_ += "</DL><p>\n";
            return;
        }
        stack_.push_back({&children, 0, std::move(indent)});
    }

    const ExportTree& tree_;
    std::string& out_;
    std::vector<Frame> stack_;
};

}  // namespace

std::string export_address(std::string_view url) {
    std::string out;
    append_address(out, url);
    return out;
}

std::string bookmark_file_text(Model& model, int branch) {
    std::string out =
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
        "<!-- This is a file generated by Tagberry 2.0 (" +
        std::string(kMakerWebSite) +
        ") -->\n"
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">"
        "<TITLE>Tagberry 2.0 Bookmarks</TITLE>\n"
        "<H1>Tagberry 2.0 Bookmarks</H1>\n\n"
        "<DL><p>\n";
    ExportTree tree(model);
    BlockWriter writer(tree, out);
    if (branch == kNoFolder) {
        // Ascending id, so that the same tree always gives the same file.
        std::vector<const Folder*> top = tree.children(kRootFolder);
        std::sort(top.begin(), top.end(),
                  [](const Folder* a, const Folder* b) { return a->id < b->id; });
        for (const Folder* folder : top) {
            writer.write_block(*folder);
        }
    } else if (const Folder* folder = model.folders.find(branch)) {
        writer.write_block(*folder);
    }
    out += "</DL>";
    return out;
}

bool export_bookmarks(Model& model, const std::filesystem::path& path, int branch) {
    Reporter& reporter = model.db.reporter();
    TextFileWriter writer(path);
    if (!writer.is_open()) {
        reporter.report(msg::kCannotOpenForWriting);
        return false;
    }
    writer.write(bookmark_file_text(model, branch));
    if (!writer.close()) {
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
