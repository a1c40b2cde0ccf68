// The desktop answers to PlatformServices: documents open with their associated program,
// programs start detached, CD-ROMs are told by their filesystem and the start gun is played.
#include "platform/desktopplatform.h"

#include <sys/vfs.h>

#include <QAudioDevice>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMimeDatabase>
#include <QProcess>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QUrl>

namespace brisko {

namespace {

constexpr long kIso9660Magic = 0x9660;
constexpr long kUdfMagic = 0x15013346;
constexpr int kAssociationQueryMs = 2000;

bool looksLikeUrl(const QString& path) {
    return path.contains("://") || path.startsWith("mailto:", Qt::CaseInsensitive);
}

// Whether the desktop names a program for this type of file. Unknown (no query tool, or the
// query fails) counts as yes, so that the open itself decides.
bool hasAssociatedProgram(const QFileInfo& file) {
    const QString tool = QStandardPaths::findExecutable("xdg-mime");
    if (tool.isEmpty()) return true;
    const QString mime = QMimeDatabase().mimeTypeForFile(file).name();
    QProcess query;
    query.start(tool, {"query", "default", mime});
    if (!query.waitForFinished(kAssociationQueryMs) || query.exitStatus() != QProcess::NormalExit ||
        query.exitCode() != 0) {
        query.kill();
        return true;
    }
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

}  // namespace

std::string openFailureMessage(OpenFailure failure) {
    switch (failure) {
        case OpenFailure::OutOfResources:
            return "メモリまたはリソースが足りません。";
        case OpenFailure::FileNotFound:
            return "ファイルが見つかりません。";
        case OpenFailure::PathNotFound:
            return "パスが見つかりません。";
        case OpenFailure::AccessDenied:
            return "アクセスは拒否されました。";
        case OpenFailure::BadFormat:
            return "不正な形式の実行ファイルです。";
        case OpenFailure::IncompleteAssociation:
            return "関連付けが不完全です。";
        case OpenFailure::NoAssociation:
            return "関連付けが指定されていません。";
        case OpenFailure::Other:
            break;
    }
    return "ファイルを開けません。";
}

DesktopPlatform::DesktopPlatform() = default;
DesktopPlatform::~DesktopPlatform() = default;

bool DesktopPlatform::isOnCdRom(const std::string& folder) {
    struct statfs fs {};
    if (::statfs(folder.c_str(), &fs) != 0) return false;
    return fs.f_type == kIso9660Magic || fs.f_type == kUdfMagic;
}

bool DesktopPlatform::startDetached(const std::string& program) {
    const QString path = QString::fromStdString(program);
    return QProcess::startDetached(path, {}, QFileInfo(path).absolutePath());
}

std::string DesktopPlatform::openDocument(const std::string& path) {
    const QString text = QString::fromStdString(path);
    if (text.trimmed().isEmpty()) return openFailureMessage(OpenFailure::FileNotFound);
    if (looksLikeUrl(text)) {
        const QUrl url(text);
        if (url.isValid() && QDesktopServices::openUrl(url)) return {};
        return openFailureMessage(OpenFailure::Other);
    }
    const QFileInfo file(text);
    if (!file.exists())
        return openFailureMessage(file.absoluteDir().exists() ? OpenFailure::FileNotFound
                                                              : OpenFailure::PathNotFound);
    if (!file.isReadable()) return openFailureMessage(OpenFailure::AccessDenied);
    if (file.isFile() && !hasAssociatedProgram(file))
        return openFailureMessage(OpenFailure::NoAssociation);
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()))) return {};
    return openFailureMessage(OpenFailure::Other);
}

void DesktopPlatform::playSound(const std::string& path) {
    // Without a sound device the gun stays silent rather than failing.
    if (QMediaDevices::audioOutputs().isEmpty()) return;
    const QFileInfo file(QString::fromStdString(path));
    if (!file.isFile()) return;
    const QUrl source = QUrl::fromLocalFile(file.absoluteFilePath());
    if (!sound_) sound_ = std::make_unique<QSoundEffect>();
    if (sound_->source() != source) sound_->setSource(source);
    sound_->play();  // returns at once; the effect plays on its own
}

}  // namespace brisko
