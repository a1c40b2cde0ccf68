// Messages to the user. Core code never shows a window: it hands a message to a MessageSink,
// which the UI shows as a modal box titled with the product title and which tests capture.
#pragma once

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

namespace brisko {

enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct Message {
    std::string text;   // already in the user's language
    std::string title;  // empty: the product title
    MessageButtons buttons = MessageButtons::Ok;
};

inline Message makeMessage(std::string text, std::string title = {},
                           MessageButtons buttons = MessageButtons::Ok) {
    return Message{std::move(text), std::move(title), buttons};
}

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual MessageAnswer show(const Message& message) = 0;
};

// Keeps every message and answers with a chosen answer: for tests and for tools that print.
class CapturingMessageSink : public MessageSink {
public:
    explicit CapturingMessageSink(MessageAnswer answer = MessageAnswer::Ok) : answer_(answer) {}
    MessageAnswer show(const Message& message) override {
        messages.push_back(message);
        return message.buttons == MessageButtons::Ok ? MessageAnswer::Ok : answer_;
    }
    void setAnswer(MessageAnswer a) { answer_ = a; }
    std::vector<Message> messages;

private:
    MessageAnswer answer_;
};

// Messages on standard error, each ending its own line (a message box's CR LF line breaks become
// plain ones), for the command-line tools. Questions are answered No.
class StderrMessageSink : public MessageSink {
public:
    explicit StderrMessageSink(std::string prefix = {}) : prefix_(std::move(prefix)) {}
    MessageAnswer show(const Message& m) override {
        std::string text = m.text;
        std::erase(text, '\r');
        std::cerr << prefix_ << text << '\n';
        ++shown;
        return m.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
    int shown = 0;

private:
    std::string prefix_;
};

}  // namespace brisko
