// The file selector: lists the folder's files matching the name box's pattern (letter case
// ignored), fills the name box from a click, and checks the name on OK.
#include "ui/distrib/fileselector.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "race/racecontrolfile.h"
#include "ui/widgets/captions.h"
#include "util/fileutil.h"

namespace brisko {

namespace {
bool holdsWildcard(const QString& s) {
    return s.contains(QLatin1Char('*')) || s.contains(QLatin1Char('?'));
}
}  // namespace

FileSelector::FileSelector(const AppSettings& settings, MessageSink& sink,
                           const FileSelectRequest& request, QWidget* parent)
    : QDialog(parent), settings_(settings), sink_(sink), request_(request) {
    setObjectName(QStringLiteral("FileSelector"));
    setModal(true);
    setWindowTitle(request_.caption);
    fileList = new QListWidget(this);
    fileList->setObjectName(QStringLiteral("fileList"));
    nameEdit = new QLineEdit(this);
    nameEdit->setObjectName(QStringLiteral("nameEdit"));
    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    cancelButton = new QPushButton(QStringLiteral("CANCEL"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fileList);
    layout->addWidget(nameEdit);
    layout->addLayout(buttons);
    resize(320, 300);
    applyUiFont(this, settings_);

    nameEdit->setText(QStringLiteral("*.") + request_.extension);
    fillList(listPattern(nameEdit->text(), request_.extension));
    connect(fileList, &QListWidget::itemClicked, this, &FileSelector::takeClickedName);
    connect(fileList, &QListWidget::itemDoubleClicked, this, [this] {
        takeClickedName();
        confirmName();
    });
    // Typing a pattern narrows the list at once.
    connect(nameEdit, &QLineEdit::textEdited, this, [this](const QString& t) {
        if (holdsWildcard(t)) fillList(listPattern(t, request_.extension));
    });
    connect(nameEdit, &QLineEdit::returnPressed, this, &FileSelector::confirmName);
    connect(okButton, &QPushButton::clicked, this, &FileSelector::confirmName);
    connect(cancelButton, &QPushButton::clicked, this, &FileSelector::cancel);
    okButton->setDefault(false);
    okButton->setAutoDefault(false);
    cancelButton->setAutoDefault(false);
}

QString FileSelector::listPattern(const QString& text, const QString& extension) {
    const QString t = text.trimmed();
    if (holdsWildcard(t)) return t == QLatin1String("*.*") ? QStringLiteral("*") : t;
    if (extension.isEmpty() || extension == QLatin1String("*")) return QStringLiteral("*");
    return QStringLiteral("*.") + extension;
}

void FileSelector::fillList(const QString& pattern) {
    fileList->clear();
    for (const std::string& name :
         listFiles(request_.folder.toStdString(), pattern.toStdString())) {
        // Temporaries of an interrupted save are no files to pick.
        if (name.find(".brisko-tmp-") != std::string::npos) continue;
        fileList->addItem(QString::fromStdString(name));
    }
}

void FileSelector::takeClickedName() {
    if (QListWidgetItem* item = fileList->currentItem()) nameEdit->setText(item->text());
}

void FileSelector::tell(const char* japanese, const char* english) {
    sink_.show({settings_.tr(japanese, english), {}, MessageButtons::Ok});
}

void FileSelector::confirmName() {
    chosenName.clear();
    chosenPath.clear();
    QString name = nameEdit->text().trimmed();
    // A pattern, a folder part, ".." or a character no file name holds is no name to choose.
    if (name.isEmpty() || holdsWildcard(name) || !isPlainFileName(name.toStdString())) {
        tell("正しいファイル名を入れてください。", "Input File Name");
        return;
    }
    const bool saving = request_.mode == 1;
    if (saving && !name.contains(QLatin1Char('.')) && !request_.extension.isEmpty() &&
        request_.extension != QLatin1String("*"))
        name += QLatin1Char('.') + request_.extension;
    // The file as the folder holds it, whatever the letter case typed.
    const auto found = findPath(request_.folder.toStdString(), "\\" + name.toStdString());
    const QFileInfo existing(found ? QString::fromStdString(*found) : QString());
    if (found && !existing.isFile()) {
        tell("正しいファイル名を入れてください。", "Input File Name");
        return;
    }
    if (found) name = existing.fileName();
    if (saving) {
        if (found) {
            const MessageAnswer a =
                sink_.show({settings_.tr("同名のファイルがあります。\r\n上書きしますか？",
                                         "Same File Name Exists.\r\nOverwight?."),
                            {},
                            MessageButtons::YesNo});
            if (a != MessageAnswer::Yes) return;
        }
        acceptName(name);
        return;
    }
    if (!found) {
        tell("正しいファイル名を入れてください。", "Input File Name");
        return;
    }
    acceptName(name);
}

bool FileSelector::acceptName(const QString& name) {
    chosenName = name;
    chosenPath = request_.folder + QLatin1Char('/') + name;
    QDialog::accept();
    return true;
}

void FileSelector::cancel() {
    chosenName.clear();
    reject();
}

}  // namespace brisko
