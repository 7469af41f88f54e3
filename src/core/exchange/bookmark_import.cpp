#include "exchange/bookmark_import.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/messages.h"
#include "text/control_chars.h"
#include "text/declared_charset.h"
#include "text/file_bytes.h"
#include "text/html_entities.h"
#include "text/strings.h"
#include "text/unicode.h"

namespace tb {

namespace {

using Kind = BookmarkLine::Kind;

// "<H3[^>]*>(.*?)</H3>" or "<A HREF="(.*?)"[^>]*>(.*?)</A>" after "<DT[^>]*>", up to the line's
// end. HREF may follow other attributes of the anchor.
BookmarkLine match_item(std::string_view rest, std::size_t indent) {
    BookmarkLine line;
    line.indent = indent;
    if (rest.starts_with("<H3")) {
        std::size_t close = rest.find('>', 3);
        if (close == std::string_view::npos || !rest.ends_with("</H3>") ||
            close + 1 > rest.size() - 5) {
            return {};
        }
        line.kind = Kind::Folder;
        line.title = rest.substr(close + 1, rest.size() - 5 - (close + 1));
        return line;
    }
    if (!rest.starts_with("<A") || rest.size() < 3) {
        return {};
    }
    std::size_t start;
    if (rest.starts_with("<A HREF=\"")) {
        start = 9;
    } else {
        if (!is_ascii_space(rest[2])) {
            return {};
        }
        std::size_t tag_end = rest.find('>');
        std::size_t href = rest.find("HREF=\"", 3);
        if (href == std::string_view::npos || href > tag_end || !is_ascii_space(rest[href - 1])) {
            return {};
        }
        start = href + 6;
    }
    std::size_t quote = rest.find('"', start);
    if (quote == std::string_view::npos || !rest.ends_with("</A>")) {
        return {};
    }
    std::size_t close = rest.find('>', quote + 1);
    if (close == std::string_view::npos || close + 1 > rest.size() - 4) {
        return {};
    }
    line.kind = Kind::Link;
    line.address = rest.substr(start, quote - start);
    line.title = rest.substr(close + 1, rest.size() - 4 - (close + 1));
    return line;
}

// "<DL>" in any case, with or without attributes and whatever follows it on the line.
bool is_list_start(std::string_view rest) {
    return istarts_with_ascii(rest, "<dl") && rest.size() > 3 &&
           (rest[3] == '>' || is_ascii_space(rest[3]));
}

struct FolderRecord {
    std::string title;
    int depth = 0;
    // The folder open where the line stands: the parent when indentation gives none.
    int open_parent = 0;
};

struct LinkRecord {
    std::string title;
    std::string address;
    int parent = 0;
};

struct ParsedFile {
    std::vector<FolderRecord> folders;  // sequence number n is index n - 1
    std::vector<LinkRecord> links;
    // Folder and link lines seen, those an option skips included.
    std::size_t entries = 0;
};

// The folders open where a line stands. A folder heading opens its folder for the list that
// follows it only: when the next structural line is another item or a list end, the folder was
// empty and is closed before that line.
class OpenFolders {
public:
    int innermost() const { return stack_.back(); }

    void open(int folder) {
        stack_.push_back(folder);
        awaiting_list_ = true;
    }

    void next_structural_line(Kind kind) {
        if (awaiting_list_ && kind != Kind::ListStart) {
            stack_.pop_back();
        }
        awaiting_list_ = false;
        if (kind == Kind::ListEnd && stack_.size() > 1) {
            stack_.pop_back();
        }
    }

private:
    std::vector<int> stack_{0};
    bool awaiting_list_ = false;
};

// Lines parsed between two progress steps.
constexpr std::size_t kLinesPerStep = 8192;

// The file's entries; std::nullopt when `step` stopped the parse.
std::optional<ParsedFile> parse(const std::vector<std::string>& lines, ImportContext& context,
                                const ByteSteps& step) {
    ParsedFile parsed;
    OpenFolders open;
    const bool structure = !context.options.ignore_structure;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i % kLinesPerStep == kLinesPerStep - 1 && !step(i, lines.size())) {
            return std::nullopt;
        }
        const std::string& text = lines[i];
        BookmarkLine line = classify_bookmark_line(text);
        if (line.kind == Kind::Folder || line.kind == Kind::Link) {
            ++parsed.entries;
        }
        if (line.kind != Kind::Other && structure) {
            open.next_structural_line(line.kind);
        }
        if (line.kind == Kind::Folder && structure) {
            parsed.folders.push_back({clean_title(decode_html_entities(line.title)),
                                      folder_depth(line.indent), open.innermost()});
            open.open(static_cast<int>(parsed.folders.size()));
        } else if (line.kind == Kind::Link) {
            std::string address = clean_address(line.address);
            if (context.options.ignore_existing &&
                context.model.links.link_address_exists(address)) {
                continue;
            }
            parsed.links.push_back({clean_title(decode_html_entities(line.title)),
                                    std::move(address), structure ? open.innermost() : 0});
        }
    }
    return parsed;
}

