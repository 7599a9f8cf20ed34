#pragma once
// One interface for everything the user is told or asked: a text, a caption, an icon, the
// buttons and the default answer. The command line prints "caption: text" on standard error
// and answers questions on a terminal; the GUI shows a dialog; tests record what was said.

#include <deque>
#include <string>
#include <vector>

namespace tellurim {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No, Retry };

struct Message {
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer default_answer = MessageAnswer::Ok;
    bool operator==(const Message&) const = default;
};

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows the message and returns the user's answer (the default when nobody can answer).
    virtual MessageAnswer show(const Message& message) = 0;
    // Asks for a line of text (a directory, a path) proposing `proposed`; returns the answer,
    // or an empty text when the user cancels.
    virtual std::string ask_text(const std::string& prompt, const std::string& proposed) = 0;

    MessageAnswer tell(std::string text, std::string caption, MessageIcon icon) {
        return show(Message{std::move(text), std::move(caption), icon, MessageButtons::Ok, MessageAnswer::Ok});
    }
};

// Keeps every message in order and answers from queues that a test fills beforehand.
class RecordingMessages : public MessageSink {
public:
    MessageAnswer show(const Message& message) override {
        messages.push_back(message);
        if (answers.empty()) return message.default_answer;
        MessageAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::string ask_text(const std::string& prompt, const std::string& proposed) override {
        prompts.push_back(prompt);
        if (text_answers.empty()) return proposed;
        std::string a = text_answers.front();
        text_answers.pop_front();
        return a;
    }

    std::vector<Message> messages;
    std::vector<std::string> prompts;
    std::deque<MessageAnswer> answers;
    std::deque<std::string> text_answers;
};

// Says nothing and takes every default.
class SilentMessages : public MessageSink {
public:
    MessageAnswer show(const Message& m) override { return m.default_answer; }
    std::string ask_text(const std::string&, const std::string& proposed) override { return proposed; }
};

}  // namespace tellurim
