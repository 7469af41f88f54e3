#pragma once

#include <QMimeData>
#include <optional>
#include <vector>

namespace tb::app {

// What a drag inside the main window carries: the ids of links from the list, or the id of one
// folder from the tree.
QMimeData* links_mime_data(const std::vector<int>& ids);
QMimeData* folder_mime_data(int folder);
std::vector<int> dragged_links(const QMimeData& data);
std::optional<int> dragged_folder(const QMimeData& data);
QStringList item_drag_formats();

}  // namespace tb::app
