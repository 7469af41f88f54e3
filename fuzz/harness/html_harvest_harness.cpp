#include "exchange/html_harvest.h"
#include "harness/fuzz_support.h"
#include "harness/fuzz_targets.h"
#include "harness/import_sandbox.h"
#include "text/declared_charset.h"

namespace tb::fuzz {

namespace {

bool is_web_address(std::string_view address) {
    return address.starts_with("http://") || address.starts_with("https://") ||
           address.starts_with("ftp://");
}

}  // namespace

// The input is a web page: decoded, harvested, then imported as a single page.
void fuzz_html_harvest(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes = input_text(data, size);
    (void)declared_charset(bytes);
    const std::string text = html_page_text(bytes);
    require(reference_valid_utf8(text), "the page text is not valid UTF-8", text);
    require(text.find_first_of("\r\n") == std::string::npos, "the page text kept a line end");
    for (const HarvestedLink& link : harvest_links(text)) {
        require(reference_valid_utf8(link.title), "a link title is not valid UTF-8", link.title);
        require(is_web_address(link.address), "a harvested address is no web address",
                link.address);
    }

    ImportSandbox sandbox;
    ImportRequest request;
    request.source = ImportSource::HtmlFile;
    request.path = sandbox.input_folder() / "page.html";
    write_bytes(request.path, bytes);
    sandbox.import_checked(request);
}

}  // namespace tb::fuzz
