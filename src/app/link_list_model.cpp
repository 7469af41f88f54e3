#include "app/link_list_model.h"

#include <unordered_set>

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <algorithm>
#include <set>

#include "app/id_variant.h"
#include "app/item_drag.h"

namespace tb::app {

namespace {

// A dot in the lower right corner: blue for moved, amber for suspect, red for broken.
QIcon with_overlay(const QIcon& base, Health health) {
    QColor colour;
    switch (health) {
        case Health::Moved:
            colour = QColor(40, 110, 220);
            break;
        case Health::Suspect:
            colour = QColor(235, 160, 0);
            break;
        case Health::Broken:
            colour = QColor(210, 20, 20);
            break;
        case Health::Unchecked:
        case Health::Ok:
            return base;
    }
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pixmap = base.pixmap(size, size);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::white, size / 16.0));
        painter.setBrush(colour);
        const qreal dot = size * 0.5;
        painter.drawEllipse(QRectF(size - dot, size - dot, dot - 1, dot - 1));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace

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
      feed_item_icon_(QIcon::fromTheme(QStringLiteral("application-rss+xml"), link_icon_)) {
    for (size_t i = 0; i < health_icons_.size(); ++i) {
        health_icons_[i] = with_overlay(link_icon_, static_cast<Health>(i));
    }
}

void LinkListModel::set_health_lookup(std::function<Health(const Link&)> lookup) {
    health_of_ = std::move(lookup);
    refresh_health();
}

void LinkListModel::refresh_health() {
    if (!rows_.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0),
                         {Qt::DecorationRole, kLinkHealthRole});
    }
}

void LinkListModel::set_records(std::vector<Link> records, bool feed_mode) {
    beginResetModel();
    feed_mode_ = feed_mode;
    const bool flags_read = feed_mode || !duplicates_of_;
    rows_.clear();
    rows_.reserve(records.size());
    for (Link& link : records) {
        rows_.push_back({std::move(link), flags_read});
    }
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
    if (sort_column_ >= 0) {
        std::sort(rows_.begin(), rows_.end(),
                  [this](const Row& a, const Row& b) { return goes_before(a.link, b.link); });
    }
}

void LinkListModel::update_records(const std::vector<RowId>& touched, std::vector<Link> fresh) {
    std::unordered_set<RowId> gone(touched.begin(), touched.end());
    for (const Link& link : fresh) {
        gone.erase(link.id);
    }
    for (int row = rowCount() - 1; row >= 0 && !gone.empty(); --row) {
        if (gone.erase(rows_[static_cast<size_t>(row)].link.id) != 0) {
            beginRemoveRows({}, row, row);
            rows_.erase(rows_.begin() + row);
            endRemoveRows();
        }
    }
    for (Link& link : fresh) {
        put_record(std::move(link));
    }
}

void LinkListModel::put_record(Link link) {
    const auto place =
        std::upper_bound(rows_.begin(), rows_.end(), link,
                         [this](const Link& a, const Row& b) { return goes_before(a, b.link); });
    int to = static_cast<int>(place - rows_.begin());
    const int row = row_of(link.id);
    if (row < 0) {
        beginInsertRows({}, to, to);
        rows_.insert(rows_.begin() + to, {std::move(link), true});
        endInsertRows();
        return;
    }
    // A moved row keeps its selection; one that stays between its neighbours only repaints.
    const auto at = rows_.begin() + row;
    if (to < row) {
        beginMoveRows({}, row, row, {}, to);
        std::rotate(rows_.begin() + to, at, at + 1);
        endMoveRows();
    } else if (to > row + 1) {
        beginMoveRows({}, row, row, {}, to);
        std::rotate(at, at + 1, rows_.begin() + to);
        endMoveRows();
        --to;
    } else {
        to = row;
    }
    rows_[static_cast<size_t>(to)] = {std::move(link), true};
    emit dataChanged(index(to, 0), index(to, columnCount() - 1));
}

bool LinkListModel::goes_before(const Link& a, const Link& b) const {
    if (sort_column_ >= 0) {
        const std::string& x = sort_column_ == 0 ? a.title : a.url;
        const std::string& y = sort_column_ == 0 ? b.title : b.url;
        if (x != y) {
            return descending_ ? y < x : x < y;
        }
    }
    return a.title != b.title ? a.title < b.title : a.id < b.id;
}

std::vector<std::string> LinkListModel::urls_of(const std::vector<RowId>& ids) const {
    const std::unordered_set<RowId> wanted(ids.begin(), ids.end());
    std::vector<std::string> urls;
    for (const Row& row : rows_) {
        if (wanted.contains(row.link.id)) {
            urls.push_back(row.link.url);
        }
    }
    return urls;
}

const Link& LinkListModel::record(int row) const {
    read_flags(static_cast<size_t>(row));
    return rows_[static_cast<size_t>(row)].link;
}

void LinkListModel::read_flags(size_t row) const {
    // About a screenful of rows: their lookups cost a few milliseconds at 1,000,000 links.
    constexpr size_t kFlagBlock = 128;
    if (rows_[row].flag_read || !duplicates_of_) {
        return;
    }
    const size_t first = row - row % kFlagBlock;
    const size_t end = std::min(rows_.size(), first + kFlagBlock);
    std::vector<std::string_view> urls;
    for (size_t i = first; i < end; ++i) {
        if (!rows_[i].flag_read) {
            urls.push_back(rows_[i].link.url);
        }
    }
    const std::vector<std::string_view> duplicated = duplicates_of_(std::move(urls));
    for (size_t i = first; i < end; ++i) {
        Row& unread = rows_[i];
        if (!unread.flag_read) {
            unread.link.has_duplicates = std::binary_search(duplicated.begin(), duplicated.end(),
                                                            std::string_view(unread.link.url));
            unread.flag_read = true;
        }
    }
}

int LinkListModel::row_of(RowId id) const {
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].link.id == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int LinkListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int LinkListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant LinkListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const Link& link = rows_[static_cast<size_t>(index.row())].link;
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
            if (feed_mode_) {
                return QVariant(feed_item_icon_);
            }
            return QVariant(health_of_ ? health_icons_[static_cast<size_t>(health_of_(link))]
                                       : link_icon_);
        case Qt::ForegroundRole: {
            if (feed_mode_) {
                return {};
            }
            QColor colour = link_colour(record(index.row()), highlight_unvisited_);
            return colour.isValid() ? QVariant(colour) : QVariant();
        }
        case kLinkIdRole:
            return id_variant(link.id);
        case kLinkHealthRole:
            return static_cast<int>(health_of_ && !feed_mode_ ? health_of_(link)
                                                              : Health::Unchecked);
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
    std::vector<RowId> ids;
    for (int row : rows) {
        ids.push_back(id_at(row));
    }
    return links_mime_data(ids);
}

}  // namespace tb::app
