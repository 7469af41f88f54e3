#include "app/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTreeView>
#include <ctime>

#include "app/app_icon.h"
#include "app/command_table.h"
#include "app/commands.h"
#include "app/dialog_parts.h"
#include "app/id_variant.h"
#include "app/item_drag.h"
#include "app/link_count.h"
#include "app/message_box.h"
#include "app/window_placement.h"
#include "platform/messages.h"

namespace tb::app {

namespace {

QString menu_text(const char* text) {
    return QCoreApplication::translate("Menu", text);
}

QIcon theme_icon(const char* name, QStyle::StandardPixmap fallback) {
    return QIcon::fromTheme(QString::fromLatin1(name),
                            QApplication::style()->standardIcon(fallback));
}

// The theme's icon, else the program's own drawing: the styles' stand-ins look alike (Large
// Icons as About), and a bare desktop has no theme.
QIcon command_icon(int command) {
    struct ToolbarIcon {
        int command;
        const char* theme_name;
        const char* own_file;
    };
    static constexpr ToolbarIcon kIcons[] = {
        {kCmdNewFolder, "folder-new", "new-folder"},
        {kCmdNewLink, "bookmark-new", "new-link"},
        {kCmdImport, "document-import", "import"},
        {kCmdUndo, "edit-undo", "undo"},
        {kCmdFind, "edit-find", "find"},
        {kCmdViewLargeIcons, "view-list-icons", "large-icons"},
        {kCmdViewSmallIcons, "view-grid", "small-icons"},
        {kCmdViewList, "view-list-text", "list"},
        {kCmdViewDetails, "view-list-details", "details"},
        {kCmdAbout, "help-about", "about"},
    };
    for (const ToolbarIcon& icon : kIcons) {
        if (icon.command == command) {
            return QIcon::fromTheme(
                QString::fromLatin1(icon.theme_name),
                QIcon(QStringLiteral(":/icons/toolbar/%1.svg").arg(QLatin1String(icon.own_file))));
        }
    }
    return {};
}

// Shortcuts that the panes handle themselves: only shown in the menus.
bool is_display_only(const char* shortcut) {
    const QString key = QString::fromLatin1(shortcut);
    return key == QLatin1String("Del") || key == QLatin1String("Enter");
}

QString last_visit_text(std::int64_t seconds, int language) {
    if (seconds == 0) {
        return message_text(Message::of(msg::kNotAvailable));
    }
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr) {
        return {};
    }
    if (language == 1) {
        static const char* const kMonths[] = {"%d января %d",  "%d февраля %d", "%d марта %d",
                                              "%d апреля %d",  "%d мая %d",     "%d июня %d",
                                              "%d июля %d",    "%d августа %d", "%d сентября %d",
                                              "%d октября %d", "%d ноября %d",  "%d декабря %d"};
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, kMonths[local.tm_mon], local.tm_mday,
                      local.tm_year + 1900);
        return QString::fromUtf8(buffer);
    }
    char buffer[64];
    std::strftime(buffer, sizeof buffer, "%d %b %Y", &local);
    return QString::fromLocal8Bit(buffer);
}

}  // namespace

MainWindow::MainWindow(AppController& controller, QWidget* parent)
    : QMainWindow(parent), controller_(controller) {
    setWindowTitle(message_text(Message::of(msg::kAppTitle)));
    setWindowIcon(program_icon());
    register_icons();
    build_actions();
    build_menus();
    build_toolbars();
    build_panes();
    build_status_bar();
    controller_.set_dialog_parent(this);

    connect(&controller_, &AppController::tree_refill_requested, this, &MainWindow::refill_tree);
    connect(&controller_, &AppController::list_refill_requested, this, &MainWindow::refill_list);
    connect(&controller_, &AppController::links_touched, this, &MainWindow::refresh_links);
    connect(&controller_, &AppController::folder_selection_requested, this,
            &MainWindow::select_folder);
    connect(&controller_, &AppController::caption_changed, this, &MainWindow::setWindowTitle);
    connect(&controller_, &AppController::properties_changed, this, &MainWindow::show_properties);
    connect(&controller_, &AppController::list_style_changed, this, &MainWindow::apply_list_style);
    connect(&controller_, &AppController::properties_bar_toggled, properties_bar_,
            &QToolBar::setVisible);
    // Queued: the command that asked for the exit finishes before the database is closed.
    connect(&controller_, &AppController::exit_requested, this, &MainWindow::close,
            Qt::QueuedConnection);
    resize(1000, 650);
}

