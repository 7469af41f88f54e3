#pragma once

#include <QMessageBox>
#include <QString>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "feeds/feed_discovery.h"
#include "model/link_store.h"
#include "platform/settings.h"
#include "storage/backup.h"

namespace tb::app {

// What a folder-choosing dialog may do besides choosing: check a choice (a message id, or 0
// to accept) and create folders under a parent from New Folder text (the new ids).
struct FolderChoice {
    std::function<int(RowId target)> check;
    std::function<std::vector<RowId>(RowId parent, const QString& text)> create_folders;
};

struct MoveRequest {
    bool moving_links = false;
    QString selected_object;  // a link title, "Group of links", or a folder's full name
    std::vector<RowId> last_targets;
    FolderChoice choice;
};

struct MoveResult {
    std::optional<RowId> target;  // empty when cancelled
    bool folders_created = false;
};

struct NewLinkDialogRequest {
    NewLinkRequest preset;
    std::vector<RowId> recent_parents;
    // Runs the New Link checks on OK; the dialog stays open on a refusal.
    std::function<int(NewLinkRequest&)> check;
    FolderChoice choice;
};

struct NewLinkDialogResult {
    std::optional<NewLinkRequest> accepted;
    bool folders_created = false;
};

struct LinkTexts {
    QString title, url, comment;
};

struct DuplicatesRequest {
    Link link;
    QString folder_path;
    std::vector<std::pair<Link, QString>> rows;  // record and its folder's full name
};

// The dialogs and desktop services the controller needs. The main window implements it with
// real dialogs; tests implement it with canned answers.
class UiServices {
public:
    virtual ~UiServices() = default;

    virtual std::optional<QString> new_folder_text() = 0;
    virtual std::optional<std::pair<QString, bool>> folder_properties(const QString& title,
                                                                      bool is_protected) = 0;
    virtual MoveResult move_items(const MoveRequest& request) = 0;
    virtual NewLinkDialogResult new_link(const NewLinkDialogRequest& request) = 0;
    virtual std::optional<LinkTexts> edit_link(const Link& link) = 0;
    // The ids of the links to delete, or none.
    virtual std::vector<RowId> duplicates(const DuplicatesRequest& request) = 0;
    virtual bool most_visited_preferences(Settings& settings) = 0;
    virtual bool recent_preferences(Settings& settings) = 0;
    // Edits the "Open With" list in place; true when it changed.
    virtual bool edit_application_list(std::vector<Application>& list) = 0;
    virtual std::optional<QString> save_html_file(const QString& default_name) = 0;
    // The OPML subscription list to import, or to export to.
    virtual std::optional<QString> open_subscriptions_file() = 0;
    virtual std::optional<QString> save_subscriptions_file(const QString& default_name) = 0;
    // Which of the feeds a page announces to subscribe to (an index), or none.
    virtual std::optional<std::size_t> choose_feed(const std::vector<FeedLink>& feeds) = 0;
    // The snapshot to restore, chosen from the list, or none.
    virtual std::optional<std::filesystem::path> choose_backup(
        const std::vector<Snapshot>& snapshots) = 0;
    virtual void about() = 0;
    // A message box with this text, icon and buttons; the button pressed.
    virtual QMessageBox::StandardButton message_box(const QString& text, QMessageBox::Icon icon,
                                                    QMessageBox::StandardButtons buttons) = 0;

    // Both return true only when the address was handed to a browser or a program.
    virtual bool open_url(const QString& url) = 0;
    virtual bool start_program(const QString& program, const QString& url) = 0;
    virtual void set_clipboard(const QString& text) = 0;
    virtual bool open_help(const QString& language) = 0;
};

}  // namespace tb::app