// Parent sequence number of every folder record (0 = the top folder): the nearest earlier
// record of smaller depth; depth 1 goes into the top folder; a folder that indentation gives no
// parent goes under the folder open at its line.
std::vector<int> folder_parents(const std::vector<FolderRecord>& folders) {
    std::vector<int> parents(folders.size() + 1, 0);
    std::vector<int> shallower;  // records of strictly increasing depth
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const int depth = folders[i].depth;
        while (!shallower.empty() && folders[shallower.back() - 1].depth >= depth) {
            shallower.pop_back();
        }
        const int n = static_cast<int>(i + 1);
        if (depth == 1) {
            parents[n] = 0;
        } else if (depth > 1 && !shallower.empty()) {
            parents[n] = shallower.back();
        } else {
            parents[n] = folders[i].open_parent;
        }
        shallower.push_back(n);
    }
    return parents;
}

bool write_links(ImportContext& context, const ParsedFile& parsed, const std::vector<int>& links,
                 RowId base, RowId folder) {
    for (int m : links) {
        const LinkRecord& link = parsed.links[static_cast<std::size_t>(m - 1)];
        context.insert_link(link.title, link.address, "", base + m, folder, 0);
        if (!context.item_done()) {
            return false;
        }
    }
    return true;
}

void write(ImportContext& context, const ParsedFile& parsed) {
    const RowId top = context.top_folder();
    const RowId base = context.model.links.max_link_id();
    std::vector<std::vector<int>> links_of(parsed.folders.size() + 1);
    for (std::size_t m = 0; m < parsed.links.size(); ++m) {
        links_of[static_cast<std::size_t>(parsed.links[m].parent)].push_back(
            static_cast<int>(m + 1));
    }
    context.set_total(parsed.folders.size() + parsed.links.size());
    std::vector<int> parents = folder_parents(parsed.folders);
    // Folder ids by sequence number; a repeated sibling title shares the first one's id.
    std::vector<RowId> ids(parsed.folders.size() + 1, top);
    for (std::size_t i = 0; i < parsed.folders.size(); ++i) {
        const std::size_t n = i + 1;
        const RowId parent = ids[static_cast<std::size_t>(parents[n])];
        RowId id = context.folder(parent, parsed.folders[i].title, top + static_cast<RowId>(n));
        ids[n] = id != 0 ? id : parent;
        if (!context.item_done() || !write_links(context, parsed, links_of[n], base, ids[n])) {
            return;
        }
    }
    write_links(context, parsed, links_of[0], base, top);
}

}  // namespace

int folder_depth(std::size_t indent) {
    return static_cast<int>((static_cast<long long>(indent) - 4) / 4 + 1);
}

BookmarkLine classify_bookmark_line(std::string_view text) {
    std::size_t lead = 0;
    std::size_t indent = 0;
    while (lead < text.size() && is_ascii_space(text[lead])) {
        indent += text[lead] == '\t' ? 4 : 1;
        ++lead;
    }
    std::string_view rest = text.substr(lead);
    // A separator in front of an item keeps the item (and the indentation before it).
    if (rest.starts_with("<HR>")) {
        rest.remove_prefix(4);
        while (!rest.empty() && is_ascii_space(rest.front())) {
            rest.remove_prefix(1);
        }
    }
    if (rest == "</DL><p>" || rest == "</DL>" || is_list_start(rest)) {
        BookmarkLine line;
        line.kind = rest.starts_with("</") ? Kind::ListEnd : Kind::ListStart;
        line.indent = indent;
        return line;
    }
    if (!rest.starts_with("<DT")) {
        return {};
    }
    std::size_t close = rest.find('>', 3);
    if (close == std::string_view::npos) {
        return {};
    }
    return match_item(rest.substr(close + 1), indent);
}

namespace {

// The file's lines: a file with no byte-order mark that is not UTF-8 is read in the charset its
// head declares, else invalid bytes become U+FFFD. std::nullopt when `step` stopped it.
std::optional<std::vector<std::string>> bookmark_file_lines(std::string_view bytes,
                                                            const ByteSteps& step) {
    const std::string_view head = bytes.substr(0, ifind_ascii(bytes, "<dt", 0));
    if (std::optional<std::string> text = decode_in_declared_charset(bytes, head)) {
        return decode_text_lines(*text, step);
    }
    return decode_text_lines(bytes, step);
}

// Reading, decoding and parsing each take a third of the reading progress.
ByteSteps reading_phase(ImportContext& context, std::size_t index) {
    constexpr std::size_t kPhases = 3;
    return [&context, index](std::size_t done, std::size_t total) {
        return context.reading_step(index * total + done, kPhases * total);
    };
}

}  // namespace

bool import_bookmark_file(ImportContext& context, const std::filesystem::path& file,
                          const std::string& top_title) {
    std::optional<std::string> bytes = read_file_bytes(file, reading_phase(context, 0));
    if (!bytes) {
        if (!context.cancelled()) {
            context.model.db.reporter().report(msg::kCannotReadHtml);
        }
        return false;
    }
    std::optional<ParsedFile> parsed;
    {
        std::optional<std::vector<std::string>> lines =
            bookmark_file_lines(*bytes, reading_phase(context, 1));
        bytes.reset();
        if (lines) {
            parsed = parse(*lines, context, reading_phase(context, 2));
        }
    }
    if (!parsed) {
        return false;
    }
    if (parsed->entries == 0) {
        context.model.db.reporter().report(msg::kNoBookmarkEntries);
        return false;
    }
    if (context.create_top_folder(top_title, true) == 0) {
        return false;
    }
    write(context, *parsed);
    return true;
}

}  // namespace tb