void MainWindow::start() {
    restore_placement();
    apply_list_style(controller_.settings().list_style);
    properties_bar_->setVisible(controller_.settings().always_show_item_properties);
    refill_tree(false);
    update_actions();
}

QAction* MainWindow::action(int command) const {
    auto it = actions_.find(command);
    return it != actions_.end() ? it->second : nullptr;
}

QLabel* MainWindow::status_pane(int index) const {
    return panes_.at(static_cast<size_t>(index));
}

void MainWindow::save_placement(Settings& settings) const {
    // The frame's position, as move() takes it, of the window as it is when not maximised.
    const QRect normal = normalGeometry();
    const QPoint frame = normal.topLeft() - (geometry().topLeft() - pos());
    settings.window_pos_x = frame.x();
    settings.window_pos_y = frame.y();
    settings.window_width = normal.width();
    settings.window_height = normal.height();
    settings.window_maximised = isMaximized();
    settings.left_pane_width = tree_->width();
}

void MainWindow::restore_placement() {
    const Settings& settings = controller_.settings();
    if (settings.window_width <= 0 || settings.window_height <= 0) {
        return;
    }
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens << screen->availableGeometry();
    }
    const QRect placed =
        placed_window_geometry(QRect(settings.window_pos_x, settings.window_pos_y,
                                     settings.window_width, settings.window_height),
                               screens, QGuiApplication::primaryScreen()->availableGeometry());
    resize(placed.size());
    move(placed.topLeft());
    if (settings.window_maximised) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void MainWindow::build_actions() {
    auto make = [this](const MenuEntry& entry) {
        if (entry.id == 0 || actions_.count(entry.id) != 0) {
            return;
        }
        QString text = entry_text(entry);
        auto* action = new QAction(text, this);
        if (entry.shortcut != nullptr) {
            if (is_display_only(entry.shortcut)) {
                action->setText(text + QLatin1Char('\t') + QString::fromLatin1(entry.shortcut));
            } else {
                action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
            }
        }
        action->setCheckable(entry.checkable);
        action->setStatusTip(status_prompt(entry.id));
        QString tip = tooltip(entry.id);
        action->setToolTip(tip.isEmpty() ? QString(text).remove(QLatin1Char('&')) : tip);
        action->setIcon(command_icon(entry.id));
        const int id = entry.id;
        connect(action, &QAction::triggered, this, [this, id] {
            controller_.execute(id);
            update_actions();
        });
        actions_[id] = action;
    };
    for_each_main_menu_entry(make);
    // The list's display types live on the toolbar only.
    const std::pair<int, const char*> view_commands[] = {
        {kCmdViewLargeIcons, QT_TRANSLATE_NOOP("Menu", "Lar&ge Icons")},
        {kCmdViewSmallIcons, QT_TRANSLATE_NOOP("Menu", "S&mall Icons")},
        {kCmdViewList, QT_TRANSLATE_NOOP("Menu", "&List")},
        {kCmdViewDetails, QT_TRANSLATE_NOOP("Menu", "&Details")},
        {kCmdArrangeIcons, QT_TRANSLATE_NOOP("Menu", "Arrange &Icons")}};
    for (const auto& [id, text] : view_commands) {
        make({.id = id, .text = text, .checkable = id != kCmdArrangeIcons});
    }
    action(kCmdUndo)->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Z")), QKeySequence(QStringLiteral("Alt+Backspace"))});
    auto* languages = new QActionGroup(this);
    languages->addAction(action(kCmdEnglish));
    languages->addAction(action(kCmdRussian));
}

QMenu* MainWindow::build_menu(const QString& title, const std::vector<MenuEntry>& entries) {
    auto* menu = new QMenu(title, this);
    for (const MenuEntry& entry : entries) {
        if (!entry.children.empty() || entry.dynamic != MenuEntry::kNone) {
            QMenu* sub = build_menu(entry_text(entry), entry.children);
            menu->addMenu(sub);
            if (entry.dynamic == MenuEntry::kRecentQueries) {
                recent_queries_menu_ = sub;
                connect(sub, &QMenu::aboutToShow, this, [this, sub] {
                    if (fill_recent_queries) {
                        fill_recent_queries(sub);
                    }
                });
            } else if (entry.dynamic == MenuEntry::kOpenWith) {
                open_with_menu_ = sub;
            }
        } else if (entry.id == 0) {
            menu->addSeparator();
        } else {
            menu->addAction(action(entry.id));
        }
    }
    connect(menu, &QMenu::aboutToShow, this, &MainWindow::update_actions);
    return menu;
}

