#pragma once

#include <string>
#include <vector>

// Marks an English text for the translation tools; the texts are translated in context "Strings"
// by the GUI, which is why a text with variable parts is a template with %1 ... %9.
#define TB_TRANSLATE_NOOP(context, text) text

namespace tb {

// A message for the user: either a string-table id with its %1/%2 arguments, or a plain text
// (an engine error, or a template of a program text that has no id) with its own arguments.
struct Message {
    int id = 0;
    std::vector<std::string> args;
    std::string text;

    static Message of(int id, std::vector<std::string> args = {}) {
        return {id, std::move(args), {}};
    }
    static Message plain(std::string text, std::vector<std::string> args = {}) {
        return {0, std::move(args), std::move(text)};
    }

    bool operator==(const Message&) const = default;
};

// The English text of a message, with its arguments filled in.
std::string render(const Message& message);

// The core never shows anything: it hands its messages to a reporter, which the GUI implements
// with message boxes, the command-line tool with standard error, and tests with a recorder.
class Reporter {
public:
    virtual ~Reporter() = default;
    virtual void report(const Message& message) = 0;

    void report(int id, std::vector<std::string> args = {}) {
        report(Message::of(id, std::move(args)));
    }
    void report_text(std::string text, std::vector<std::string> args = {}) {
        report(Message::plain(std::move(text), std::move(args)));
    }
};

// Keeps every report; used by tests and by front ends that show messages later.
class RecordingReporter : public Reporter {
public:
    using Reporter::report;
    void report(const Message& message) override { messages.push_back(message); }

    bool has(int id) const;
    int count(int id) const;
    void clear() { messages.clear(); }

    std::vector<Message> messages;
};

// Drops every report; for reads whose failures a caller handles itself.
class SilentReporter : public Reporter {
public:
    using Reporter::report;
    void report(const Message&) override {}
};

}  // namespace tb
