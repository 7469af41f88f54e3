#include "app/app_controller.h"

#include <set>

#include <QCoreApplication>
#include <QMessageBox>
#include <ctime>

#include "app/message_box.h"
#include "platform/messages.h"
#include "storage/backup.h"

namespace tb::app {

namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}
std::string ss(const QString& text) {
    return text.toStdString();
}

CommandStatus enabled_if(bool enabled) {
    return {.enabled = enabled};
}
CommandStatus checked_if(bool checked) {
    return {.enabled = true, .checked = checked};
}

// Links never go into the root folder, whichever dialog picks their target.
int refuse_root(RowId target) {
    return target == kRootFolder ? msg::kNoLinksInRoot : 0;
}

}  // namespace

AppController::AppController(Model& model, Settings& settings, UiServices& ui, QObject* parent)
    : QObject(parent), model_(model), settings_(settings), ui_(ui), clock_([] {
          return static_cast<std::int64_t>(std::time(nullptr));
      }) {
    register_commands();
}

void AppController::add_command(int command, Handler handler, StatusRule rule) {
    handlers_[command] = std::move(handler);
    if (rule) {
        rules_[command] = std::move(rule);
    }
}

void AppController::register_commands() {
    auto always = [] { return CommandStatus{}; };
    auto plain_folder = [this] { return enabled_if(!state_.is_special() && !state_.is_root()); };
    auto any_link = [this] { return enabled_if(has_selection()); };
    auto journal = [this] { return enabled_if(model_.journal.journal_not_empty()); };

    add_command(
        kCmdNewFolder, [this] { new_folder(); },
        [this] { return enabled_if(!state_.is_special()); });
    add_command(
        kCmdDeleteFolder, [this] { delete_folder(); }, plain_folder);
    add_command(
        kCmdMoveFolder, [this] { move_folder(); }, plain_folder);
    add_command(
        kCmdFolderProperties, [this] { folder_properties(); }, plain_folder);
    add_command(
        kCmdResetFolderUsage, [this] { reset_folder_usage(); }, plain_folder);
    add_command(
        kCmdNewLink, [this] { new_link(); }, plain_folder);
    add_command(
        kCmdDeleteLinks, [this] { delete_links(); }, any_link);
    add_command(
        kCmdMoveLinks, [this] { move_links(); }, any_link);
    add_command(
        kCmdLinkProperties, [this] { link_properties(); }, any_link);
    add_command(
        kCmdOpenLink, [this] { open_current(); }, any_link);
    add_command(
        kCmdCopyAddress, [this] { copy_address(); }, any_link);
    add_command(
        kCmdResetLinkUsage, [this] { reset_link_usage(); },
        [this] {
            const std::optional<Link> link =
                has_selection() ? model_.links.find(state_.current_link) : std::nullopt;
            return enabled_if(link && link->visits > 0);
        });
    add_command(
        kCmdShowDuplicates, [this] { show_duplicates(); },
        [this] {
            const std::optional<Link> link =
                has_selection() ? model_.links.find(state_.current_link) : std::nullopt;
            return enabled_if(link && link->has_duplicates);
        });
    add_command(
        kCmdOpenContainingFolder, [this] { open_containing_folder(); },
        [this] {
            RowId f = state_.current_folder;
            return enabled_if(!state_.feed_mode &&
                              (f == kSearchResultsFolder || f == kMostVisitedFolder ||
                               f == kRecentlyVisitedFolder || f == kBrokenLinksFolder));
        });
    add_command(
        kCmdUndo, [this] { undo(); },
        [this] {
            CommandStatus status = enabled_if(model_.journal.journal_not_empty());
            auto last = model_.journal.load_last_action();
            int label = last ? Journal::label_id(last->action) : msg::kUndo;
            QString text = label != 0 ? message_text(Message::of(label))
                                      : QCoreApplication::translate("Strings", "Undefined Action");
            status.text = text + QStringLiteral("\tCtrl+Z");
            return status;
        });
    add_command(
        kCmdClearUndo, [this] { clear_undo(); }, journal);
    add_command(
        kCmdRestoreBackup, [this] { restore_backup(); }, always);
    add_command(
        kCmdResetAllUsage, [this] { reset_all_usage(); }, always);
    add_command(
        kCmdMostVisitedPrefs, [this] { most_visited_preferences(); }, always);
    add_command(
        kCmdRecentPrefs, [this] { recent_preferences(); }, always);
    add_command(
        kCmdEditAppList,
        [this] {
            if (ui_.edit_application_list(settings_.applications)) {
                emit applications_changed();
            }
        },
        always);
    add_command(
        kCmdEnglish, [this] { set_language(0); },
        [this] { return checked_if(settings_.language == 0); });
    add_command(
        kCmdRussian, [this] { set_language(1); },
        [this] { return checked_if(settings_.language == 1); });
    add_command(
        kCmdPropertiesBar,
        [this] {
            settings_.always_show_item_properties = !settings_.always_show_item_properties;
            emit properties_bar_toggled(settings_.always_show_item_properties);
        },
        [this] { return checked_if(settings_.always_show_item_properties); });
    add_command(
        kCmdDropWindow,
        [this] {
            settings_.show_drop_window = !settings_.show_drop_window;
            emit drop_window_toggled(settings_.show_drop_window);
        },
        [this] { return checked_if(settings_.show_drop_window); });
    add_command(
        kCmdMinimiseToTray, [this] { settings_.minimise_to_tray = !settings_.minimise_to_tray; },
        [this] { return checked_if(settings_.minimise_to_tray); });
    add_command(
        kCmdOpenHide, [this] { emit open_hide_requested(); }, always);
    add_command(
        kCmdExit, [this] { emit exit_requested(); }, always);
    add_command(
        kCmdHelp, [this] { help(); }, always);
    add_command(
        kCmdAbout, [this] { ui_.about(); }, always);
    const std::pair<int, int> styles[] = {{kCmdViewLargeIcons, kLargeIcons},
                                          {kCmdViewDetails, kDetails},
                                          {kCmdViewSmallIcons, kSmallIcons},
                                          {kCmdViewList, kListView}};
    for (auto [command, style] : styles) {
        add_command(
            command, [this, style] { set_list_style(style); },
            [this, style] { return checked_if(settings_.list_style == style); });
    }
    add_command(
        kCmdArrangeIcons, [this] { emit list_refill_requested(); },
        [this] {
            return enabled_if(settings_.list_style == kLargeIcons ||
                              settings_.list_style == kSmallIcons);
        });
}