void MainWindow::build_menus() {
    for (const TopMenu& top : main_menu()) {
        QMenu* menu = build_menu(menu_text(top.title), top.entries);
        menuBar()->addMenu(menu);
        if (QString::fromLatin1(top.title) == QLatin1String("&Folder")) {
            folder_menu_ = menu;
        } else if (QString::fromLatin1(top.title) == QLatin1String("&Link")) {
            link_menu_ = menu;
        }
    }
    rebuild_open_with_menu();
}

void MainWindow::rebuild_open_with_menu() {
    open_with_menu_->clear();
    open_with_actions_.clear();
    const auto& apps = controller_.settings().applications;
    for (size_t i = 0; i < apps.size(); ++i) {
        const int id = kCmdOpenWithFirst + static_cast<int>(i);
        QAction* item = open_with_menu_->addAction(QString::fromStdString(apps[i].name));
        item->setEnabled(controller_.status(id).enabled);
        connect(item, &QAction::triggered, this, [this, id] {
            controller_.execute(id);
            update_actions();
        });
        open_with_actions_.emplace_back(id, item);
    }
    if (apps.empty()) {
        open_with_menu_->addAction(message_text(Message::of(msg::kNoApplications)))
            ->setEnabled(false);
    }
    open_with_menu_->addSeparator();
    QAction* edit =
        open_with_menu_->addAction(message_text(Message::of(msg::kEditApplicationList)));
    connect(edit, &QAction::triggered, this, [this] {
        controller_.execute(kCmdEditAppList);
        rebuild_open_with_menu();
    });
}

void MainWindow::build_toolbars() {
    QToolBar* main_bar = addToolBar(tr("Toolbar"));
    main_bar->setObjectName(QStringLiteral("MainToolbar"));
    for (int id : toolbar_commands()) {
        if (id == 0) {
            main_bar->addSeparator();
        } else if (QAction* a = action(id)) {
            main_bar->addAction(a);
        }
    }

    quick_bar_ = addToolBar(tr("Quick search"));
    quick_bar_->setObjectName(QStringLiteral("QuickSearchBar"));
    auto* quick_label = new QLabel(tr("&Quick search:"), quick_bar_);
    quick_edit_ = new QLineEdit(quick_bar_);
    quick_edit_->setClearButtonEnabled(true);
    quick_edit_->setMinimumWidth(180);
    quick_label->setBuddy(quick_edit_);
    quick_bar_->addWidget(quick_label);
    quick_bar_->addWidget(quick_edit_);
    auto* find_button = new QPushButton(tr("Find"), quick_bar_);
    find_button->setDefault(true);
    find_button->setObjectName(QStringLiteral("QuickFindButton"));
    auto* complex_button = new QPushButton(tr("Complex search..."), quick_bar_);
    quick_bar_->addWidget(find_button);
    quick_bar_->addWidget(complex_button);
    connect(complex_button, &QPushButton::clicked, this, [this] { controller_.execute(kCmdFind); });

    addToolBarBreak();
    properties_bar_ = addToolBar(tr("Item Properties"));
    properties_bar_->setObjectName(QStringLiteral("PropertiesBar"));
    auto labelled = [this](const QString& text, QWidget* edit) {
        properties_bar_->addWidget(buddy_label(text, edit, properties_bar_));
        properties_bar_->addWidget(edit);
    };
    title_edit_ = new QLineEdit(properties_bar_);
    address_edit_ = new QLineEdit(properties_bar_);
    comment_edit_ = new QPlainTextEdit(properties_bar_);
    comment_edit_->setMaximumHeight(title_edit_->sizeHint().height() * 2);
    comment_edit_->setTabChangesFocus(true);
    labelled(tr("Link &title:"), title_edit_);
    labelled(tr("Link &address:"), address_edit_);
    labelled(tr("Link &commentary:"), comment_edit_);
    auto* update = new QPushButton(tr("&Update Link"), properties_bar_);
    update->setObjectName(QStringLiteral("UpdateLinkButton"));
    properties_bar_->addWidget(update);
    connect(update, &QPushButton::clicked, this, [this] {
        controller_.update_link_from_bar(title_edit_->text(), address_edit_->text(),
                                         comment_edit_->toPlainText());
    });
}

