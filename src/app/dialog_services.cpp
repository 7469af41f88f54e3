#include "app/dialog_services.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>

#include "app/about_dialog.h"
#include "app/application_list_dialog.h"
#include "app/choose_feed_dialog.h"
#include "app/desktop_launch.h"
#include "app/duplicates_dialog.h"
#include "app/edit_link_dialog.h"
#include "app/folder_properties_dialog.h"
#include "app/message_box.h"
#include "app/most_visited_dialog.h"
#include "app/move_items_dialog.h"
#include "app/new_folder_dialog.h"
#include "app/new_link_dialog.h"
#include "app/recent_links_dialog.h"
#include "app/restore_backup_dialog.h"

namespace tb::app {

DialogServices::DialogServices(const FolderStore& folders, QWidget* parent)
    : folders_(folders), parent_(parent) {}

std::optional<QString> DialogServices::new_folder_text() {
    NewFolderDialog dialog(parent_);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.text();
}

std::optional<std::pair<QString, bool>> DialogServices::folder_properties(const QString& title,
                                                                          bool is_protected) {
    FolderPropertiesDialog dialog(title, is_protected, parent_);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return std::make_pair(dialog.title(), dialog.is_protected());
}

MoveResult DialogServices::move_items(const MoveRequest& request) {
    MoveItemsDialog dialog(folders_, request, parent_);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    return {.target = accepted ? std::optional<RowId>(dialog.target()) : std::nullopt,
            .folders_created = dialog.folders_created()};
}

NewLinkDialogResult DialogServices::new_link(const NewLinkDialogRequest& request) {
    if (parent_ != nullptr) {
        parent_->window()->raise();
        parent_->window()->activateWindow();
    }
    NewLinkDialog dialog(folders_, request, parent_);
    dialog.exec();
    return {.accepted = dialog.accepted_request(), .folders_created = dialog.folders_created()};
}

std::optional<LinkTexts> DialogServices::edit_link(const Link& link) {
    EditLinkDialog dialog(link, parent_);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.texts();
}

std::vector<RowId> DialogServices::duplicates(const DuplicatesRequest& request) {
    DuplicatesDialog dialog(request, parent_);
    dialog.exec();
    return dialog.doomed();
}

std::optional<std::filesystem::path> DialogServices::choose_backup(
    const std::vector<Snapshot>& snapshots) {
    RestoreBackupDialog dialog(snapshots, parent_);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.chosen();
}

bool DialogServices::most_visited_preferences(Settings& settings) {
    MostVisitedDialog dialog(settings, parent_);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    dialog.apply_to(settings);
    return true;
}

bool DialogServices::recent_preferences(Settings& settings) {
    RecentLinksDialog dialog(settings, parent_);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    dialog.apply_to(settings);
    return true;
}

bool DialogServices::edit_application_list(std::vector<Application>& list) {
    ApplicationListDialog dialog(list, parent_);
    dialog.exec();
    return dialog.changed();
}

std::optional<QString> DialogServices::save_html_file(const QString& default_name) {
    QString start = default_name;
    if (QDir::isRelativePath(start)) {
        start = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                    .filePath(default_name);
    }
    QFileDialog dialog(parent_, tr("Save as HTML"), start);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(tr("HTML documents (*.html)"));
    dialog.setDefaultSuffix(QStringLiteral("html"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front();
}

std::optional<QString> DialogServices::open_subscriptions_file() {
    const QString file = QFileDialog::getOpenFileName(
        parent_, tr("Import Subscriptions"), QString(), tr("Subscription lists (*.opml *.xml)"));
    return file.isEmpty() ? std::nullopt : std::optional<QString>(file);
}

std::optional<QString> DialogServices::save_subscriptions_file(const QString& default_name) {
    const QString start = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                              .filePath(default_name);
    QFileDialog dialog(parent_, tr("Export Subscriptions"), start);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(tr("Subscription lists (*.opml *.xml)"));
    dialog.setDefaultSuffix(QStringLiteral("opml"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front();
}

std::optional<std::size_t> DialogServices::choose_feed(const std::vector<FeedLink>& feeds) {
    ChooseFeedDialog dialog(feeds, parent_);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.chosen();
}

void DialogServices::about() {
    AboutDialog dialog(parent_);
    dialog.exec();
}

QMessageBox::StandardButton DialogServices::message_box(const QString& text, QMessageBox::Icon icon,
                                                        QMessageBox::StandardButtons buttons) {
    return MessageBoxes::show(parent_, text, icon, buttons);
}

bool DialogServices::open_url(const QString& url) {
    const QUrl target = url_for_address(url);
    if (!target.isValid() || target.isEmpty()) {
        MessageBoxes::show(parent_, tr("Cannot launch application."));
        return false;
    }
    if (opening_needs_confirmation(target)) {
        const QString question =
            tr("The address \"%1\" is opened by the program that handles \"%2:\" addresses.\n"
               "Do you want to open it?")
                .arg(target.toDisplayString(), target.scheme());
        if (MessageBoxes::show(parent_, question, QMessageBox::Question,
                               QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
            return false;
        }
    }
    if (!QDesktopServices::openUrl(target)) {
        MessageBoxes::show(parent_, tr("Cannot launch application."));
        return false;
    }
    return true;
}

bool DialogServices::start_program(const QString& program, const QString& url) {
    if (!address_is_safe_argument(url)) {
        MessageBoxes::show(parent_, tr("The address \"%1\" starts with \"-\" and cannot be passed "
                                       "to another program.")
                                        .arg(url));
        return false;
    }
    // The address is one argument of its own: no shell ever reads it.
    if (!QProcess::startDetached(program, {url})) {
        MessageBoxes::show(parent_, tr("Cannot launch application."));
        return false;
    }
    return true;
}

void DialogServices::set_clipboard(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

bool DialogServices::open_help(const QString& language) {
    const QString file = find_help_file(language, help_folders());
    return !file.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

}  // namespace tb::app
