#include <QMenu>
#include <QMimeData>
#include <QtTest>

#include "app/app_controller.h"
#include "app/drop_window.h"
#include "app_test_support.h"
#include "fake_ui_services.h"

using namespace tb;
using namespace tb::app;

namespace {

std::unique_ptr<QMimeData> plain(const QString& text) {
    auto data = std::make_unique<QMimeData>();
    data->setText(text);
    return data;
}

std::unique_ptr<QMimeData> with_format(const QString& format, const QByteArray& bytes) {
    auto data = std::make_unique<QMimeData>();
    data->setData(format, bytes);
    return data;
}

// As browsers write it: UTF-16 little-endian, address and title on two lines.
QByteArray moz_url(const QString& address, const QString& title) {
    const QString text = address + QLatin1Char('\n') + title;
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

std::function<QString()> caption(const QString& text) {
    return [text] { return text; };
}

const std::function<QString()> kNoCaption = [] { return QString(); };

}  // namespace

class DropWindowTest : public QObject {
    Q_OBJECT

private slots:
    void newsfeedEndingDecidesInAnyCaseAndKeepsTheAddress() {
        const DropDecision feed =
            decide_drop(*plain(QStringLiteral("http://Example.com/News/Feed.RSS")), kNoCaption);
        QCOMPARE(feed.kind, DropDecision::kNewsfeed);
        QCOMPARE(feed.address, QStringLiteral("http://Example.com/News/Feed.RSS"));
        for (const char* address : {"http://a.org/x.rdf", "http://a.org/x.Xml"}) {
            QCOMPARE(decide_drop(*plain(QString::fromLatin1(address)), kNoCaption).kind,
                     DropDecision::kNewsfeed);
        }
        // Only the ending from the last dot counts.
        for (const char* address : {"http://a.org/feed.rss?format=full", "http://a.org/rss",
                                    "http://a.org/x.rss.html", "no-dot-at-all"}) {
            QCOMPARE(decide_drop(*plain(QString::fromLatin1(address)), kNoCaption).kind,
                     DropDecision::kLink);
        }
    }

    void plainTextLinesAreJoinedAndTrailingSpaceTrimmed() {
        const DropDecision one =
            decide_drop(*plain(QStringLiteral("http://a.org/Page?Q=1 \r\n\r\n")), kNoCaption);
        QCOMPARE(one.kind, DropDecision::kLink);
        QCOMPARE(one.address, QStringLiteral("http://a.org/Page?Q=1"));
        const DropDecision two =
            decide_drop(*plain(QStringLiteral("first line\r\nsecond line\n")), kNoCaption);
        QCOMPARE(two.address, QStringLiteral("first line\nsecond line"));
        QCOMPARE(decide_drop(*plain(QStringLiteral(" \n\t ")), kNoCaption).kind,
                 DropDecision::kNone);
    }

    void titleFromTheActiveCaption() {
        const auto drop = plain(QStringLiteral("http://a.org/"));
        QCOMPARE(decide_drop(*drop, caption(QStringLiteral("Page title - Web Browser"))).title,
                 QStringLiteral("Page title"));
        // The last " - " separates the browser's name; earlier ones belong to the page.
        QCOMPARE(decide_drop(*drop, caption(QStringLiteral(" News - Today - Browser "))).title,
                 QStringLiteral("News - Today"));
        QCOMPARE(decide_drop(*drop, caption(QStringLiteral("Just a caption"))).title,
                 QStringLiteral("Just a caption"));
        QCOMPARE(decide_drop(*drop, caption(QStringLiteral("Foo-Bar"))).title,
                 QStringLiteral("Foo-Bar"));
        QCOMPARE(decide_drop(*drop, kNoCaption).title, QString());
        QCOMPARE(title_from_caption(QString(2000, QLatin1Char('x'))).size(), 1024);
    }

    void mozUrlGivesAddressAndTitle() {
        int asked = 0;
        auto counting = [&asked] {
            ++asked;
            return QStringLiteral("Other - Browser");
        };
        const DropDecision link = decide_drop(
            *with_format(
                QStringLiteral("text/x-moz-url"),
                moz_url(QStringLiteral("https://a.org/Wiki/Foo"), QStringLiteral("Foo - Bar"))),
            counting);
        QCOMPARE(link.kind, DropDecision::kLink);
        QCOMPARE(link.address, QStringLiteral("https://a.org/Wiki/Foo"));
        QCOMPARE(link.title, QStringLiteral("Foo - Bar"));
        QCOMPARE(asked, 0);

        // UTF-8 from other programs, without a title: the caption is asked.
        const DropDecision untitled = decide_drop(
            *with_format(QStringLiteral("text/x-moz-url"), QByteArray("http://a.org/\n")),
            counting);
        QCOMPARE(untitled.address, QStringLiteral("http://a.org/"));
        QCOMPARE(untitled.title, QStringLiteral("Other"));
        QCOMPARE(asked, 1);

        const DropDecision feed = decide_drop(
            *with_format(QStringLiteral("text/x-moz-url"),
                         moz_url(QStringLiteral("http://a.org/feed.XML"), QStringLiteral("Feed"))),
            counting);
        QCOMPARE(feed.kind, DropDecision::kNewsfeed);
        QCOMPARE(feed.address, QStringLiteral("http://a.org/feed.XML"));
    }