void MainWindow::build_panes() {
    splitter_ = new QSplitter(Qt::Horizontal, this);
    tree_ = new FolderTree(splitter_);
    tree_->set_drop_rules(
        {.accepts = [this](const QMimeData& data,
                           RowId target) { return drop_allowed(data, target); },
         .drop = [this](const QMimeData& data, RowId target) { drop_items(data, target); },
         .draggable = [this](RowId folder) { return controller_.can_drag_folder(folder); }});
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    tree_->installEventFilter(this);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { on_tree_selection(); });
    connect(tree_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        show_tree_context_menu(tree_->viewport()->mapToGlobal(at));
    });

    list_model_ = new LinkListModel(this);
    // The store, not the window: a view may still ask for a row while the window is destroyed.
    list_model_->set_duplicates_lookup(
        [&links = controller_.model().links](std::vector<std::string_view> urls) {
            return links.duplicated_addresses(std::move(urls));
        });
    list_model_->set_highlight_unvisited(controller_.settings().highlight_unvisited_links);
    views_ = new QStackedWidget(splitter_);
    details_view_ = new QTreeView(views_);
    details_view_->setRootIsDecorated(false);
    details_view_->setUniformRowHeights(true);
    details_view_->setModel(list_model_);
    details_view_->header()->setSectionsClickable(true);
    details_view_->header()->setSortIndicatorShown(false);
    icon_view_ = new QListView(views_);
    icon_view_->setModel(list_model_);
    icon_view_->setSelectionModel(details_view_->selectionModel());
    icon_view_->setUniformItemSizes(true);
    icon_view_->setLayoutMode(QListView::Batched);
    icon_view_->setResizeMode(QListView::Adjust);
    // Icons are dragged onto folders, never rearranged inside the list.
    icon_view_->setMovement(QListView::Static);
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(details_view_),
                                    static_cast<QAbstractItemView*>(icon_view_)}) {
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setDragEnabled(true);
        view->setDragDropMode(QAbstractItemView::DragOnly);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        view->installEventFilter(this);
        connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& at) {
            show_list_context_menu(view->viewport()->mapToGlobal(at));
        });
        connect(view, &QAbstractItemView::doubleClicked, this,
                [this] { controller_.open_current(); });
    }
    details_view_->viewport()->installEventFilter(this);
    views_->addWidget(details_view_);
    views_->addWidget(icon_view_);
    connect(details_view_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { on_list_selection(); });
    connect(details_view_->header(), &QHeaderView::sectionClicked, this,
            &MainWindow::on_header_clicked);
    setCentralWidget(splitter_);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({controller_.settings().left_pane_width, 800});
}

void MainWindow::build_status_bar() {
    const int texts[] = {203, 204, 205, 206, 207, 208};
    for (int i = 0; i < 6; ++i) {
        auto* pane = new QLabel(message_text(Message::of(texts[i])), this);
        if (i % 2 == 1) {
            pane->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
            pane->setMinimumWidth(i == 1 ? width() / 2 : i == 3 ? 85 : 30);
            pane->setTextInteractionFlags(Qt::TextSelectableByMouse);
        }
        // Permanent, so that the prompts of hovered commands never hide them.
        statusBar()->addPermanentWidget(pane);
        panes_.push_back(pane);
    }
    // The message area shows the prompt of the command under the mouse, and otherwise the
    // number of listed links, or "Ready" when no folder is chosen.
    idle_message_ = message_text(Message::of(msg::kReady));
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& text) {
        if (text.isEmpty()) {
            statusBar()->showMessage(idle_message_);
        }
    });
    statusBar()->showMessage(idle_message_);
}

void MainWindow::show_idle_message(const QString& text) {
    const bool idle = statusBar()->currentMessage() == idle_message_;
    idle_message_ = text;
    if (idle) {
        statusBar()->showMessage(idle_message_);
    }
}

void MainWindow::update_actions() {
    for (auto& [id, action] : actions_) {
        CommandStatus status = controller_.status(id);
        action->setEnabled(status.enabled);
        if (action->isCheckable()) {
            action->setChecked(status.checked);
        }
        if (!status.text.isEmpty()) {
            action->setText(status.text);
        }
    }
    for (auto& [id, action] : open_with_actions_) {
        action->setEnabled(controller_.status(id).enabled);
    }
}

