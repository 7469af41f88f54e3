#pragma once

#include <QTreeWidget>
#include <functional>
#include <set>
#include <utility>

#include "model/folder_store.h"

namespace tb::app {

// Item data roles of folder trees.
constexpr int kFolderIdRole = Qt::UserRole;
constexpr int kIsFeedRole = Qt::UserRole + 1;

// A tree of folders: the root with every live folder below it, children sorted by title.
// The main window adds its special folders after them; dialogs show folders only.
class FolderTree : public QTreeWidget {
    Q_OBJECT

public:
    explicit FolderTree(QWidget* parent = nullptr);

    // Refills from the folder list and selects `select` when it is still there, else the root.
    // Selection signals are blocked while the items are rebuilt.
    void fill(const FolderStore& folders, int select);
    // Rebuilds the folder items only, with selection signals blocked.
    void populate(const FolderStore& folders);
    // Adds a top-level item after the folders.
    QTreeWidgetItem* add_special(int id, const QString& text, const QIcon& icon);

    QTreeWidgetItem* item_for(int id) const;
    // The item of a newsfeed (a child of "Newsfeeds"), whose id may equal a folder's.
    QTreeWidgetItem* feed_item_for(int id) const;
    // The selected item's id, or kNothingSelected.
    int selected_id() const;
    bool select_id(int id);

    // The expanded items by id and kind (feed or not), so a refill can expand them again.
    using ItemKey = std::pair<int, bool>;
    std::set<ItemKey> expanded_items() const;
    void expand_items(const std::set<ItemKey>& keys);

    static QIcon folder_icon();

private:
    void add_children(QTreeWidgetItem* parent_item, int parent_id, const FolderStore& folders);
};

}  // namespace tb::app
