#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/message_box.h"
#include "feeds/channel_list.h"
#include "feeds/feed_discovery.h"
#include "feeds/feed_parser.h"
#include "model/link_store.h"
#include "platform/worker_pool.h"

class QIcon;
class QTreeWidgetItem;

namespace tb::app {

class AppController;
class FolderTree;
class MainWindow;
class UiServices;

// The newsfeeds of the main window: the channel list and its workers, the Newsfeeds part of the
// folder tree with each feed's state, feed mode in the link list, the Newsfeeds commands and
// the update timer. Workers report through the channel list's queue; this area drains it on
// the GUI thread.
class FeedArea : public QObject {
    Q_OBJECT

public:
    FeedArea(AppController& controller, UiServices& ui, std::filesystem::path feeds_folder,
             DownloadOptions options = {}, QObject* parent = nullptr);
    ~FeedArea() override;

    // Hooks the tree, the properties bar and the message boxes into the window.
    void attach(MainWindow& window);
    // Initialises the XML library on this thread; on success updates every feed and starts the
    // timer, with the period of the setting at this moment. On failure feeds stay off.
    void start();
    // At exit: workers aborted and joined, this run's downloads deleted, timer stopped, XML
    // library terminated. Idempotent.
    void shutdown();

    ChannelList& channels() { return *channels_; }
    bool available() const { return xml_.available(); }
    const QTimer& timer() const { return timer_; }

    // "Add Newsfeed" with a preset location (the drop window's newsfeed). On OK the address is
    // fetched once in the background: a web page stands for the feed it announces (the user
    // chooses when it announces several); then subscribes and rebuilds the tree.
    void new_channel(const QString& location = {});
    // Drains the workers' reports: tree states, the parser's messages, the shown feed's refill.
    void deliver_events();

    // The link rows of the shown feed: only once it is updated, without untitled items.
    std::vector<Link> records() const;
    std::optional<FeedItem> current_item() const;
    void add_tree_items(FolderTree* tree);

    // The dialogs and the desktop are replaceable so tests can answer without showing them.
    std::function<std::optional<std::pair<QString, QString>>(const QString& location)>
        ask_new_channel;
    std::function<bool()> run_editor;
    std::function<bool(const QUrl&)> launch;

    static QIcon state_icon(UpdateState state);

private:
    void register_commands();
    void update_all();
    void update_selected();
    void delete_selected();
    void open_editor();
    void store_item();
    void open_item();
    void finish_new_channel(const std::string& title, const std::string& location,
                            const Discovery& found);
    void subscribe(const std::string& title, const std::string& location);
    void import_subscriptions();
    void export_subscriptions();
    void warn(const QString& text);
    void show_state(const FeedEvent& event);
    // "Download failed: ..." for a feed whose last update failed, else empty.
    static QString failure_text(const Channel& channel);
    QString tooltip(const Channel& channel) const;
    QWidget* dialog_parent() const;

    AppController& controller_;
    UiServices& ui_;
    MessageBoxReporter reporter_;
    XercesRuntime xml_;
    DownloadOptions options_;
    std::unique_ptr<ChannelList> channels_;
    QTimer timer_;
    QPointer<MainWindow> window_;
    std::atomic<bool> delivery_pending_{false};
    bool closed_ = false;
    std::atomic<bool> abort_probes_{false};
    // Last: the look-ups at addresses the user entered, one at a time, off the GUI thread.
    WorkerPool probes_;
};

}  // namespace tb::app