void MainWindow::refill_tree(bool keep_selection) {
    refilling_tree_ = true;
    const FolderStore& folders = controller_.model().folders;
    const WindowState& state = controller_.state();
    RowId select = kRootFolder;
    if (keep_selection && state.current_folder != kNothingSelected) {
        select = folders.moved_flag() ? folders.moved_from() : state.current_folder;
    }
    const bool feed_mode = keep_selection && state.feed_mode;
    const auto expanded = tree_->expanded_items();
    tree_->populate(folders);
    tree_->add_special(kSearchResultsFolder, message_text(Message::of(msg::kSearchResults)),
                       theme_icon("edit-find", QStyle::SP_FileDialogContentsView));
    tree_->add_special(kRecentlyVisitedFolder, message_text(Message::of(msg::kRecentlyVisited)),
                       theme_icon("document-open-recent", QStyle::SP_BrowserReload));
    tree_->add_special(kMostVisitedFolder, message_text(Message::of(msg::kMostVisited)),
                       theme_icon("emblem-favorite", QStyle::SP_DialogYesButton));
    tree_->add_special(kBrokenLinksFolder, QCoreApplication::translate("Strings", "Broken Links"),
                       theme_icon("dialog-warning", QStyle::SP_MessageBoxWarning));
    if (add_feed_items) {
        add_feed_items(tree_);
    }
    tree_->expand_items(expanded);
    refilling_tree_ = false;
    if (QTreeWidgetItem* feed = feed_mode ? tree_->feed_item_for(select) : nullptr) {
        tree_->setCurrentItem(feed);
        return;
    }
    // A feed's id may equal a folder's: a feed gone from the tree falls back to the root.
    if (feed_mode || !tree_->select_id(select)) {
        tree_->select_id(kRootFolder);
    }
    on_tree_selection();
}

void MainWindow::reload_keeping_selection() {
    const std::vector<RowId> selected = controller_.state().selected_links;
    refill_tree(true);
    select_links(selected);
    update_actions();
}

void MainWindow::select_links(const std::vector<RowId>& ids) {
    QItemSelection selection;
    for (RowId id : ids) {
        const int row = list_model_->row_of(id);
        if (row >= 0) {
            const QModelIndex index = list_model_->index(row, 0);
            selection.select(index, index);
        }
    }
    if (selection.isEmpty()) {
        return;
    }
    QItemSelectionModel* selected = details_view_->selectionModel();
    selected->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selected->setCurrentIndex(selection.indexes().front(), QItemSelectionModel::NoUpdate);
}

bool MainWindow::drop_allowed(const QMimeData& data, RowId target) const {
    if (controller_.busy()) {
        return false;
    }
    if (const auto folder = dragged_folder(data)) {
        return controller_.can_drop_folder(*folder, target);
    }
    return !dragged_links(data).empty() && controller_.can_drop_links(target);
}

void MainWindow::drop_items(const QMimeData& data, RowId target) {
    if (const auto folder = dragged_folder(data)) {
        controller_.drop_folder(*folder, target);
    } else {
        controller_.drop_links(dragged_links(data), target);
    }
    update_actions();
}

void MainWindow::select_folder(RowId id) {
    if (!tree_->select_id(id)) {
        tree_->select_id(kRootFolder);
    }
}

void MainWindow::on_tree_selection() {
    if (refilling_tree_) {
        return;
    }
    QTreeWidgetItem* item = tree_->currentItem();
    if (item == nullptr) {
        controller_.folder_selected(kNothingSelected, false);
        return;
    }
    controller_.folder_selected(variant_id(item->data(0, kFolderIdRole)),
                                item->data(0, kIsFeedRole).toBool());
    update_actions();
}

void MainWindow::refill_list() {
    std::vector<Link> records = controller_.list_records();
    list_model_->set_highlight_unvisited(controller_.settings().highlight_unvisited_links);
    list_model_->set_records(std::move(records), controller_.state().feed_mode);
    after_rows_changed();
}

void MainWindow::refresh_links(const std::vector<RowId>& ids,
                               const std::vector<std::string>& former_urls) {
    std::vector<std::string> urls = list_model_->urls_of(ids);
    urls.insert(urls.end(), former_urls.begin(), former_urls.end());
    std::optional<std::vector<Link>> fresh = controller_.shown_records_touched(ids, urls);
    if (!fresh) {
        refill_list();
        return;
    }
    list_model_->update_records(ids, std::move(*fresh));
    show_row_count();
    on_list_selection();
}