CommandStatus AppController::status(int command) {
    if (command >= kCmdOpenWithFirst && command < kCmdRecentQueryFirst) {
        return enabled_if(has_selection());
    }
    auto rule = rules_.find(command);
    return rule != rules_.end() ? rule->second() : CommandStatus{};
}

void AppController::execute(int command) {
    if (busy_) {
        return;
    }
    if (command >= kCmdOpenWithFirst && command < kCmdRecentQueryFirst) {
        // In feed mode the current link is a feed item's number, not a link id.
        if (status(command).enabled) {
            open_with(command - kCmdOpenWithFirst);
        }
        return;
    }
    auto handler = handlers_.find(command);
    if (handler != handlers_.end() && status(command).enabled) {
        handler->second();
    }
}

void AppController::refill_tree(bool keep_selection) {
    model_.folders.reload();
    emit tree_refill_requested(keep_selection);
    // The window has selected the folder a move came from; the next refill keeps its own.
    model_.folders.clear_moved_flag();
}

void AppController::inform(int message_id, const std::vector<std::string>& args) {
    ui_.message_box(message_text(Message::of(message_id, args)), message_icon(message_id),
                    QMessageBox::Ok);
}

void AppController::inform_text(const QString& text) {
    ui_.message_box(text, QMessageBox::Information, QMessageBox::Ok);
}

bool AppController::confirm(int message_id, const std::vector<std::string>& args, bool yes_no) {
    auto buttons =
        yes_no ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok | QMessageBox::Cancel;
    auto answer = ui_.message_box(message_text(Message::of(message_id, args)),
                                  QMessageBox::Question, buttons);
    return answer == (yes_no ? QMessageBox::Yes : QMessageBox::Ok);
}

