#pragma once

#include <xercesc/sax2/SAX2XMLReader.hpp>
#include <xercesc/util/SecurityManager.hpp>

#include <memory>

namespace tb {

// Every named reference counts as one expansion, so ordinary feeds use thousands; the text
// limits of the handlers bound what a document can expand to.
inline constexpr XMLSize_t kEntityExpansionLimit = 100000;

// A SAX2 reader for documents from the network: no validation, no external DTD, no default
// entity resolution, and the expansion limit of `security`, which must outlive the reader.
// Throws what the library throws when it cannot create one.
std::unique_ptr<XERCES_CPP_NAMESPACE::SAX2XMLReader> make_hardened_reader(
    XERCES_CPP_NAMESPACE::SecurityManager& security);

}  // namespace tb
