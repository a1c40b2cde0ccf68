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
    File1 = new QListWidget(this);
    File1->setObjectName(QStringLiteral("File1"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("CANCEL"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(File1);
    layout->addWidget(Text1);
    layout->addLayout(buttons);
    resize(320, 300);
    applyUiFont(this, settings_);

    Text1->setText(QStringLiteral("*.") + request_.extension);
    fillList(listPattern(Text1->text(), request_.extension));
    connect(File1, &QListWidget::itemClicked, this, &FileSelector::File1_Click);
    connect(File1, &QListWidget::itemDoubleClicked, this, [this] {
        File1_Click();
        Command1_Click();
    });
    // Typing a pattern narrows the list as the folder list box did with its pattern.
    connect(Text1, &QLineEdit::textEdited, this, [this](const QString& t) {
        if (holdsWildcard(t)) fillList(listPattern(t, request_.extension));
    });
    connect(Text1, &QLineEdit::returnPressed, this, &FileSelector::Command1_Click);
    connect(Command1, &QPushButton::clicked, this, &FileSelector::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &FileSelector::Command2_Click);
    Command1->setDefault(false);
    Command1->setAutoDefault(false);
    Command2->setAutoDefault(false);
}

QString FileSelector::listPattern(const QString& text, const QString& extension) {
    const QString t = text.trimmed();
    if (holdsWildcard(t)) return t == QLatin1String("*.*") ? QStringLiteral("*") : t;
    if (extension.isEmpty() || extension == QLatin1String("*")) return QStringLiteral("*");
    return QStringLiteral("*.") + extension;
}

void FileSelector::fillList(const QString& pattern) {
    File1->clear();
    for (const std::string& name :
         listFiles(request_.folder.toStdString(), pattern.toStdString())) {
        // Temporaries of an interrupted save are no files to pick.
        if (name.find(".brisko-tmp-") != std::string::npos) continue;
        File1->addItem(QString::fromStdString(name));
    }
}

void FileSelector::File1_Click() {
    if (QListWidgetItem* item = File1->currentItem()) Text1->setText(item->text());
}

void FileSelector::tell(const char* japanese, const char* english) {
    sink_.show({settings_.tr(japanese, english), {}, MessageButtons::Ok});
}

void FileSelector::Command1_Click() {
    SharedPath.clear();
    SelectResultPath.clear();
    QString name = Text1->text().trimmed();
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
    SharedPath = name;
    SelectResultPath = request_.folder + QLatin1Char('/') + name;
    QDialog::accept();
    return true;
}

void FileSelector::Command2_Click() {
    SharedPath.clear();
    reject();
}

}  // namespace brisko
