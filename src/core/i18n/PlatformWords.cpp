#include "PlatformWords.h"

#include <cstring>

namespace {

struct Twin {
    const char *key;
    const char *otherSystems;
};

constexpr Twin twins[] = {
    {"installedDetail", "installedDetail.linux"},
    {"onboardingLead", "onboardingLead.linux"},
    {"firstAppBody", "firstAppBody.linux"},
    {"minimumMacOS", "minimumMacOS.linux"},
    {"feedbackDiagnosticsBody", "feedbackDiagnosticsBody.linux"},
    {"preferencesShowInMenuBar", "preferencesShowInMenuBar.linux"},
    {"preferencesSigning", "preferencesSigning.linux"},
    {"errorNoBundle", "errorNoBundle.linux"},
};

}  // namespace

namespace PlatformWords {

const char *messageId(const char *key)
{
#ifdef Q_OS_MACOS
    return key;
#else
    for (const Twin &twin : twins) {
        if (std::strcmp(twin.key, key) == 0)
            return twin.otherSystems;
    }
    return key;
#endif
}

QString messageId(const QString &key)
{
    return QString::fromLatin1(messageId(key.toLatin1().constData()));
}

}  // namespace PlatformWords
