#include <gtest/gtest.h>

#include "platform/messages.h"
#include "platform/reporter.h"

namespace tb {

TEST(ReporterTest, TemplatesAreFilledOnceAndEngineTextsKeptAsTheyAre) {
    EXPECT_EQ(render(Message::of(msg::kDeleteFolderQuestion, {"News"})), "Delete folder 'News'?");
    // A plain template is filled like a table string; an argument that looks like a
    // placeholder stays as it is.
    EXPECT_EQ(render(Message::plain("Cannot delete %1.", {"/tmp/%2 100%.xml"})),
              "Cannot delete /tmp/%2 100%.xml.");
    // An engine's own message has no arguments and keeps its percent signs.
    EXPECT_EQ(render(Message::plain("near \"%1\": syntax error")), "near \"%1\": syntax error");
    EXPECT_EQ(render(Message::of(99999)), "String 99999");

    RecordingReporter reporter;
    reporter.report_text("Cannot read the disk folder \"%1\".", {"/nowhere"});
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].text, "Cannot read the disk folder \"%1\".");
    EXPECT_EQ(render(reporter.messages[0]), "Cannot read the disk folder \"/nowhere\".");
}

}  // namespace tb
