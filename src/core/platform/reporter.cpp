#include "platform/reporter.h"

#include <algorithm>

#include "platform/messages.h"

namespace tb {

std::string render(const Message& message) {
    if (message.id == 0) {
        // An engine's text comes without arguments and may hold a '%' of its own.
        return message.args.empty() ? message.text : fill_arguments(message.text, message.args);
    }
    const char* text = english_string(message.id);
    if (text == nullptr) {
        return "String " + std::to_string(message.id);
    }
    return fill_arguments(text, message.args);
}

bool RecordingReporter::has(int id) const {
    return count(id) > 0;
}

int RecordingReporter::count(int id) const {
    return static_cast<int>(std::count_if(messages.begin(), messages.end(),
                                          [id](const Message& m) { return m.id == id; }));
}

}  // namespace tb
