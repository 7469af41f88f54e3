#include "exchange/import_context.h"

#include <algorithm>

#include "exchange/folder_depth.h"
#include "platform/log.h"
#include "platform/messages.h"
#include "storage/ids.h"
#include "text/control_chars.h"

namespace tb {

namespace {

constexpr const char* kInsertLinkSql =
    "INSERT INTO tb_links (title, url, id, parent, comment, visits) VALUES (?, ?, ?, ?, ?, ?)";

}  // namespace

ImportContext::ImportContext(Model& model, const ImportOptions& options,
                             const ImportProgress& progress)
    : model(model), options(options), db_(model.db), progress_(progress) {}

RowId ImportContext::create_top_folder(const std::string& title, bool automatic_id) {
    top_title_ = model.folders.unique_root_title(title);
    top_ = automatic_id ? model.folders.create_folder(top_title_, kRootFolder)
                        : folder(kRootFolder, top_title_);
    if (top_ != 0) {
        made_folders_[{kRootFolder, top_title_}] = top_;
        next_folder_id_ = std::max(next_folder_id_, top_ + 1);
        if (automatic_id) {
            ++folders_written_;
        }
    }
    return top_;
}

void ImportContext::use_top_folder(RowId id, const std::string& title) {
    top_ = id;
    top_title_ = title;
}

RowId ImportContext::parent_within_limit(RowId parent) const {
    const Folder* folder = model.folders.find(parent);
    // Each step goes one level up, so the walk ends.
    while (folder != nullptr && folder->level >= kMaxFolderDepth) {
        folder = model.folders.find(folder->tree_parent);
    }
    return folder != nullptr ? folder->id : parent;
}

void ImportContext::log_folders_attached_at_limit() const {
    if (folders_attached_at_limit_ > 0) {
        log_append("Import: " + std::to_string(folders_attached_at_limit_) +
                   " folders nested deeper than " + std::to_string(kMaxFolderDepth) +
                   " levels were attached at level " + std::to_string(kMaxFolderDepth) + ".");
    }
}

RowId ImportContext::folder(RowId asked_parent, const std::string& raw_title, RowId id) {
    const std::string title = clean_title(raw_title);
    const RowId parent = parent_within_limit(asked_parent);
    auto key = std::make_pair(parent, title);
    if (auto it = made_folders_.find(key); it != made_folders_.end()) {
        return it->second;
    }
    if (next_folder_id_ == 0) {
        next_folder_id_ = model.folders.max_folder_id() + 1;
    }
    if (id == 0) {
        id = next_folder_id_;
    }
    // Titles under a folder this import made are kept apart by the map above.
    RowId made = model.folders.create_folder_with_id(title, "", id, parent, false);
    if (made != 0) {
        made_folders_.emplace(std::move(key), made);
        next_folder_id_ = std::max(next_folder_id_, made + 1);
        ++folders_written_;
        if (parent != asked_parent) {
            ++folders_attached_at_limit_;
        }
    }
    return made;
}

RowId ImportContext::next_link_id() {
    if (next_link_id_ == 0) {
        next_link_id_ = model.links.max_link_id() + 1;
    }
    return next_link_id_++;
}

bool ImportContext::insert_link(const std::string& raw_title, const std::string& raw_url,
                                const std::string& comment, RowId id, RowId parent, int visits) {
    const std::string title = clean_title(raw_title);
    const std::string url = clean_address(raw_url);
    if (db_.transaction_failed()) {
        return false;
    }
    if (!insert_link_) {
        auto prepared = db_.prepare(kInsertLinkSql);
        if (!prepared) {
            db_.mark_transaction_failed();
            return false;
        }
        insert_link_.emplace(std::move(*prepared));
    }
    insert_link_->reset();
    // Bound as C strings: a text stops at its first NUL, as the quoted form of the row does.
    if (!insert_link_->bind({title.c_str(), url.c_str(), id, parent, comment.c_str(), visits})) {
        db_.write_failed(kInsertLinkSql);
        return false;
    }
    if (insert_link_->step() != Step::Done) {
        db_.mark_transaction_failed();
        return false;
    }
    next_link_id_ = std::max(next_link_id_, id + 1);
    ++links_written_;
    return true;
}

bool ImportContext::take_link_title(RowId parent, const std::string& title) {
    return link_titles_[parent].insert(title).second;
}

bool ImportContext::item_done() {
    ++done_;
    if (progress_.report) {
        progress_.report(done_, total_);
    }
    return !check_cancelled();
}

bool ImportContext::reading_step(std::size_t done, std::size_t total) {
    if (progress_.reading) {
        progress_.reading(done, total);
    }
    return !check_cancelled();
}

bool ImportContext::check_cancelled() {
    if (!cancelled_ && progress_.cancelled && progress_.cancelled()) {
        cancelled_ = true;
    }
    return cancelled_;
}

}  // namespace tb
