// The reference viewer; see referenceviewer.h.
#include "ui/distrib/referenceviewer.h"

#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>

#include "race/racecontrolfile.h"
#include "ui/widgets/captions.h"
#include "util/fileutil.h"
#include "util/numbers.h"

namespace brisko {

ReferenceViewer::ReferenceViewer(const AppSettings& settings, const RaceDefinition& race,
                                 PlatformServices& platform, MessageSink& sink, QWidget* parent)
    : QWidget(parent, Qt::Window), settings_(settings), platform_(platform), sink_(sink) {
    setObjectName(QStringLiteral("ReferenceViewer"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    for (int i = 1; i <= race.AttachmentCount && i <= kMaxAttachments; ++i)
        attachments_ << QString::fromStdString(race.Attachments[i]);

    attachmentList = new QListWidget(this);
    attachmentList->setObjectName(QStringLiteral("attachmentList"));
    cancelButton = new QPushButton(QStringLiteral("CANCEL"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(attachmentList);
    layout->addWidget(cancelButton, 0, Qt::AlignRight);
    resize(320, 240);

    connect(attachmentList, &QListWidget::itemClicked, this, &ReferenceViewer::openAttachment);
    connect(cancelButton, &QPushButton::clicked, this, &ReferenceViewer::cancel);
    listAttachments();
}

void ReferenceViewer::listAttachments() {
    applyUiFont(this, settings_);
    setWindowTitle(QString::fromUtf8(settings_.tr("データ参照", "Refference Files")));
    attachmentList->clear();
    attachmentList->addItems(attachments_);
}

QString ReferenceViewer::attachmentPath(const QString& name) const {
    const std::string trimmed(trimBlanks(name.toStdString()));
    if (!isPlainFileName(trimmed)) return {};
    return QString::fromStdString(resolvePath(settings_.AppPath, "\\attachment\\" + trimmed));
}

void ReferenceViewer::openAttachment(QListWidgetItem* item) {
    if (!item || opening_) return;
    const QString path = attachmentPath(item->text());
    if (path.isEmpty() || !fileExists(path.toStdString())) {
        // Nothing is opened and the window stays; the user is told which file is missing.
        const std::string name = shownName(item->text().toStdString());
        Message m;
        m.text = path.isEmpty() ? std::string(settings_.tr("この資料のファイル名は使えません: ",
                                                           "This file name cannot be opened: ")) +
                                      name
                                : std::string(settings_.tr("資料のファイルが見つかりません: ",
                                                           "The reference file is not found: ")) +
                                      name;
        std::fprintf(stderr, "brisko: %s\n", m.text.c_str());
        sink_.show(m);
        return;
    }
    opening_ = true;
    hide();
    const std::string failure = platform_.openDocument(path.toStdString());
    if (!failure.empty()) {
        Message m;
        m.text = failure;
        sink_.show(m);
        show();
        opening_ = false;
        return;
    }
    // The document's program takes a moment to come up; the viewer comes back and closes then,
    // without blocking the other windows meanwhile.
    QTimer::singleShot(closeDelayMs_, this, [this] {
        show();
        opening_ = false;
        close();
    });
}

void ReferenceViewer::cancel() { close(); }

}  // namespace brisko