void AppController::folder_selected(RowId id, bool feed) {
    state_.current_folder = id;
    state_.feed_mode = feed;
    state_.selected_links.clear();
    state_.current_link = -1;
    if (id == kMostVisitedFolder && !feed) {
        model_.statistics.calculate_favourites(settings_.favourites_mode);
    }
    emit caption_changed(caption());
    emit list_refill_requested();
    emit properties_changed();
}

void AppController::links_selected(const std::vector<RowId>& ids) {
    state_.selected_links = ids;
    state_.current_link = ids.empty() ? -1 : ids.front();
    emit properties_changed();
}

QString AppController::caption() const {
    const QString title = QStringLiteral("Tagberry 2.0");
    auto with = [&](const QString& place) { return title + QStringLiteral(" - ") + place; };
    const RowId id = state_.current_folder;
    if (state_.feed_mode) {
        return with(feed_title ? feed_title(id) : QString());
    }
    switch (id) {
        case kSearchResultsFolder: {
            QString place = message_text(Message::of(msg::kSearchResults));
            QString text = search_text ? search_text() : QString();
            return text.isEmpty() ? with(place) : with(place + QStringLiteral(" ('%1')").arg(text));
        }
        case kMostVisitedFolder:
            return with(message_text(Message::of(msg::kMostVisited)));
        case kRecentlyVisitedFolder:
            return with(message_text(Message::of(msg::kRecentlyVisited)));
        case kBrokenLinksFolder:
            return with(QCoreApplication::translate("Strings", "Broken Links"));
        case kNewsfeedsFolder:
            return with(message_text(Message::of(msg::kNewsfeeds)));
        case kNothingSelected:
            return title;
        default: {
            const Folder* folder = model_.folders.find(id);
            return folder != nullptr ? with(qs(model_.folders.folder_path(id))) : title;
        }
    }
}

std::vector<Link> AppController::list_records() {
    if (state_.feed_mode) {
        return feed_records ? feed_records() : std::vector<Link>{};
    }
    switch (state_.current_folder) {
        case kSearchResultsFolder:
            return search_results ? search_results() : std::vector<Link>{};
        case kMostVisitedFolder:
            return model_.statistics.build_most_visited();
        case kRecentlyVisitedFolder:
            return model_.statistics.build_recently_visited(settings_.recent_links_timespan, now());
        case kBrokenLinksFolder:
            return broken_links ? broken_links() : std::vector<Link>{};
        case kNewsfeedsFolder:
        case kNothingSelected:
            return {};
        default:
            // The list reads the flags of the rows it shows.
            return model_.links.links_in(state_.current_folder, LinkStore::Flag::Skip);
    }
}

std::optional<Link> AppController::selected_link() const {
    if (state_.feed_mode || state_.selected_links.size() != 1) {
        return std::nullopt;
    }
    return model_.links.find(state_.selected_links.front());
}

StatisticsOptions AppController::statistics_options() const {
    return tb::statistics_options(settings_);
}

void AppController::after_links_changed() {
    if (state_.current_folder == kSearchResultsFolder && !state_.feed_mode && rerun_search) {
        rerun_search();
    }
    emit list_refill_requested();
    emit properties_changed();
}

void AppController::after_links_touched(const std::vector<RowId>& ids,
                                        const std::vector<std::string>& former_urls) {
    if (state_.feed_mode || model_.folders.find(state_.current_folder) == nullptr) {
        after_links_changed();
        return;
    }
    emit links_touched(ids, former_urls);
    emit properties_changed();
}

std::optional<std::vector<Link>> AppController::shown_records_touched(
    const std::vector<RowId>& ids, const std::vector<std::string>& former_urls) {
    // One query per address: beyond this many, one read of the whole folder costs less.
    constexpr size_t kMostTouched = 100;
    const RowId folder = state_.current_folder;
    if (state_.feed_mode || model_.folders.find(folder) == nullptr || ids.size() > kMostTouched) {
        return std::nullopt;
    }
    std::set<std::string> urls(former_urls.begin(), former_urls.end());
    for (const Link& link : model_.links.links_with_ids(ids)) {
        urls.insert(link.url);
    }
    return model_.links.links_in_with_urls(folder, {urls.begin(), urls.end()});
}

FolderChoice AppController::folder_choice() {
    FolderChoice choice;
    choice.create_folders = [this](RowId parent, const QString& text) {
        auto ids = model_.folders.create_folders_from_text(parent, ss(text));
        model_.folders.reload();
        return ids;
    };
    return choice;
}

