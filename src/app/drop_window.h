#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>
#include <functional>

class QMenu;
class QMimeData;

namespace tb::app {

class AppController;

// What a drop onto the drop window does: add a link with a proposed title, subscribe to a
// newsfeed, or nothing.
struct DropDecision {
    enum Kind { kNone, kLink, kNewsfeed };
    Kind kind = kNone;
    QString address;  // as dropped, case kept
    QString title;
};

// Whether a drag carries text that the window takes (plain text, a URI list or a browser's
// address-and-title pair).
bool drag_has_text(const QMimeData& data);

// The decision for a drop. `active_caption` is asked for the caption of the desktop's active
// window only when a link needs a title and the drag carried none.
DropDecision decide_drop(const QMimeData& data, const std::function<QString()>& active_caption);

// A link title from a window caption: the part before the last " - ", which browsers put
// before their own name; the whole caption when it has none.
QString title_from_caption(const QString& caption);

// Whether an address names a newsfeed: its ending from the last "." is .rss, .rdf or .xml, in
// any case.
bool is_newsfeed_address(const QString& address);

// Where the window goes: the stored corner, or the top right of the available area when the
// corner was never stored (-1) or would put the window on no screen.
QPoint drop_window_position(QPoint stored, QSize size, const QRect& available,
                            const QList<QRect>& screens);

// The small always-on-top square that takes links and newsfeed addresses dragged from a
// browser. Its right-button menu is the tray menu.
class DropWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int kSize = 38;

    DropWindow(AppController& controller, QMenu* menu);

    // Moves the window to its stored corner (see drop_window_position).
    void place(int x, int y);
    // Runs the flow a drop of this data starts: the New Link dialog or the Add Newsfeed hook.
    void handle_drop(const QMimeData& data);

    // Subscribes to a dropped newsfeed address through the newsfeed area's Add Newsfeed flow.
    std::function<void(const QString& location)> add_newsfeed;
    // The active window's caption, for the title guess; the X11 active window by default.
    std::function<QString()> active_caption;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void run(const DropDecision& decision);

    AppController& controller_;
    QMenu* menu_;
    // Set while the window follows the mouse itself, where the window system cannot move it.
    bool dragging_ = false;
    QPoint drag_offset_;
};

}  // namespace tb::app
