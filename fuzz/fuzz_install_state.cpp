// Any bytes as the coded form of an install state: decoding either fails with
// DecodingError or yields a state whose own coded form decodes to itself.
#include "FuzzSupport.h"

#include "catalog/AppInstallState.h"
#include "errors/LauncherError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    AppInstallState state;
    try {
        state = AppInstallState::decode(fuzzBytes(data, size));
    } catch (const DecodingError &) {
        return 0;
    }
    const QByteArray encoded = state.encoded();
    try {
        FUZZ_CHECK(AppInstallState::decode(encoded) == state, QString::fromUtf8(encoded));
    } catch (const DecodingError &error) {
        fuzzFinding("an encoded state does not decode", QString::fromUtf8(encoded) + QLatin1Char(' ') + error.localizedDescription());
    }
    (void)state.label();
    return 0;
}
