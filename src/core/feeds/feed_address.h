#pragma once

#include <string>

namespace tb {

// True for an absolute http or https address: the only kind that may serve as a base.
bool is_web_address(const std::string& address);

// The reference resolved against the base as a browser does. A reference that names its own
// scheme, or a base that is not a web address, leaves the reference as it is.
std::string resolve_address(const std::string& base, const std::string& reference);

}  // namespace tb
