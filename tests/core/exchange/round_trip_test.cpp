#include "exchange/bookmark_export.h"
#include "import_fixture.h"

namespace tb::test {
namespace {

class RoundTripTest : public ImportTest {
protected:
    int folder(const std::string& title, int parent) {
        int id = model->folders.create_folder(title, parent);
        model->folders.reload();
        return id;
    }
    void link(const std::string& title, const std::string& url, int parent) {
        ASSERT_NE(model->links.add_link_to(parent, title, url, ""), 0) << title;
    }

    // The only child folder of `parent` titled `title`, or 0.
    int child(int parent, const std::string& title) {
        for (const Folder& f : model->folders.list()) {
            if (f.parent == parent && f.title == title) {
                return f.id;
            }
        }
        return 0;
    }
};

TEST_F(RoundTripTest, ExportThenImportGivesTheSameTreeSaveTheDocumentedChanges) {
    const int top = folder("Trip & <Co> «Ж»", kRootFolder);
    link("Ampersand & co", "https://a.example/?x=1&y=2", top);
    link("Less <than> and \"quoted\"", "https://b.example/", top);
    link("Entity &lt; text", "https://e.example/", top);
    link("Two\nlines", "https://l.example/", top);
    link("Windows\r\nbreak", "https://w.example/", top);
    const int russian = folder("Папка «Ж»", top);
    link("Привет 🙂", "https://пример.рф/путь", russian);
    const int deep = folder("Deep", russian);
    const int deeper = folder("Deeper 🚀", deep);
    link("Quote address", "https://q.example/?q=\"x\"", deeper);
    link("Emoji 🎉 & «marks»", "https://emoji.example/#🎉", deeper);
    folder("Empty", russian);
    folder("An empty one", top);
    // An old database may hold line breaks inside an address.
    link("Broken address", "https://n.example/a\r\nb\nc", top);

    const auto file = dir / "trip.html";
    ASSERT_TRUE(export_bookmarks(*model, file, top));
    reporter.clear();
    ImportResult result = import(ImportSource::BookmarkFile, file);
    ASSERT_EQ(result.status, ImportStatus::Done);
    EXPECT_TRUE(reporter.messages.empty());
    const int copy = child(result.top_folder, "Trip & <Co> «Ж»");
    ASSERT_NE(copy, 0);

    std::vector<std::string> before = {
        "D Папка «Ж»",
        "D Папка «Ж»/Deep",
        "D Папка «Ж»/Deep/Deeper 🚀",
        "D Папка «Ж»/Empty",
        "D An empty one",
        "L . | Ampersand & co | https://a.example/?x=1&y=2",
        "L . | Broken address | https://n.example/a\r\nb\nc",
        "L . | Entity &lt; text | https://e.example/",
        "L . | Less <than> and \"quoted\" | https://b.example/",
        "L . | Two\nlines | https://l.example/",
        "L . | Windows\r\nbreak | https://w.example/",
        "L Папка «Ж» | Привет 🙂 | https://пример.рф/путь",
        "L Папка «Ж»/Deep/Deeper 🚀 | Emoji 🎉 & «marks» | https://emoji.example/#🎉",
        "L Папка «Ж»/Deep/Deeper 🚀 | Quote address | https://q.example/?q=\"x\"",
    };
    std::sort(before.begin(), before.end());
    ASSERT_EQ(tree(top), before);

    // Everything comes back as it was but for four documented changes: a double quote in an
    // address is written as "%22", entity text in a title is decoded on the way in, line breaks
    // in a title become spaces, and line breaks in an address are dropped.
    std::vector<std::string> after = {
        "D Папка «Ж»",
        "D Папка «Ж»/Deep",
        "D Папка «Ж»/Deep/Deeper 🚀",
        "D Папка «Ж»/Empty",
        "D An empty one",
        "L . | Ampersand & co | https://a.example/?x=1&y=2",
        "L . | Broken address | https://n.example/abc",
        "L . | Entity < text | https://e.example/",
        "L . | Less <than> and \"quoted\" | https://b.example/",
        "L . | Two lines | https://l.example/",
        "L . | Windows break | https://w.example/",
        "L Папка «Ж» | Привет 🙂 | https://пример.рф/путь",
        "L Папка «Ж»/Deep/Deeper 🚀 | Emoji 🎉 & «marks» | https://emoji.example/#🎉",
        "L Папка «Ж»/Deep/Deeper 🚀 | Quote address | https://q.example/?q=%22x%22",
    };
    std::sort(after.begin(), after.end());
    EXPECT_EQ(tree(copy), after);
    // The exported folder is the only thing in the new top folder.
    EXPECT_EQ(result.folders, 7);
    EXPECT_EQ(result.links, 9);
}

}  // namespace
}  // namespace tb::test