void AppController::new_folder() {
    if (state_.is_special()) {
        inform(msg::kNoSubfoldersInSpecial);
        return;
    }
    auto text = ui_.new_folder_text();
    if (!text) {
        return;
    }
    auto created = model_.folders.create_folders_from_text(state_.current_folder, ss(*text));
    if (created.empty()) {
        return;
    }
    refill_tree();
    emit folder_selection_requested(created.front());
}

void AppController::delete_folder() {
    if (!state_.is_real_folder() || state_.is_root()) {
        inform(msg::kFolderCannotBeDeleted);
        return;
    }
    const RowId id = state_.current_folder;
    const Folder* folder = model_.folders.find(id);
    if (folder == nullptr) {
        return;
    }
    if (!confirm(msg::kDeleteFolderQuestion, {folder->title}, false)) {
        return;
    }
    // The question is modal: a reload while it was open may have removed the folder.
    folder = folder_after_dialog(id);
    if (folder == nullptr) {
        return;
    }
    const RowId parent = folder->parent;
    model_.folders.delete_folder(id);
    model_.folders.reload();
    state_.current_folder = parent;
    refill_tree();
    emit list_refill_requested();
    emit caption_changed(caption());
}

void AppController::move_folder() {
    const RowId folder = state_.current_folder;
    MoveRequest request;
    request.selected_object = qs(model_.folders.folder_path(folder));
    request.last_targets.assign(last_move_targets_.begin(), last_move_targets_.end());
    request.choice = folder_choice();
    request.choice.check = [this, folder](RowId target) {
        if (target == folder) {
            return msg::kMoveFolderToItself;
        }
        return model_.folders.is_descendant(target, folder) ? msg::kMoveFolderToDescendant : 0;
    };
    MoveResult result = ui_.move_items(request);
    if (result.target && model_.folders.move_folder(folder, *result.target)) {
        last_move_targets_.insert(*result.target);
        refill_tree();
        emit list_refill_requested();
    } else if (result.folders_created) {
        refill_tree();
    }
}

bool AppController::can_drop_links(RowId target) const {
    return target != kRootFolder && model_.folders.find(target) != nullptr;
}

bool AppController::can_drag_folder(RowId folder) const {
    return folder != kRootFolder && model_.folders.find(folder) != nullptr;
}

bool AppController::can_drop_folder(RowId folder, RowId target) const {
    return can_drag_folder(folder) && model_.folders.find(target) != nullptr && target != folder &&
           !model_.folders.is_descendant(target, folder);
}

void AppController::drop_links(const std::vector<RowId>& ids, RowId target) {
    if (busy_ || ids.empty() || !can_drop_links(target)) {
        return;
    }
    model_.links.move_links(ids, target);
    last_move_targets_.insert(target);
    state_.selected_links.clear();
    state_.current_link = -1;
    after_links_touched(ids);
}

void AppController::drop_folder(RowId folder, RowId target) {
    if (busy_ || !can_drop_folder(folder, target)) {
        return;
    }
    if (model_.folders.move_folder(folder, target)) {
        last_move_targets_.insert(target);
        refill_tree();
        emit list_refill_requested();
    }
}

void AppController::folder_properties() {
    const RowId id = state_.current_folder;
    const Folder* folder = model_.folders.find(id);
    if (folder == nullptr) {
        return;
    }
    auto answer = ui_.folder_properties(qs(folder->title), folder->is_protected);
    if (answer && folder_after_dialog(id) != nullptr &&
        model_.folders.rename_folder(id, ss(answer->first), answer->second)) {
        refill_tree();
        emit caption_changed(caption());
    }
}

const Folder* AppController::folder_after_dialog(RowId id) {
    const Folder* folder = model_.folders.find(id);
    if (folder == nullptr) {
        inform_text(QCoreApplication::translate("Strings", "This folder no longer exists."));
    }
    return folder;
}

std::optional<Link> AppController::link_after_dialog(RowId id) {
    const std::optional<Link> link = model_.links.find(id);
    if (!link) {
        inform_text(QCoreApplication::translate("Strings", "This link no longer exists."));
    }
    return link;
}

