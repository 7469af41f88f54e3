#include "app/feed_area.h"

#include <QApplication>
#include <QDesktopServices>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QTreeWidgetItem>

#include "app/add_channel_dialog.h"
#include "app/app_controller.h"
#include "app/desktop_launch.h"
#include "app/feeds_editor_dialog.h"
#include "app/folder_tree.h"
#include "app/id_variant.h"
#include "app/main_window.h"
#include "feeds/opml.h"
#include "platform/log.h"
#include "platform/messages.h"

namespace tb::app {

namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

QIcon theme_icon(const char* name, QStyle::StandardPixmap fallback) {
    return QIcon::fromTheme(QString::fromLatin1(name),
                            QApplication::style()->standardIcon(fallback));
}

QIcon feed_icon() {
    return theme_icon("application-rss+xml", QStyle::SP_FileLinkIcon);
}

// The feed icon with a state emblem in its lower right corner.
QIcon with_emblem(const QIcon& base, const QIcon& emblem) {
    QIcon composed;
    for (int size : {16, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        base.paint(&painter, pixmap.rect());
        const int corner = size * 5 / 8;
        emblem.paint(&painter, QRect(size - corner, size - corner, corner, corner));
        painter.end();
        composed.addPixmap(pixmap);
    }
    return composed;
}

}  // namespace

FeedArea::FeedArea(AppController& controller, UiServices& ui, std::filesystem::path feeds_folder,
                   DownloadOptions options, QObject* parent)
    : QObject(parent),
      controller_(controller),
      ui_(ui),
      options_(options),
      channels_(std::make_unique<ChannelList>(controller.model().db, xml_, std::move(feeds_folder),
                                              options)),
      probes_(1, [this](const std::string& what) {
          // A look-up that throws is shown with the exception's text.
          QMetaObject::invokeMethod(
              this,
              [this, text = QString::fromStdString(what)] {
                  if (!closed_) {
                      warn(text);
                  }
              },
              Qt::QueuedConnection);
      }) {
    channels_->load_channels();
    // Workers only wake the GUI thread; one queued delivery drains whatever has piled up.
    channels_->events().set_notifier([this] {
        if (!delivery_pending_.exchange(true)) {
            QMetaObject::invokeMethod(this, &FeedArea::deliver_events, Qt::QueuedConnection);
        }
    });
    connect(&timer_, &QTimer::timeout, this, [this] {
        // A tick during an import waits for the next one.
        if (!channels_->empty() && !controller_.busy()) {
            channels_->update_all(UpdateTrigger::Timer);
        }
    });
    ask_new_channel =
        [this](const QString& location) -> std::optional<std::pair<QString, QString>> {
        if (QWidget* parent = dialog_parent()) {
            parent->window()->raise();
            parent->window()->activateWindow();
        }
        AddChannelDialog dialog(location, dialog_parent());
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        return std::make_pair(dialog.title(), dialog.location());
    };
    run_editor = [this] {
        FeedsEditorDialog dialog(*channels_, controller_.settings().update_channels_every,
                                 dialog_parent());
        dialog.exec();
        return dialog.changed();
    };
    launch = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    controller_.feed_records = [this] { return records(); };
    controller_.feed_title = [this](RowId feed) {
        const auto channel = channels_->channel(feed);
        return channel ? qs(channel->title) : QString();
    };
    controller_.open_feed_item = [this] { open_item(); };
    register_commands();
}

FeedArea::~FeedArea() {
    shutdown();
    controller_.feed_records = nullptr;
    controller_.feed_title = nullptr;
    controller_.open_feed_item = nullptr;
}

void FeedArea::register_commands() {
    auto always = [] { return CommandStatus{}; };
    auto feed_selected = [this] { return CommandStatus{.enabled = controller_.state().feed_mode}; };
    auto item_selected = [this] {
        const WindowState& state = controller_.state();
        return CommandStatus{.enabled = state.feed_mode && state.current_link >= 0};
    };
    controller_.add_command(
        kCmdNewFeed, [this] { new_channel(); }, always);
    controller_.add_command(
        kCmdUpdateAllFeeds, [this] { update_all(); }, always);
    controller_.add_command(
        kCmdFeedsEditor, [this] { open_editor(); }, always);
    controller_.add_command(
        kCmdImportFeeds, [this] { import_subscriptions(); },
        [this] { return CommandStatus{.enabled = xml_.available()}; });
    controller_.add_command(
        kCmdExportFeeds, [this] { export_subscriptions(); }, always);
    controller_.add_command(
        kCmdUpdateFeed, [this] { update_selected(); }, feed_selected);
    controller_.add_command(
        kCmdDeleteFeed, [this] { delete_selected(); }, feed_selected);
    controller_.add_command(
        kCmdCopyFeedLocation,
        [this] { ui_.set_clipboard(qs(channels_->location(controller_.state().current_folder))); },
        feed_selected);
    controller_.add_command(
        kCmdStoreItem, [this] { store_item(); }, item_selected);
    controller_.add_command(
        kCmdCopyItemAddress,
        [this] {
            if (const auto item = current_item()) {
                ui_.set_clipboard(qs(item->link));
            }
        },
        item_selected);
}

void FeedArea::attach(MainWindow& window) {
    window_ = &window;
    reporter_.set_parent(&window);
    window.add_feed_items = [this](FolderTree* tree) { add_tree_items(tree); };
    window.feed_item_texts = [this]() -> std::optional<LinkTexts> {
        const auto item = current_item();
        if (!item) {
            return std::nullopt;
        }
        return LinkTexts{qs(item->title), qs(item->link), qs(item->description)};
    };
    window.feed_status = [this] {
        const auto channel = channels_->channel(controller_.state().current_folder);
        return channel ? failure_text(*channel) : QString();
    };
}

QWidget* FeedArea::dialog_parent() const {
    return controller_.dialog_parent() != nullptr ? controller_.dialog_parent() : window_.data();
}

void FeedArea::start() {
    if (closed_ || !xml_.initialize(reporter_)) {
        return;
    }
    channels_->update_all();
    // Set once: a new period from the Update Frequency dialog applies from the next start.
    timer_.start(controller_.settings().update_channels_every * 60000);
}

void FeedArea::shutdown() {
    if (closed_) {
        return;
    }
    closed_ = true;
    reporter_.set_parent(window_.data());
    channels_->events().set_notifier(nullptr);
    abort_probes_ = true;
    probes_.shutdown();
    channels_->shutdown();
    channels_->delete_downloaded_files(reporter_);
    timer_.stop();
    xml_.terminate();
}

void FeedArea::new_channel(const QString& location) {
    const auto entered = ask_new_channel(location);
    if (!entered) {
        return;
    }
    const std::string title = entered->first.toStdString();
    const std::string address = entered->second.toStdString();
    if (title.empty() || address.empty()) {
        subscribe(title, address);
        return;
    }
    const bool queued = probes_.post([this, title, address] {
        Discovery found = discover_feeds(address, options_, &abort_probes_);
        QMetaObject::invokeMethod(
            this,
            [this, title, address, found = std::move(found)] {
                finish_new_channel(title, address, found);
            },
            Qt::QueuedConnection);
    });
    if (!queued) {
        subscribe(title, address);
        return;
    }
    if (!window_.isNull()) {
        window_->statusBar()->showMessage(tr("Looking for the newsfeed at %1...").arg(qs(address)));
    }
}

void FeedArea::finish_new_channel(const std::string& title, const std::string& location,
                                  const Discovery& found) {
    if (closed_) {
        return;
    }
    if (!window_.isNull() && window_->statusBar()->currentMessage() ==
                                 tr("Looking for the newsfeed at %1...").arg(qs(location))) {
        window_->statusBar()->clearMessage();
    }
    if (!found.page) {
        subscribe(title, location);
        return;
    }
    if (found.feeds.empty()) {
        warn(message_text(no_feed_on_page(location)));
        return;
    }
    const auto chosen =
        found.feeds.size() == 1 ? std::optional<std::size_t>(0) : ui_.choose_feed(found.feeds);
    if (chosen && *chosen < found.feeds.size()) {
        subscribe(title, found.feeds[*chosen].location);
    }
}

void FeedArea::subscribe(const std::string& title, const std::string& location) {
    if (channels_->add_channel(title, location)) {
        controller_.refill_tree(true);
    }
}

void FeedArea::import_subscriptions() {
    const auto file = ui_.open_subscriptions_file();
    if (!file) {
        return;
    }
    const OpmlList list = read_opml(file->toStdString());
    if (!list.ok) {
        warn(tr("Cannot import '%1': %2.").arg(*file, message_text(list.failure)));
        return;
    }
    const ChannelList::ImportCount count = channels_->import_channels(list.feeds);
    controller_.refill_tree(true);
    if (count.added > 0) {
        channels_->update_all();
    }
    controller_.inform_text(
        count.added == 1 ? tr("Added 1 newsfeed, skipped %1 already subscribed.").arg(count.skipped)
                         : tr("Added %1 newsfeeds, skipped %2 already subscribed.")
                               .arg(count.added)
                               .arg(count.skipped));
}

void FeedArea::export_subscriptions() {
    const auto file = ui_.save_subscriptions_file(QStringLiteral("newsfeeds.opml"));
    if (!file) {
        return;
    }
    const std::vector<OpmlFeed> feeds = channels_->subscriptions();
    if (!write_opml(file->toStdString(), feeds)) {
        warn(tr("Cannot write '%1'.").arg(*file));
        return;
    }
    controller_.inform_text(feeds.size() == 1 ? tr("Exported 1 newsfeed.")
                                              : tr("Exported %1 newsfeeds.").arg(feeds.size()));
}

void FeedArea::warn(const QString& text) {
    MessageBoxes::show(dialog_parent(), text, QMessageBox::Warning);
}

void FeedArea::update_all() {
    channels_->update_all();
}

void FeedArea::update_selected() {
    channels_->update_one(controller_.state().current_folder);
}

void FeedArea::delete_selected() {
    const RowId id = controller_.state().current_folder;
    const auto answer =
        MessageBoxes::show(dialog_parent(), tr("Delete this channel?"), QMessageBox::Question,
                           QMessageBox::Ok | QMessageBox::Cancel);
    if (answer != QMessageBox::Ok) {
        return;
    }
    if (channels_->delete_channel(id)) {
        controller_.refill_tree(true);
    }
}

void FeedArea::open_editor() {
    if (!run_editor()) {
        return;
    }
    channels_->load_channels();
    channels_->update_all();
    controller_.refill_tree(true);
}

void FeedArea::store_item() {
    if (const auto item = current_item()) {
        controller_.new_link_dialog(qs(item->title), qs(item->link), qs(item->description));
    }
}

void FeedArea::open_item() {
    const auto item = current_item();
    if (!item) {
        return;
    }
    const QUrl url = url_for_address(qs(item->link));
    if (!url.isValid() || url.isEmpty()) {
        MessageBoxes::show(dialog_parent(), tr("Cannot launch application."));
        return;
    }
    // The address comes from a remote document: anything but the web is confirmed first.
    if (opening_needs_confirmation(url, true)) {
        const QString question =
            tr("The address \"%1\" is opened by the program that handles \"%2:\" addresses.\n"
               "Do you want to open it?")
                .arg(url.toDisplayString(), url.scheme());
        if (MessageBoxes::show(dialog_parent(), question, QMessageBox::Question,
                               QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
            return;
        }
    }
    if (!launch(url)) {
        MessageBoxes::show(dialog_parent(), tr("Cannot launch application."));
    }
}

std::optional<FeedItem> FeedArea::current_item() const {
    const WindowState& state = controller_.state();
    if (!state.feed_mode || state.current_link < 0) {
        return std::nullopt;
    }
    const auto channel = channels_->channel(state.current_folder);
    if (!channel || channel->state != UpdateState::Updated) {
        return std::nullopt;
    }
    return channels_->item(state.current_folder, state.current_link);
}

std::vector<Link> FeedArea::records() const {
    std::vector<Link> rows;
    const WindowState& state = controller_.state();
    if (!state.feed_mode) {
        return rows;
    }
    for (const FeedLinkRow& row : channels_->listed_links(state.current_folder)) {
        rows.push_back({.id = row.id,
                        .title = row.title,
                        .url = row.url,
                        .comment = row.comment,
                        .parent = row.parent});
    }
    return rows;
}

void FeedArea::add_tree_items(FolderTree* tree) {
    const std::vector<Channel> channels = channels_->channels();
    if (channels.empty()) {
        return;
    }
    QTreeWidgetItem* top =
        tree->add_special(kNewsfeedsFolder, message_text(Message::of(msg::kNewsfeeds)),
                          theme_icon("folder-remote", QStyle::SP_DirLinkIcon));
    for (const Channel& channel : channels) {
        auto* item = new QTreeWidgetItem(top, {qs(channel.title)});
        item->setData(0, kFolderIdRole, id_variant(channel.id));
        item->setData(0, kIsFeedRole, true);
        item->setToolTip(0, tooltip(channel));
        item->setIcon(0, state_icon(channel.state));
    }
    top->setExpanded(true);
}

QIcon FeedArea::state_icon(UpdateState state) {
    switch (state) {
        case UpdateState::Updating:
            return with_emblem(feed_icon(),
                               theme_icon("emblem-synchronizing", QStyle::SP_BrowserReload));
        case UpdateState::Updated:
            return with_emblem(feed_icon(),
                               theme_icon("emblem-default", QStyle::SP_DialogApplyButton));
        case UpdateState::DownloadFailed:
            return with_emblem(feed_icon(),
                               theme_icon("emblem-important", QStyle::SP_MessageBoxCritical));
        case UpdateState::NotUpdated:
            break;
    }
    return feed_icon();
}

QString FeedArea::failure_text(const Channel& channel) {
    if (channel.state != UpdateState::DownloadFailed || channel.failure == Message{}) {
        return {};
    }
    return tr("Download failed: %1").arg(message_text(channel.failure));
}

QString FeedArea::tooltip(const Channel& channel) const {
    const QString failure = failure_text(channel);
    return failure.isEmpty() ? qs(channel.location) : qs(channel.location) + '\n' + failure;
}

void FeedArea::show_state(const FeedEvent& event) {
    const auto channel = channels_->channel(event.channel_id);
    if (channel && event.state == UpdateState::DownloadFailed) {
        log_append("Newsfeed '" + channel->title + "': download failed: " + render(event.message));
    }
    if (window_.isNull()) {
        return;
    }
    if (QTreeWidgetItem* item = window_->tree()->feed_item_for(event.channel_id)) {
        item->setIcon(0, state_icon(event.state));
        if (channel) {
            item->setToolTip(0, tooltip(*channel));
        }
    }
    const WindowState& state = controller_.state();
    if (state.feed_mode && state.current_folder == event.channel_id) {
        window_->show_properties();
    }
}

void FeedArea::deliver_events() {
    delivery_pending_ = false;
    if (closed_) {
        return;
    }
    for (const FeedEvent& event : channels_->events().drain()) {
        // A message box runs its own event loop, in which the program may close.
        if (closed_) {
            return;
        }
        switch (event.kind) {
            case FeedEvent::Kind::StateChanged:
                show_state(event);
                break;
            case FeedEvent::Kind::Message:
                reporter_.report(event.message);
                break;
            case FeedEvent::Kind::ItemsChanged: {
                const WindowState& state = controller_.state();
                if (state.feed_mode && state.current_folder == event.channel_id) {
                    controller_.folder_selected(event.channel_id, true);
                }
                break;
            }
        }
    }
}

}  // namespace tb::app
