#include "app/link_list_model.h"

#include <QApplication>
#include <QStyle>
#include <algorithm>
#include <set>

#include "app/item_drag.h"

namespace tb::app {

QColor link_colour(const Link& link, bool highlight_unvisited) {
    const bool visited = link.visits > 0;
    if (!visited && link.has_duplicates) {
        return QColor(75, 0, 0);
    }
    if (!visited && highlight_unvisited) {
        return QColor(100, 100, 100);
    }
    if (visited && link.has_duplicates) {
        return QColor(125, 0, 0);
    }
    return {};
}

LinkListModel::LinkListModel(QObject* parent)
    : QAbstractTableModel(parent),
      link_icon_(QIcon::fromTheme(QStringLiteral("text-html"),
                                  QApplication::style()->standardIcon(QStyle::SP_FileLinkIcon))),
      // Newsfeed items are marked apart from stored links.
      feed_item_icon_(QIcon::fromTheme(QStringLiteral("application-rss+xml"), link_icon_)) {}

void LinkListModel::set_records(std::vector<Link> records, bool feed_mode) {
    beginResetModel();
    records_ = std::move(records);
    feed_mode_ = feed_mode;
    apply_sort();
    endResetModel();
}

void LinkListModel::sort_by_header(int column) {
    descending_ = !descending_;
    sort_column_ = column;
    emit layoutAboutToBeChanged();
    apply_sort();
    emit layoutChanged();
}

void LinkListModel::apply_sort() {
    if (sort_column_ < 0) {
        return;
    }
    const bool by_title = sort_column_ == 0;
    const bool descending = descending_;
    std::stable_sort(records_.begin(), records_.end(), [&](const Link& a, const Link& b) {
        const std::string& x = by_title ? a.title : a.url;
        const std::string& y = by_title ? b.title : b.url;
        return descending ? y < x : x < y;
    });
}

int LinkListModel::row_of(int id) const {
    for (size_t i = 0; i < records_.size(); ++i) {
        if (records_[i].id == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int LinkListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(records_.size());
}

int LinkListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant LinkListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const Link& link = records_[static_cast<size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            if (index.column() == 1) {
                return QString::fromStdString(link.url);
            }
            // A link without a title is listed by its address, so it can still be opened,
            // edited or deleted.
            return QString::fromStdString(link.title.empty() ? link.url : link.title);
        case Qt::DecorationRole:
            if (index.column() != 0) {
                return {};
            }
            return QVariant(feed_mode_ ? feed_item_icon_ : link_icon_);
        case Qt::ForegroundRole: {
            if (feed_mode_) {
                return {};
            }
            QColor colour = link_colour(link, highlight_unvisited_);
            return colour.isValid() ? QVariant(colour) : QVariant();
        }
        case kLinkIdRole:
            return link.id;
        default:
            return {};
    }
}

QVariant LinkListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    return section == 0 ? tr("Title") : tr("Address");
}

Qt::ItemFlags LinkListModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return feed_mode_ || !index.isValid() ? flags : flags | Qt::ItemIsDragEnabled;
}

QStringList LinkListModel::mimeTypes() const {
    return item_drag_formats();
}

QMimeData* LinkListModel::mimeData(const QModelIndexList& indexes) const {
    std::set<int> rows;
    for (const QModelIndex& index : indexes) {
        rows.insert(index.row());
    }
    std::vector<int> ids;
    for (int row : rows) {
        ids.push_back(record(row).id);
    }
    return links_mime_data(ids);
}

}  // namespace tb::app