void AppController::reset_folder_usage() {
    model_.statistics.reset_folder_usage(state_.current_folder);
    emit list_refill_requested();
}

void AppController::new_link() {
    new_link_dialog({}, {}, {});
}

void AppController::new_link_dialog(const QString& title, const QString& url,
                                    const QString& comment) {
    NewLinkDialogRequest request;
    request.preset = {.parent = state_.is_real_folder() ? state_.current_folder : kRootFolder,
                      .title = ss(title),
                      .url = ss(url),
                      .comment = ss(comment)};
    request.recent_parents.assign(recent_parents_.begin(), recent_parents_.end());
    request.check = [this](NewLinkRequest& r) { return model_.links.check_new_link(r); };
    request.choice = folder_choice();
    request.choice.check = refuse_root;
    NewLinkDialogResult result = ui_.new_link(request);
    if (result.folders_created) {
        refill_tree();
    }
    if (!result.accepted) {
        return;
    }
    const NewLinkRequest& link = *result.accepted;
    recent_parents_.insert(link.parent);
    RowId id = model_.links.add_link_to(link.parent, link.title, link.url, link.comment);
    if (id == 0) {
        return;
    }
    if (link.parent == state_.current_folder && !state_.feed_mode) {
        after_links_touched({id});
    } else {
        emit folder_selection_requested(link.parent);
    }
}

void AppController::delete_links() {
    if (state_.selected_links.empty()) {
        inform(msg::kNothingToDelete);
        return;
    }
    const auto ids = state_.selected_links;
    bool ok = false;
    if (ids.size() == 1) {
        const std::optional<Link> link = model_.links.find(ids.front());
        ok = confirm(msg::kDeleteLinkQuestion, {link ? link->title : ""}, false);
    } else {
        ok = confirm(msg::kDeleteLinksQuestion, {std::to_string(ids.size())}, false);
    }
    if (!ok) {
        return;
    }
    model_.links.delete_links(ids);
    state_.selected_links.clear();
    state_.current_link = -1;
    after_links_touched(ids);
}

void AppController::move_links() {
    const auto ids = state_.selected_links;
    MoveRequest request;
    request.moving_links = true;
    if (ids.size() == 1) {
        const std::optional<Link> link = model_.links.find(ids.front());
        request.selected_object = link ? qs(link->title) : QString();
    } else {
        request.selected_object = QCoreApplication::translate("MoveItems", "Group of links");
    }
    request.last_targets.assign(last_move_targets_.begin(), last_move_targets_.end());
    request.choice = folder_choice();
    request.choice.check = refuse_root;
    MoveResult result = ui_.move_items(request);
    if (result.target) {
        model_.links.move_links(ids, *result.target);
        last_move_targets_.insert(*result.target);
        after_links_touched(ids);
    }
    if (result.folders_created) {
        refill_tree();
    }
}

void AppController::link_properties() {
    const std::optional<Link> link = model_.links.find(state_.current_link);
    if (!link) {
        return;
    }
    const Link shown = *link;
    auto texts = ui_.edit_link(shown);
    if (texts && link_after_dialog(shown.id) &&
        model_.links.edit_link_checked(shown.id, ss(texts->title), ss(texts->url),
                                       ss(texts->comment))) {
        inform(msg::kLinkUpdated);
        after_links_touched({shown.id});
    }
}

bool AppController::update_link_from_bar(const QString& title, const QString& url,
                                         const QString& comment) {
    const std::optional<Link> link = selected_link();
    if (!link) {
        return false;
    }
    if (!model_.links.edit_link_checked(link->id, ss(title), ss(url), ss(comment))) {
        return false;
    }
    inform(msg::kLinkUpdated);
    after_links_touched({link->id});
    return true;
}

void AppController::reset_link_usage() {
    model_.statistics.reset_link_usage(state_.current_link);
    inform(msg::kLinkUpdated);
    after_links_touched({state_.current_link});
}

