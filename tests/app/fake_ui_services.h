#pragma once

#include <optional>
#include <vector>

#include "app/message_box.h"
#include "app/ui_services.h"

namespace tb::test {

// Declines every dialog and records the New Link requests; a test overrides what it answers.
class FakeUiServices : public app::UiServices {
public:
    std::vector<app::NewLinkDialogRequest> new_link_requests;
    int about_calls = 0;

    std::optional<QString> new_folder_text() override { return {}; }
    std::optional<std::pair<QString, bool>> folder_properties(const QString&, bool) override {
        return {};
    }
    app::MoveResult move_items(const app::MoveRequest&) override { return {}; }
    app::NewLinkDialogResult new_link(const app::NewLinkDialogRequest& request) override {
        new_link_requests.push_back(request);
        return {};
    }
    std::optional<app::LinkTexts> edit_link(const Link&) override { return {}; }
    std::vector<RowId> duplicates(const app::DuplicatesRequest&) override { return {}; }
    bool most_visited_preferences(Settings&) override { return false; }
    bool recent_preferences(Settings&) override { return false; }
    bool edit_application_list(std::vector<Application>&) override { return false; }
    std::optional<QString> save_html_file(const QString&) override { return {}; }
    // The file dialogs of the subscription list answer these, when set.
    std::optional<QString> subscriptions_to_open;
    std::optional<QString> subscriptions_to_save;
    std::optional<QString> open_subscriptions_file() override { return subscriptions_to_open; }
    std::optional<QString> save_subscriptions_file(const QString&) override {
        return subscriptions_to_save;
    }
    // Chooses the feed at this index of the list it is shown, when set.
    std::optional<std::size_t> feed_choice;
    std::vector<FeedLink> feeds_shown;
    std::optional<std::size_t> choose_feed(const std::vector<FeedLink>& feeds) override {
        feeds_shown = feeds;
        return feed_choice;
    }
    // Chooses the snapshot at this index of the list it is shown, when set.
    std::optional<std::size_t> backup_choice;
    std::vector<Snapshot> backups_shown;
    std::optional<std::filesystem::path> choose_backup(
        const std::vector<Snapshot>& snapshots) override {
        backups_shown = snapshots;
        if (!backup_choice || *backup_choice >= snapshots.size()) {
            return {};
        }
        return snapshots[*backup_choice].path;
    }
    void about() override { ++about_calls; }
    // The program's message boxes, which tests answer ahead of time.
    QMessageBox::StandardButton message_box(const QString& text, QMessageBox::Icon icon,
                                            QMessageBox::StandardButtons buttons) override {
        return app::MessageBoxes::show(nullptr, text, icon, buttons);
    }
    bool open_url(const QString&) override { return false; }
    bool start_program(const QString&, const QString&) override { return false; }
    void set_clipboard(const QString&) override {}
    bool open_help(const QString&) override { return false; }
};

}  // namespace tb::test
