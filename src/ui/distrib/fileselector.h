// The file selector: a small modal window listing the files of one folder, with
// a name box. Used by the race file editor to pick GPS, wind, attachment and race files.
#pragma once

#include <QDialog>
#include <QString>

#include "app/appsettings.h"
#include "app/messages.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace brisko {

// What the caller asks for.
struct FileSelectRequest {
    QString caption;    // the window caption
    QString folder;     // the folder listed, without a trailing separator
    QString extension;  // "txt", "csv" or "*"
    // 1: a new name is accepted at once and an existing file after a question (to save); any
    // other value: only an existing file is accepted (to open).
    int mode = 0;
};

class FileSelector : public QDialog {
    Q_OBJECT
public:
    FileSelector(const AppSettings& settings, MessageSink& sink, const FileSelectRequest& request,
                 QWidget* parent = nullptr);

    // Results. chosenName: the chosen name alone, empty after CANCEL. chosenPath: the folder and
    // the name, emptied when OK is pressed and left alone by CANCEL.
    QString chosenName;
    QString chosenPath;

    // The listing pattern of a name-box text: the text itself when it holds a wildcard ("*.*"
    // meaning every file), else "*." + the extension.
    static QString listPattern(const QString& text, const QString& extension);

    QListWidget* fileList = nullptr;  // the folder's files matching the name box's pattern
    QLineEdit* nameEdit = nullptr;    // the name to choose, or a pattern that narrows the list
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;

private:
    void fillList(const QString& pattern);
    void takeClickedName();  // into the name box
    void confirmName();      // OK: checks the typed name and closes on a good one
    void cancel();
    bool acceptName(const QString& name);
    void tell(const char* japanese, const char* english);

    const AppSettings settings_;  // a copy: a dialog may outlive the settings it was given
    MessageSink& sink_;
    FileSelectRequest request_;
};

}  // namespace brisko