void AppController::show_duplicates() {
    const std::optional<Link> link = model_.links.find(state_.current_link);
    if (!link) {
        return;
    }
    if (model_.links.count_url_links(link->url) - 1 <= 0) {
        inform(msg::kNoDuplicates);
        return;
    }
    DuplicatesRequest request{.link = *link,
                              .folder_path = qs(model_.folders.folder_path(link->parent))};
    for (const Link& record : model_.links.duplicates_of(link->id)) {
        request.rows.emplace_back(record, qs(model_.folders.folder_path(record.parent)));
    }
    auto doomed = ui_.duplicates(request);
    if (!doomed.empty()) {
        model_.links.delete_links(doomed);
    }
    after_links_changed();
}

void AppController::open_containing_folder() {
    const std::optional<Link> link = model_.links.find(state_.current_link);
    if (link) {
        emit folder_selection_requested(link->parent);
    }
}

void AppController::copy_address() {
    const std::optional<Link> link = model_.links.find(state_.current_link);
    if (link) {
        ui_.set_clipboard(qs(link->url));
    }
}

void AppController::count_visit(const Link& link) {
    model_.statistics.update_visits_counter(link.id, link.visits, now());
    after_links_touched({link.id});
}

void AppController::open_current() {
    if (state_.feed_mode) {
        if (open_feed_item) {
            open_feed_item();
        }
        return;
    }
    const std::optional<Link> link = model_.links.find(state_.current_link);
    if (!link) {
        inform_text(QCoreApplication::translate("Strings", "No link selected."));
        return;
    }
    const Link copy = *link;
    if (ui_.open_url(qs(copy.url))) {
        count_visit(copy);
    }
}

void AppController::open_with(int index) {
    const std::optional<Link> link = model_.links.find(state_.current_link);
    if (!link || index < 0 || index >= static_cast<int>(settings_.applications.size())) {
        return;
    }
    const Link copy = *link;
    if (ui_.start_program(qs(settings_.applications[index].path), qs(copy.url))) {
        count_visit(copy);
    }
}

void AppController::undo() {
    if (!model_.journal.journal_not_empty()) {
        return;
    }
    int action = model_.undo_last_action();
    if (action < 0) {
        // The message was shown; what is on screen may be stale after the rollback.
        refill_tree();
        emit list_refill_requested();
        return;
    }
    if (is_link_action(action)) {
        after_links_touched(model_.undone_links(), model_.undone_addresses());
    } else {
        refill_tree();
        emit list_refill_requested();
    }
}

void AppController::clear_undo() {
    if (confirm(msg::kClearUndoQuestion, {}, true)) {
        // A failed purge was reported and rolled back; the reload shows what the file holds.
        (void)model_.journal.purge();
        model_.folders.reload();
    }
}

void AppController::restore_backup() {
    Backups backups(model_.db);
    const auto snapshots = backups.list();
    if (snapshots.empty()) {
        inform_text(QCoreApplication::translate("Strings", "There are no backups yet."));
        return;
    }
    const auto chosen = ui_.choose_backup(snapshots);
    if (!chosen || !backups.restore(*chosen)) {
        return;
    }
    model_.load();
    state_.selected_links.clear();
    emit data_restored();
    refill_tree();
    emit list_refill_requested();
}

void AppController::reset_all_usage() {
    if (confirm(msg::kResetAllQuestion, {}, true)) {
        model_.statistics.reset_all_usage();
        emit list_refill_requested();
        emit properties_changed();
    }
}

void AppController::most_visited_preferences() {
    if (!ui_.most_visited_preferences(settings_)) {
        return;
    }
    if (settings_.reset_visits_after_timespan == 0) {
        settings_.reset_visits_for_inactive_links = false;
    }
    if (state_.current_folder == kMostVisitedFolder && !state_.feed_mode) {
        model_.statistics.calculate_favourites(settings_.favourites_mode);
        emit list_refill_requested();
    }
}

void AppController::recent_preferences() {
    if (ui_.recent_preferences(settings_) && state_.current_folder == kRecentlyVisitedFolder &&
        !state_.feed_mode) {
        emit list_refill_requested();
    }
}

void AppController::set_language(int language) {
    settings_.language = language;
    inform(msg::kRestartNeeded);
}

void AppController::set_list_style(int style) {
    settings_.list_style = style;
    emit list_style_changed(style);
}

void AppController::help() {
    if (!ui_.open_help(settings_.language == 1 ? QStringLiteral("ru") : QStringLiteral("en"))) {
        inform(msg::kCannotOpenBrowser);
    }
}

}  // namespace tb::app
