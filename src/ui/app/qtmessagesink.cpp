// Modal message boxes for the core's messages.
#include "ui/app/qtmessagesink.h"

#include <QMessageBox>
#include <QPushButton>

namespace brisko {

QtMessageSink::QtMessageSink(std::string defaultTitle, QWidget* parent)
    : defaultTitle_(std::move(defaultTitle)), parent_(parent) {}

MessageAnswer QtMessageSink::show(const Message& message) {
    const std::string& title = message.title.empty() ? defaultTitle_ : message.title;
    QMessageBox box(parent_.data());
    box.setWindowTitle(QString::fromStdString(title));
    QString text = QString::fromStdString(message.text);
    text.replace("\r\n", "\n");  // the files' line ends would show as stray marks
    box.setText(text);
    box.setIcon(message.buttons == MessageButtons::YesNo ? QMessageBox::Question
                                                         : QMessageBox::NoIcon);
    if (message.buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        if (japanese_) {
            box.button(QMessageBox::Yes)->setText(QStringLiteral("はい"));
            box.button(QMessageBox::No)->setText(QStringLiteral("いいえ"));
        }
        return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageAnswer::Ok;
}

}  // namespace brisko
