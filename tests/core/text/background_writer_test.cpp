#include "text/background_writer.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace tb {
namespace {

using test::read_file;
using test::TempDir;

const std::string kMark = "\xEF\xBB\xBF";

// Distinct chunks, each ending inside nothing: a whole number of characters.
std::vector<std::string> numbered_chunks(int count) {
    std::vector<std::string> chunks;
    for (int i = 0; i < count; ++i) {
        chunks.push_back("chunk " + std::to_string(i) + " «Ж» " +
                         std::string(1000 + i, static_cast<char>('a' + i % 26)) + "\n");
    }
    return chunks;
}

TEST(BackgroundWriterTest, WritesChunksInTheOrderGiven) {
    TempDir dir;
    const auto chunks = numbered_chunks(200);
    TextFileWriter file(dir / "out.txt");
    ASSERT_TRUE(file.is_open());
    std::string expected;
    {
        BackgroundWriter writer(file);
        std::string chunk;
        for (const std::string& text : chunks) {
            chunk += text;
            expected += text;
            writer.put(chunk);
            EXPECT_TRUE(chunk.empty());
        }
        EXPECT_TRUE(writer.finish());
    }
    ASSERT_TRUE(file.close());
    EXPECT_EQ(read_file(dir / "out.txt"), kMark + expected);
}

TEST(BackgroundWriterTest, HandsBackBuffersThatNeedNoGrowing) {
    TempDir dir;
    TextFileWriter file(dir / "out.txt");
    BackgroundWriter writer(file);
    std::string chunk;
    chunk.reserve(1 << 20);
    for (int i = 0; i < 10; ++i) {
        chunk.assign(1000, 'x');
        writer.put(chunk);
        EXPECT_GE(chunk.capacity(), size_t{1} << 20);
    }
    EXPECT_TRUE(writer.finish());
}

TEST(BackgroundWriterTest, StoppingWritesWhatIsStillQueued) {
    TempDir dir;
    const auto chunks = numbered_chunks(50);
    TextFileWriter file(dir / "out.txt");
    std::string expected;
    {
        BackgroundWriter writer(file);
        for (std::string text : chunks) {
            expected += text;
            writer.put(text);
        }
    }
    ASSERT_TRUE(file.close());
    EXPECT_EQ(read_file(dir / "out.txt"), kMark + expected);
}

}  // namespace
}  // namespace tb
