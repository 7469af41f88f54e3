#pragma once

#include <QMainWindow>
#include <QPointer>
#include <map>

#include "app/app_controller.h"
#include "app/folder_tree.h"
#include "app/link_list_model.h"

class QAction;
class QMimeData;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPlainTextEdit;
class QStackedWidget;
class QToolBar;
class QTreeView;
class QSplitter;

namespace tb::app {

// The folder tree on the left, the link list on the right, the toolbars above and the status
// bar below. Every command goes to the controller; this class only shows its state.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(AppController& controller, QWidget* parent = nullptr);

    // Fills the tree and selects the root, as at start-up.
    void start();

    FolderTree* tree() const { return tree_; }
    LinkListModel* list_model() const { return list_model_; }
    QAbstractItemView* list_view() const { return current_view(); }
    QAction* action(int command) const;
    QMenu* tree_context_menu(RowId folder_id);
    QLabel* status_pane(int index) const;
    QToolBar* properties_bar() const { return properties_bar_; }
    QToolBar* quick_search_bar() const { return quick_bar_; }
    QLineEdit* quick_search_edit() const { return quick_edit_; }
    QSplitter* splitter() const { return splitter_; }
    // The window's normal geometry, its maximised state and the tree's width, for the next start.
    void save_placement(Settings& settings) const;

    // Updates the enabled, checked and text state of every action from the controller.
    void update_actions();
    void rebuild_open_with_menu();
    // Areas that fill the tree's special part (newsfeeds) hook in here.
    std::function<void(FolderTree*)> add_feed_items;
    // The texts of the current newsfeed item, shown in feed mode like a link's.
    std::function<std::optional<LinkTexts>()> feed_item_texts;
    // Why the shown newsfeed's last update failed; empty when it did not.
    std::function<QString()> feed_status;
    // The Recent Queries submenus are filled by the search area.
    std::function<void(QMenu*)> fill_recent_queries;

public slots:
    void refill_tree(bool keep_selection);
    // After another program changed the data: the tree and the list refilled with the current
    // folder, the selected links and the expanded folders kept.
    void reload_keeping_selection();
    void select_links(const std::vector<RowId>& ids);
    void refill_list();
    // Updates the rows a write touched; refills when the list shows no plain folder.
    void refresh_links(const std::vector<RowId>& ids);
    void select_folder(RowId id);
    void show_properties();
    void apply_list_style(int style);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void closing();

private:
    // The status count and the selection of the last opened link, after the rows changed.
    void after_rows_changed();
    void build_actions();
    void build_menus();
    void build_toolbars();
    void build_panes();
    void build_status_bar();
    void restore_placement();
    void show_idle_message(const QString& text);
    QMenu* build_menu(const QString& title, const std::vector<struct MenuEntry>& entries);
    bool drop_allowed(const QMimeData& data, RowId target) const;
    void drop_items(const QMimeData& data, RowId target);
    void on_tree_selection();
    void on_list_selection();
    void on_header_clicked(int column);
    void show_list_context_menu(const QPoint& global);
    void show_tree_context_menu(const QPoint& global);
    std::vector<RowId> selected_ids() const;
    QAbstractItemView* current_view() const;

    AppController& controller_;
    FolderTree* tree_ = nullptr;
    LinkListModel* list_model_ = nullptr;
    QStackedWidget* views_ = nullptr;
    QTreeView* details_view_ = nullptr;
    QListView* icon_view_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QToolBar* quick_bar_ = nullptr;
    QToolBar* properties_bar_ = nullptr;
    QLineEdit* quick_edit_ = nullptr;
    QLineEdit* title_edit_ = nullptr;
    QLineEdit* address_edit_ = nullptr;
    QPlainTextEdit* comment_edit_ = nullptr;
    std::vector<QLabel*> panes_;
    std::map<int, QAction*> actions_;
    QMenu* recent_queries_menu_ = nullptr;
    QMenu* open_with_menu_ = nullptr;
    std::vector<std::pair<int, QAction*>> open_with_actions_;
    QMenu* link_menu_ = nullptr;
    QMenu* folder_menu_ = nullptr;
    bool refilling_tree_ = false;
    QString idle_message_;
};

}  // namespace tb::app
