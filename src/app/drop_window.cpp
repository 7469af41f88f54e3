#include "app/drop_window.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStringConverter>
#include <QTimer>
#include <QWindow>

#include "app/active_window_caption.h"
#include "app/app_controller.h"
#include "app/app_icon.h"

namespace tb::app {

namespace {

const QString kMozUrl = QStringLiteral("text/x-moz-url");
const QString kUriList = QStringLiteral("text/uri-list");
constexpr int kMaxCaption = 1024;

// Browsers write text/x-moz-url in UTF-16 (with or without a byte-order mark); other programs
// may write UTF-8.
QString decode_text(const QByteArray& bytes) {
    QStringConverter::Encoding encoding = QStringConverter::Utf8;
    if (bytes.startsWith("\xff\xfe")) {
        encoding = QStringConverter::Utf16LE;
    } else if (bytes.startsWith("\xfe\xff")) {
        encoding = QStringConverter::Utf16BE;
    } else if (bytes.size() >= 2 && bytes.size() % 2 == 0 && bytes.at(1) == '\0') {
        encoding = QStringConverter::Utf16LE;
    }
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (text.startsWith(QChar(0xfeff))) {
        text.remove(0, 1);
    }
    while (text.endsWith(QChar(0))) {
        text.chop(1);
    }
    return text;
}

QStringList lines_of(const QString& text) {
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
    }
    return lines;
}

// The first line that is neither blank nor a comment, and the line after it.
std::pair<QString, QString> address_and_next_line(const QString& text) {
    const QStringList lines = lines_of(text);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        return {line, i + 1 < lines.size() ? lines[i + 1].trimmed() : QString()};
    }
    return {};
}

// Plain text: its lines, each followed by a line feed, with trailing white space removed.
QString joined_plain_text(const QString& text) {
    QString joined;
    for (const QString& line : lines_of(text)) {
        joined += line + QLatin1Char('\n');
    }
    qsizetype end = joined.size();
    while (end > 0 && joined.at(end - 1).isSpace()) {
        --end;
    }
    return joined.left(end);
}

}  // namespace

bool drag_has_text(const QMimeData& data) {
    return data.hasFormat(kMozUrl) || data.hasFormat(kUriList) || data.hasText();
}

DropDecision decide_drop(const QMimeData& data, const std::function<QString()>& active_caption) {
    DropDecision decision;
    if (data.hasFormat(kMozUrl)) {
        std::tie(decision.address, decision.title) =
            address_and_next_line(decode_text(data.data(kMozUrl)));
    }
    if (decision.address.isEmpty() && data.hasFormat(kUriList)) {
        decision.address = address_and_next_line(decode_text(data.data(kUriList))).first;
    }
    // hasText() would also answer for a URI list, which was read above with its comments.
    if (decision.address.isEmpty() && data.hasFormat(QStringLiteral("text/plain"))) {
        decision.address = joined_plain_text(data.text());
    }
    if (decision.address.isEmpty()) {
        return {};
    }
    if (is_newsfeed_address(decision.address)) {
        decision.kind = DropDecision::kNewsfeed;
        decision.title.clear();
        return decision;
    }
    decision.kind = DropDecision::kLink;
    if (decision.title.isEmpty() && active_caption) {
        decision.title = title_from_caption(active_caption());
    }
    return decision;
}

QString title_from_caption(const QString& caption) {
    const QString text = caption.left(kMaxCaption).trimmed();
    const qsizetype dash = text.lastIndexOf(QLatin1String(" - "));
    return dash < 0 ? text : text.left(dash).trimmed();
}

bool is_newsfeed_address(const QString& address) {
    const qsizetype dot = address.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) {
        return false;
    }
    const QString ending = address.mid(dot).toLower();
    return ending == QLatin1String(".rss") || ending == QLatin1String(".rdf") ||
           ending == QLatin1String(".xml");
}

QPoint drop_window_position(QPoint stored, QSize size, const QRect& available,
                            const QList<QRect>& screens) {
    const QPoint top_right(available.x() + available.width() - size.width(), available.y());
    if (stored.x() == -1 || stored.y() == -1) {
        return top_right;
    }
    const QRect window(stored, size);
    for (const QRect& screen : screens) {
        if (screen.intersects(window)) {
            return stored;
        }
    }
    return top_right;
}

DropWindow::DropWindow(AppController& controller, QMenu* menu)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      controller_(controller),
      menu_(menu) {
    active_caption = &active_window_caption;
    setWindowTitle(QStringLiteral("DropTarget"));
    setFixedSize(kSize, kSize);
    setAcceptDrops(true);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Where the window system cannot blend windows this has no effect and the square is opaque.
    setWindowOpacity(0.5);
    setToolTip(tr("Drop a link or a newsfeed address here"));
}

void DropWindow::place(int x, int y) {
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary == nullptr) {
        return;
    }
    QList<QRect> screens;
    for (QScreen* screen : QGuiApplication::screens()) {
        screens << screen->geometry();
    }
    move(drop_window_position(QPoint(x, y), size(), primary->availableGeometry(), screens));
}

void DropWindow::handle_drop(const QMimeData& data) {
    run(decide_drop(data, active_caption));
}

void DropWindow::run(const DropDecision& decision) {
    // An import's writes share one transaction: a dialog's write must not land inside it.
    if (controller_.busy()) {
        return;
    }
    switch (decision.kind) {
        case DropDecision::kLink:
            controller_.new_link_dialog(decision.title, decision.address, QString());
            break;
        case DropDecision::kNewsfeed:
            if (add_newsfeed) {
                add_newsfeed(decision.address);
            }
            break;
        case DropDecision::kNone:
            break;
    }
}

void DropWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    painter.drawPixmap(2, 2, program_icon().pixmap(QSize(32, 32), devicePixelRatioF()));
}

void DropWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        QWindow* handle = windowHandle();
        if (handle == nullptr || !handle->startSystemMove()) {
            dragging_ = true;
            drag_offset_ = event->globalPosition().toPoint() - pos();
            setCursor(Qt::SizeAllCursor);
        }
    } else if (event->button() == Qt::RightButton && menu_ != nullptr) {
        menu_->popup(event->globalPosition().toPoint());
    }
}

void DropWindow::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) {
        move(event->globalPosition().toPoint() - drag_offset_);
    }
}

void DropWindow::mouseReleaseEvent(QMouseEvent*) {
    if (dragging_) {
        dragging_ = false;
        unsetCursor();
    }
}

void DropWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (drag_has_text(*event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void DropWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (drag_has_text(*event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void DropWindow::dropEvent(QDropEvent* event) {
    if (!drag_has_text(*event->mimeData()) || controller_.busy()) {
        event->ignore();
        return;
    }
    const DropDecision decision = decide_drop(*event->mimeData(), active_caption);
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // The dialogs are modal: run them once the drop is finished, so that the browser that
    // started the drag is not kept waiting for its end.
    QTimer::singleShot(0, this, [this, decision] { run(decision); });
}

}  // namespace tb::app
