#include "StagedRollout.h"

#include <openssl/evp.h>

#include <array>

namespace StagedRollout {

int bucket(const QString &installId, const QString &appId, const QString &version)
{
    // A separator no id or version holds keeps ("ab", "c") apart from ("a", "bc").
    const QByteArray input = installId.toUtf8() + '\0' + appId.toUtf8() + '\0' + version.toUtf8();
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    if (EVP_Digest(input.constData(), size_t(input.size()), digest.data(), &length, EVP_sha256(), nullptr) != 1)
        return 0;
    // The first eight bytes as a number; its remainder's bias over 100 is far below a point.
    quint64 value = 0;
    for (int i = 0; i < 8; ++i)
        value = (value << 8) | digest[size_t(i)];
    return int(value % 100);
}

bool offered(const QString &installId, const QString &appId, const QString &version, int percent)
{
    if (decidedByPercent(percent))
        return percent >= 100;
    return bucket(installId, appId, version) < percent;
}

}  // namespace StagedRollout
