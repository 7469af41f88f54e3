#pragma once

#include <QObject>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <set>
#include <unordered_map>
#include <vector>

#include "app/commands.h"
#include "app/ui_services.h"
#include "model/model.h"
#include "platform/settings.h"

namespace tb::app {

// The selection state that every command shares.
struct WindowState {
    RowId current_folder = kNothingSelected;
    bool feed_mode = false;
    std::vector<RowId> selected_links;
    RowId current_link = -1;  // in feed mode, the current feed item's number

    bool is_special() const { return current_folder < kRootFolder || feed_mode; }
    bool is_root() const { return current_folder == kRootFolder && !feed_mode; }
    bool is_real_folder() const { return current_folder >= kRootFolder && !feed_mode; }
};

struct CommandStatus {
    bool enabled = true;
    bool checked = false;
    QString text;  // empty unless the command changes its menu text
};

// The commands of the main window without any widget: enabling rules, check marks and
// handlers. The window is a thin view that shows what this decides and reports selections.
class AppController : public QObject {
    Q_OBJECT

public:
    AppController(Model& model, Settings& settings, UiServices& ui, QObject* parent = nullptr);

    Model& model() { return model_; }
    Settings& settings() { return settings_; }
    WindowState& state() { return state_; }
    const WindowState& state() const { return state_; }

    CommandStatus status(int command);
    void execute(int command);

    // Selection reports from the views.
    void folder_selected(RowId id, bool feed);
    void links_selected(const std::vector<RowId>& ids);

    QString caption() const;
    // The records that the link list shows for the current selection.
    std::vector<Link> list_records();
    // The link whose properties the bar and status panes show, if exactly one is selected.
    std::optional<Link> selected_link() const;

    // The properties bar's "Update Link".
    bool update_link_from_bar(const QString& title, const QString& url, const QString& comment);
    // Runs the New Link dialog with a preset (the drop window and the tray use it too).
    void new_link_dialog(const QString& title, const QString& url, const QString& comment);
    // Enter or double click in the list.
    void open_current();

    // Drag and drop inside the window, under the rules of Move Items and Move Folder.
    bool can_drag_folder(RowId folder) const;
    bool can_drop_links(RowId target) const;
    bool can_drop_folder(RowId folder, RowId target) const;
    void drop_links(const std::vector<RowId>& ids, RowId target);
    void drop_folder(RowId folder, RowId target);

    std::int64_t now() const { return clock_(); }
    StatisticsOptions statistics_options() const;
    void set_clock(std::function<std::int64_t()> clock) { clock_ = std::move(clock); }

    // Refill requests for handlers that live outside this class.
    void refill_list() { emit list_refill_requested(); }
    // Reads the folders again and has the tree refilled from them.
    void refill_tree(bool keep_selection = true);
    // After links changed: the search is run again if shown, the list and properties refilled.
    void after_links_changed();
    // After a write to these links only: the list updates their rows, and the rows sharing
    // their addresses, in place when it shows a folder; otherwise it is refilled.
    void after_links_touched(const std::vector<RowId>& ids);
    // The fresh records of the shown folder's links that the touched links concern: those
    // links, and the folder's links with their former or present addresses. Nothing when the
    // list shows no plain folder or too many links were touched, so that a refill is cheaper.
    std::optional<std::vector<Link>> shown_records_touched(
        const std::vector<RowId>& ids, const std::vector<std::string>& former_urls);

    // Hooks of the search and newsfeed areas: the records and texts of their special folders,
    // and the search re-run after links changed while Search Results is shown.
    std::function<std::vector<Link>()> search_results;
    std::function<QString()> search_text;
    std::function<void()> rerun_search;
    std::function<std::vector<Link>()> feed_records;
    std::function<QString(RowId feed)> feed_title;
    std::function<void()> open_feed_item;
    // The links of Broken Links.
    std::function<std::vector<Link>()> broken_links;

    // Message boxes of the commands open over this widget.
    void set_dialog_parent(QWidget* parent) { dialog_parent_ = parent; }
    QWidget* dialog_parent() const { return dialog_parent_; }
    void inform(int message_id, const std::vector<std::string>& args = {});
    void inform_text(const QString& text);
    // True when the user chose the accepting button (OK or Yes).
    bool confirm(int message_id, const std::vector<std::string>& args, bool yes_no);

    using Handler = std::function<void()>;
    using StatusRule = std::function<CommandStatus()>;
    // Commands of other areas (search, import, feeds) register here.
    void add_command(int command, Handler handler, StatusRule rule = {});

    // While an import runs, commands reaching the controller from windows that its progress
    // dialog does not block are ignored.
    void set_busy(bool busy) { busy_ = busy; }
    bool busy() const { return busy_; }

signals:
    void tree_refill_requested(bool keep_selection);
    void list_refill_requested();
    void links_touched(const std::vector<RowId>& ids);
    void folder_selection_requested(RowId id);
    void caption_changed(const QString& caption);
    void properties_changed();
    void list_style_changed(int style);
    void properties_bar_toggled(bool shown);
    void drop_window_toggled(bool shown);
    void open_hide_requested();
    void exit_requested();
    void applications_changed();
    // The database was replaced by a snapshot and the model reloaded.
    void data_restored();

private:
    void register_commands();
    void new_folder();
    void delete_folder();
    void move_folder();
    void folder_properties();
    void reset_folder_usage();
    void new_link();
    void delete_links();
    void move_links();
    void link_properties();
    void reset_link_usage();
    void show_duplicates();
    void open_containing_folder();
    void copy_address();
    void undo();
    void clear_undo();
    void restore_backup();
    void reset_all_usage();
    void most_visited_preferences();
    void recent_preferences();
    void set_language(int language);
    void set_list_style(int style);
    void open_with(int index);
    void help();

    // Dialogs hold ids: the arrays may be reloaded while one is open. These look the item up
    // again and tell the user when it is gone.
    const Folder* folder_after_dialog(RowId id);
    std::optional<Link> link_after_dialog(RowId id);
    void count_visit(const Link& link);
    FolderChoice folder_choice();
    bool has_selection() const { return !state_.selected_links.empty() && !state_.feed_mode; }

    Model& model_;
    Settings& settings_;
    UiServices& ui_;
    WindowState state_;
    std::unordered_map<int, Handler> handlers_;
    std::unordered_map<int, StatusRule> rules_;
    std::set<RowId> recent_parents_;
    std::set<RowId> last_move_targets_;
    std::function<std::int64_t()> clock_;
    QWidget* dialog_parent_ = nullptr;
    bool busy_ = false;
};

}  // namespace tb::app
