#include "app/item_drag.h"

#include <QStringList>

namespace tb::app {

namespace {

const QString kLinksFormat = QStringLiteral("application/x-tagberry-links");
const QString kFolderFormat = QStringLiteral("application/x-tagberry-folder");

QByteArray join_ids(const std::vector<int>& ids) {
    QStringList texts;
    for (int id : ids) {
        texts << QString::number(id);
    }
    return texts.join(QLatin1Char(' ')).toLatin1();
}

std::vector<int> split_ids(const QByteArray& bytes) {
    std::vector<int> ids;
    for (const QByteArray& piece : bytes.split(' ')) {
        bool ok = false;
        const int id = piece.toInt(&ok);
        if (ok) {
            ids.push_back(id);
        }
    }
    return ids;
}

}  // namespace

QMimeData* links_mime_data(const std::vector<int>& ids) {
    auto* data = new QMimeData;
    data->setData(kLinksFormat, join_ids(ids));
    return data;
}

QMimeData* folder_mime_data(int folder) {
    auto* data = new QMimeData;
    data->setData(kFolderFormat, join_ids({folder}));
    return data;
}

std::vector<int> dragged_links(const QMimeData& data) {
    return split_ids(data.data(kLinksFormat));
}

std::optional<int> dragged_folder(const QMimeData& data) {
    const std::vector<int> ids = split_ids(data.data(kFolderFormat));
    return ids.size() == 1 ? std::optional<int>(ids.front()) : std::nullopt;
}

QStringList item_drag_formats() {
    return {kLinksFormat, kFolderFormat};
}

}  // namespace tb::app
