#include "app/item_drag.h"

#include <QStringList>

namespace tb::app {

namespace {

const QString kLinksFormat = QStringLiteral("application/x-tagberry-links");
const QString kFolderFormat = QStringLiteral("application/x-tagberry-folder");

QByteArray join_ids(const std::vector<RowId>& ids) {
    QStringList texts;
    for (RowId id : ids) {
        texts << QString::number(id);
    }
    return texts.join(QLatin1Char(' ')).toLatin1();
}

std::vector<RowId> split_ids(const QByteArray& bytes) {
    std::vector<RowId> ids;
    for (const QByteArray& piece : bytes.split(' ')) {
        bool ok = false;
        const RowId id = piece.toLongLong(&ok);
        if (ok) {
            ids.push_back(id);
        }
    }
    return ids;
}

}  // namespace

QMimeData* links_mime_data(const std::vector<RowId>& ids) {
    auto* data = new QMimeData;
    data->setData(kLinksFormat, join_ids(ids));
    return data;
}

QMimeData* folder_mime_data(RowId folder) {
    auto* data = new QMimeData;
    data->setData(kFolderFormat, join_ids({folder}));
    return data;
}

std::vector<RowId> dragged_links(const QMimeData& data) {
    return split_ids(data.data(kLinksFormat));
}

std::optional<RowId> dragged_folder(const QMimeData& data) {
    const std::vector<RowId> ids = split_ids(data.data(kFolderFormat));
    return ids.size() == 1 ? std::optional<RowId>(ids.front()) : std::nullopt;
}

QStringList item_drag_formats() {
    return {kLinksFormat, kFolderFormat};
}

}  // namespace tb::app
