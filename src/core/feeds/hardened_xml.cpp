#include "feeds/hardened_xml.h"

#include <xercesc/sax2/XMLReaderFactory.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLUni.hpp>

namespace tb {

namespace xc = XERCES_CPP_NAMESPACE;

std::unique_ptr<xc::SAX2XMLReader> make_hardened_reader(xc::SecurityManager& security) {
    security.setEntityExpansionLimit(kEntityExpansionLimit);
    std::unique_ptr<xc::SAX2XMLReader> reader(
        xc::XMLReaderFactory::createXMLReader(xc::XMLPlatformUtils::fgMemoryManager));
    reader->setFeature(xc::XMLUni::fgSAX2CoreValidation, false);
    reader->setFeature(xc::XMLUni::fgXercesSchema, false);
    reader->setFeature(xc::XMLUni::fgXercesLoadExternalDTD, false);
    reader->setFeature(xc::XMLUni::fgXercesDisableDefaultEntityResolution, true);
    reader->setProperty(xc::XMLUni::fgXercesSecurityManager, &security);
    return reader;
}

}  // namespace tb
