#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace tb::cli {

// A command's arguments as the parser found them: the positionals in their order, the options
// with their values and the flags given.
struct ParsedArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::vector<std::string>> values;
    std::set<std::string> flags;

    bool has(const std::string& flag) const { return flags.contains(flag); }
    // The option's value, the last one when it was given more than once; null when not given.
    const std::string* value(const std::string& option) const {
        auto it = values.find(option);
        return it == values.end() || it->second.empty() ? nullptr : &it->second.back();
    }
};

}  // namespace tb::cli