void MainWindow::show_row_count() {
    show_idle_message(controller_.state().current_folder == kNothingSelected
                          ? message_text(Message::of(msg::kReady))
                          : link_count_text(list_model_->rowCount()));
}

void MainWindow::after_rows_changed() {
    QAbstractItemView* view = current_view();
    show_row_count();
    if (!controller_.state().feed_mode) {
        int row = list_model_->row_of(controller_.model().links.last_opened());
        if (row >= 0) {
            QModelIndex index = list_model_->index(row, 0);
            view->selectionModel()->select(
                index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
            view->scrollTo(index);
        }
    }
    on_list_selection();
}

std::vector<RowId> MainWindow::selected_ids() const {
    QModelIndexList rows = details_view_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<RowId> ids;
    ids.reserve(static_cast<size_t>(rows.size()));
    for (const QModelIndex& index : rows) {
        ids.push_back(list_model_->id_at(index.row()));
    }
    return ids;
}

void MainWindow::on_list_selection() {
    controller_.links_selected(selected_ids());
    update_actions();
}

void MainWindow::on_header_clicked(int column) {
    list_model_->sort_by_header(column);
    QHeaderView* header = details_view_->header();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(column,
                             list_model_->descending() ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void MainWindow::show_properties() {
    const std::optional<Link> link = controller_.selected_link();
    const int language = controller_.settings().language;
    const auto item = controller_.state().feed_mode && feed_item_texts ? feed_item_texts()
                                                                       : std::optional<LinkTexts>();
    if (item) {
        title_edit_->setText(item->title);
        address_edit_->setText(item->url);
        comment_edit_->setPlainText(item->comment);
        panes_[1]->setText(item->url);
        panes_[3]->clear();
        panes_[5]->clear();
    } else if (link) {
        title_edit_->setText(QString::fromStdString(link->title));
        address_edit_->setText(QString::fromStdString(link->url));
        comment_edit_->setPlainText(QString::fromStdString(link->comment));
        panes_[1]->setText(QString::fromStdString(link->url));
        panes_[3]->setText(last_visit_text(link->last_visit, language));
        panes_[5]->setText(QString::number(link->visits));
    } else {
        title_edit_->clear();
        address_edit_->clear();
        comment_edit_->clear();
        for (int pane : {1, 3, 5}) {
            panes_[static_cast<size_t>(pane)]->clear();
        }
        if (controller_.state().feed_mode && feed_status) {
            panes_[1]->setText(feed_status());
        }
    }
    properties_bar_->findChild<QPushButton*>(QStringLiteral("UpdateLinkButton"))
        ->setEnabled(link.has_value());
}

QAbstractItemView* MainWindow::current_view() const {
    return views_->currentWidget() == details_view_ ? static_cast<QAbstractItemView*>(details_view_)
                                                    : icon_view_;
}

void MainWindow::apply_list_style(int style) {
    if (style == kDetails) {
        views_->setCurrentWidget(details_view_);
        details_view_->setColumnWidth(0, details_view_->viewport()->width() / 2);
    } else {
        views_->setCurrentWidget(icon_view_);
        icon_view_->setViewMode(style == kListView ? QListView::ListMode : QListView::IconMode);
        icon_view_->setFlow(style == kSmallIcons || style == kListView ? QListView::TopToBottom
                                                                       : QListView::LeftToRight);
        icon_view_->setWrapping(true);
        const int size = style == kLargeIcons ? 32 : 16;
        icon_view_->setIconSize(QSize(size, size));
        icon_view_->setGridSize(style == kLargeIcons ? QSize(120, 72) : QSize());
    }
    update_actions();
}

QMenu* MainWindow::tree_context_menu(RowId folder_id) {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    auto add = [&](int id, const char* text) {
        QAction* a = menu->addAction(menu_text(text));
        a->setEnabled(controller_.status(id).enabled);
        connect(a, &QAction::triggered, this, [this, id] { controller_.execute(id); });
    };
    const bool feed = controller_.state().feed_mode;
    if (feed) {
        add(kCmdUpdateFeed, QT_TRANSLATE_NOOP("Menu", "&Update"));
        add(kCmdDeleteFeed, QT_TRANSLATE_NOOP("Menu", "&Delete"));
        add(kCmdCopyFeedLocation, QT_TRANSLATE_NOOP("Menu", "&Copy Location to Clipboard"));
        return menu;
    }
    switch (folder_id) {
        case kSearchResultsFolder: {
            add(kCmdFind, QT_TRANSLATE_NOOP("Menu", "&New Search..."));
            QMenu* recent = menu->addMenu(menu_text(QT_TRANSLATE_NOOP("Menu", "&Recent Queries")));
            if (fill_recent_queries) {
                fill_recent_queries(recent);
            }
            add(kCmdExportBranch, QT_TRANSLATE_NOOP("Menu", "&Save Results as HTML..."));
            break;
        }
        case kMostVisitedFolder:
            add(kCmdMostVisitedPrefs, QT_TRANSLATE_NOOP("Menu", "&Adjust..."));
            break;
        case kRecentlyVisitedFolder:
            add(kCmdRecentPrefs, QT_TRANSLATE_NOOP("Menu", "&Adjust..."));
            break;
        case kBrokenLinksFolder:
            add(kCmdCheckLinks, QT_TRANSLATE_NOOP("Menu", "Check &Links..."));
            add(kCmdCancelLinkCheck, QT_TRANSLATE_NOOP("Menu", "Cancel Link Chec&k"));
            break;
        case kNewsfeedsFolder:
            add(kCmdNewFeed, QT_TRANSLATE_NOOP("Menu", "&New..."));
            add(kCmdUpdateAllFeeds, QT_TRANSLATE_NOOP("Menu", "&Update All"));
            add(kCmdFeedsEditor, QT_TRANSLATE_NOOP("Menu", "&Editor..."));
            break;
        default:
            delete menu;
            update_actions();
            return folder_menu_;
    }
    return menu;
}

void MainWindow::show_tree_context_menu(const QPoint& global) {
    QTreeWidgetItem* item = tree_->itemAt(tree_->viewport()->mapFromGlobal(global));
    if (item != nullptr) {
        tree_->setCurrentItem(item);
    }
    QMenu* menu = tree_context_menu(controller_.state().current_folder);
    menu->popup(global);
}

void MainWindow::show_list_context_menu(const QPoint& global) {
    const WindowState& state = controller_.state();
    if (state.current_link < 0) {
        return;
    }
    update_actions();
    if (state.feed_mode) {
        auto* menu = new QMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->addAction(action(kCmdStoreItem));
        menu->addAction(action(kCmdCopyItemAddress));
        menu->popup(global);
        return;
    }
    QAction* containing = action(kCmdOpenContainingFolder);
    const RowId f = state.current_folder;
    if (f == kSearchResultsFolder || f == kMostVisitedFolder || f == kRecentlyVisitedFolder ||
        f == kBrokenLinksFolder) {
        const std::optional<Link> link = controller_.model().links.find(state.current_link);
        const Folder* folder = link ? controller_.model().folders.find(link->parent) : nullptr;
        containing->setText(message_text(Message::of(
            msg::kOpenContainingFolder, {folder != nullptr ? folder->title : std::string()})));
    } else {
        containing->setText(menu_text(QT_TRANSLATE_NOOP("Menu", "&Open Containing Folder")));
    }
    rebuild_open_with_menu();
    link_menu_->setDefaultAction(action(kCmdOpenLink));
    link_menu_->popup(global);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (details_view_ != nullptr && watched == details_view_->viewport() &&
        event->type() == QEvent::Resize) {
        // In the details view each column takes half of the list's width.
        details_view_->setColumnWidth(0, details_view_->viewport()->width() / 2);
        return false;
    }
    if (event->type() != QEvent::KeyPress) {
        return QMainWindow::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const bool in_tree = watched == tree_;
    if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
        controller_.execute(in_tree ? kCmdDeleteFolder : kCmdDeleteLinks);
        update_actions();
        return true;
    }
    if (!in_tree && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        if (!controller_.state().feed_mode) {
            controller_.open_current();
        }
        return true;
    }
    if (key->key() == Qt::Key_Menu) {
        QWidget* widget = static_cast<QWidget*>(watched);
        QPoint at = widget->mapToGlobal(QPoint(5, 5));
        if (in_tree && tree_->currentItem() != nullptr) {
            at = tree_->viewport()->mapToGlobal(
                tree_->visualItemRect(tree_->currentItem()).topLeft() + QPoint(15, 8));
            show_tree_context_menu(at);
        } else if (!in_tree) {
            show_list_context_menu(at);
        }
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    emit closing();
    event->accept();
}

}  // namespace tb::app
