// The desktop answers to PlatformServices: Qt and Linux in place of the Windows calls.
#pragma once

#include "app/platformservices.h"

namespace brisko {

class DesktopPlatform : public PlatformServices {
public:
    bool isOnCdRom(const std::string& folder) override;
    bool startDetached(const std::string& program) override;
    std::string openDocument(const std::string& path) override;
    void playSound(const std::string& path) override;
};

}  // namespace brisko
