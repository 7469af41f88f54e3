// The feed parser against a bare SAX2 pass with an empty handler over the same document.
#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>
#include <xercesc/sax2/XMLReaderFactory.hpp>
#include <xercesc/util/XMLString.hpp>

#include <cstdio>
#include <fstream>
#include <memory>

#include "feeds/feed_parser.h"
#include "support.h"

namespace xc = XERCES_CPP_NAMESPACE;

namespace {

constexpr int kItems = 10000;

void write_feed(const std::filesystem::path& path) {
    std::ofstream out(path, std::ios::binary);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\" "
           "xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n<channel>\n<title>Bench</title>\n"
           "<link>http://bench.example/</link>\n<description>Generated</description>\n";
    for (int i = 0; i < kItems; ++i) {
        out << "<item>\n<title>Item number " << i << " &amp; friends</title>\n"
            << "<link>http://bench.example/posts/" << i << "?a=1&amp;b=2</link>\n"
            << "<description>&lt;p&gt;Paragraph of item " << i
            << " with some text that a real feed would carry, a few more words to reach the "
               "usual size of a summary, and a &lt;b&gt;bold&lt;/b&gt; word with "
               "&amp;quot;quotes&amp;quot; in it.&lt;/p&gt; Lorem ipsum dolor sit amet, "
               "consectetur adipiscing elit, sed do eiusmod tempor.</description>\n"
            << "<guid>http://bench.example/posts/" << i << "</guid>\n"
            << "<dc:creator>Writer " << i % 17 << "</dc:creator>\n"
            << "<pubDate>Mon, 01 Jan 2024 10:00:00 GMT</pubDate>\n</item>\n";
    }
    out << "</channel>\n</rss>\n";
}

void bare_pass(const std::filesystem::path& path) {
    std::unique_ptr<xc::SAX2XMLReader> reader(xc::XMLReaderFactory::createXMLReader());
    xc::DefaultHandler handler;
    reader->setContentHandler(&handler);
    reader->setErrorHandler(&handler);
    XMLCh* wide = xc::XMLString::transcode(path.c_str());
    xc::LocalFileInputSource source(wide);
    reader->parse(source);
    xc::XMLString::release(&wide);
}

}  // namespace

int main() {
    const auto dir = tb::bench::make_temp_dir();
    const auto file = dir / "bench.xml";
    write_feed(file);
    std::printf("document: %.1f MB, %d items\n",
                static_cast<double>(std::filesystem::file_size(file)) / 1e6, kItems);

    tb::SilentReporter reporter;
    tb::XercesRuntime xml;
    if (!xml.initialize(reporter)) {
        return 1;
    }
    size_t items = 0;
    const double ours = tb::bench::best_of(
        5, [&] { items = tb::parse_feed_document(file, "bench", reporter).items.size(); });
    const double reference = tb::bench::best_of(5, [&] { bare_pass(file); });
    std::printf("items parsed: %zu\n", items);
    tb::bench::report("feed parser", ours, reference, 2.0);
    std::filesystem::remove_all(dir);
    return items == kItems ? 0 : 1;
}
