#pragma once

#include <QCoreApplication>

#include "app/ui_services.h"
#include "model/folder_store.h"

class QWidget;

namespace tb::app {

// The controller's dialogs and desktop services, shown over the main window.
class DialogServices : public UiServices {
    Q_DECLARE_TR_FUNCTIONS(DialogServices)

public:
    DialogServices(const FolderStore& folders, QWidget* parent = nullptr);

    void set_parent(QWidget* parent) { parent_ = parent; }

    std::optional<QString> new_folder_text() override;
    std::optional<std::pair<QString, bool>> folder_properties(const QString& title,
                                                              bool is_protected) override;
    MoveResult move_items(const MoveRequest& request) override;
    NewLinkDialogResult new_link(const NewLinkDialogRequest& request) override;
    std::optional<LinkTexts> edit_link(const Link& link) override;
    std::vector<RowId> duplicates(const DuplicatesRequest& request) override;
    bool most_visited_preferences(Settings& settings) override;
    bool recent_preferences(Settings& settings) override;
    bool edit_application_list(std::vector<Application>& list) override;
    std::optional<QString> save_html_file(const QString& default_name) override;
    std::optional<QString> open_subscriptions_file() override;
    std::optional<QString> save_subscriptions_file(const QString& default_name) override;
    std::optional<std::size_t> choose_feed(const std::vector<FeedLink>& feeds) override;
    std::optional<std::filesystem::path> choose_backup(
        const std::vector<Snapshot>& snapshots) override;
    void about() override;
    QMessageBox::StandardButton message_box(const QString& text, QMessageBox::Icon icon,
                                            QMessageBox::StandardButtons buttons) override;

    bool open_url(const QString& url) override;
    bool start_program(const QString& program, const QString& url) override;
    void set_clipboard(const QString& text) override;
    bool open_help(const QString& language) override;

private:
    const FolderStore& folders_;
    QWidget* parent_;
};

}  // namespace tb::app
