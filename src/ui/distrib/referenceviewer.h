// The reference viewer: a small window listing the attachments of the shown race
// (sailing instructions, results, photos in "attachment/") and opening the clicked one with its
// associated program. Opened from the race screen's reference button.
#pragma once

#include <QStringList>
#include <QWidget>

#include "app/appsettings.h"
#include "app/messages.h"
#include "app/platformservices.h"
#include "race/racedefinition.h"

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace brisko {

class ReferenceViewer : public QWidget {
    Q_OBJECT
public:
    // How long the viewer stays hidden after opening a document before it closes itself.
    static constexpr int kCloseDelayMs = 5000;

    ReferenceViewer(const AppSettings& settings, const RaceDefinition& race,
                    PlatformServices& platform, MessageSink& sink, QWidget* parent = nullptr);

    QListWidget* attachmentList = nullptr;  // a click opens the attachment
    QPushButton* cancelButton = nullptr;

    // The file an attachment name stands for; empty when the name is no plain file name.
    QString attachmentPath(const QString& name) const;
    void setCloseDelay(int ms) { closeDelayMs_ = ms; }

    // Font, title and the race's attachments listed.
    void listAttachments();
    // Opens the attachment with its program, hides the viewer meanwhile and closes it after;
    // a missing or unusable file is told and nothing is opened.
    void openAttachment(QListWidgetItem* item);
    void cancel();

private:
    AppSettings settings_;
    PlatformServices& platform_;
    MessageSink& sink_;
    QStringList attachments_;
    int closeDelayMs_ = kCloseDelayMs;
    bool opening_ = false;
};

}  // namespace brisko
