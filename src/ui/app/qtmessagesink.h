// Shows the core's messages as modal message boxes, titled with the product title unless the
// message brings its own title. Used by main() and the windows that call core readers.
#pragma once

#include <QPointer>
#include <QWidget>
#include <string>

#include "app/messages.h"

namespace brisko {

class QtMessageSink : public MessageSink {
public:
    explicit QtMessageSink(std::string defaultTitle = {}, QWidget* parent = nullptr);

    void setDefaultTitle(const std::string& title) { defaultTitle_ = title; }
    void setParentWindow(QWidget* parent) { parent_ = parent; }
    // Japanese mode: the question buttons read "はい" and "いいえ" instead of Qt's English.
    void setJapanese(bool japanese) { japanese_ = japanese; }

    // Modal: returns when the user has answered. OK boxes answer Ok, Yes/No boxes Yes or No
    // (closing the box counts as No).
    MessageAnswer show(const Message& message) override;

private:
    std::string defaultTitle_;
    QPointer<QWidget> parent_;
    bool japanese_ = false;
};

}  // namespace brisko
