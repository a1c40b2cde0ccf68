// The desktop answers to PlatformServices.
#include "platform/desktopplatform.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

#include <sys/vfs.h>

namespace brisko {

namespace {
constexpr long kIso9660Magic = 0x9660;
constexpr long kUdfMagic = 0x15013346;
}  // namespace

bool DesktopPlatform::isOnCdRom(const std::string& folder) {
    struct statfs fs {};
    if (::statfs(folder.c_str(), &fs) != 0) return false;
    return fs.f_type == kIso9660Magic || fs.f_type == kUdfMagic;
}

bool DesktopPlatform::startDetached(const std::string& program) {
    return QProcess::startDetached(QString::fromStdString(program), {});
}

std::string DesktopPlatform::openDocument(const std::string& path) {
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)))) return {};
    return "ファイルを開けませんでした。";
}

void DesktopPlatform::playSound(const std::string&) {}

}  // namespace brisko