    void uriListSkipsCommentsAndWinsOverPlainText() {
        auto data =
            with_format(QStringLiteral("text/uri-list"),
                        "# dragged from a page\r\n\r\nhttp://a.org/One\r\nhttp://b.org/\r\n");
        data->setText(QStringLiteral("Some selected words"));
        const DropDecision decision = decide_drop(*data, kNoCaption);
        QCOMPARE(decision.kind, DropDecision::kLink);
        QCOMPARE(decision.address, QStringLiteral("http://a.org/One"));

        const auto only_comments =
            with_format(QStringLiteral("text/uri-list"), "# nothing here\r\n");
        QCOMPARE(decide_drop(*only_comments, kNoCaption).kind, DropDecision::kNone);
    }

    void dragsWithoutTextAreRefused() {
        QMimeData image;
        image.setData(QStringLiteral("image/png"), QByteArray("\x89PNG", 4));
        QVERIFY(!drag_has_text(image));
        QCOMPARE(decide_drop(image, kNoCaption).kind, DropDecision::kNone);
        QVERIFY(drag_has_text(*plain(QStringLiteral("x"))));
        QVERIFY(drag_has_text(*with_format(QStringLiteral("text/uri-list"), "http://a.org/")));
        QVERIFY(drag_has_text(*with_format(QStringLiteral("text/x-moz-url"), moz_url("a", "b"))));
    }

    void placement() {
        const QRect available(0, 0, 1920, 1040);
        const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
        const QSize size(38, 38);
        QCOMPARE(drop_window_position({-1, -1}, size, available, screens), QPoint(1882, 0));
        QCOMPARE(drop_window_position({-1, 300}, size, available, screens), QPoint(1882, 0));
        QCOMPARE(drop_window_position({400, -1}, size, available, screens), QPoint(1882, 0));
        QCOMPARE(drop_window_position({400, 300}, size, available, screens), QPoint(400, 300));
        QCOMPARE(drop_window_position({2500, 900}, size, available, screens), QPoint(2500, 900));
        // A corner left on a screen that is gone.
        QCOMPARE(drop_window_position({5000, 300}, size, available, screens), QPoint(1882, 0));
        // An available area that does not start at the origin (a panel on the top or left).
        QCOMPARE(drop_window_position({-1, -1}, size, QRect(64, 32, 1856, 1048), screens),
                 QPoint(1882, 32));
    }

    void windowRunsTheFlows() {
        test::TestModel data;
        Settings settings;
        test::FakeUiServices ui;
        AppController controller(*data.model, settings, ui);
        DropWindow window(controller, nullptr);
        QCOMPARE(window.size(), QSize(DropWindow::kSize, DropWindow::kSize));
        QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
        window.active_caption = caption(QStringLiteral("Docs - Browser"));
        QStringList feeds;
        window.add_newsfeed = [&feeds](const QString& location) { feeds << location; };

        window.handle_drop(*plain(QStringLiteral("http://a.org/Docs")));
        QCOMPARE(ui.new_link_requests.size(), size_t{1});
        QCOMPARE(ui.new_link_requests[0].preset.url, std::string("http://a.org/Docs"));
        QCOMPARE(ui.new_link_requests[0].preset.title, std::string("Docs"));
        QCOMPARE(ui.new_link_requests[0].preset.comment, std::string());
        QVERIFY(feeds.isEmpty());

        window.handle_drop(*plain(QStringLiteral("http://a.org/Feed.Rdf")));
        QCOMPARE(feeds, QStringList{QStringLiteral("http://a.org/Feed.Rdf")});
        QCOMPARE(ui.new_link_requests.size(), size_t{1});

        // While an import runs, drops are ignored like every other command.
        controller.set_busy(true);
        window.handle_drop(*plain(QStringLiteral("http://a.org/Other")));
        window.handle_drop(*plain(QStringLiteral("http://a.org/Other.rss")));
        QCOMPARE(ui.new_link_requests.size(), size_t{1});
        QCOMPARE(feeds.size(), 1);
    }

    void placeUsesTheStoredCorner() {
        test::TestModel data;
        Settings settings;
        test::FakeUiServices ui;
        AppController controller(*data.model, settings, ui);
        DropWindow window(controller, nullptr);
        window.place(-1, -1);
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(window.pos(), QPoint(available.right() + 1 - DropWindow::kSize, available.top()));
        window.place(10, 20);
        QCOMPARE(window.pos(), QPoint(10, 20));
    }
};

QTEST_MAIN(DropWindowTest)
#include "drop_window_test.moc"
