// Any bytes as a manifest: decoding either fails with DecodingError or yields
// a manifest that survives encoding and decoding again unchanged.
#include "FuzzSupport.h"

#include "catalog/ManifestDecoder.h"
#include "errors/LauncherError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    LauncherManifest manifest;
    try {
        manifest = ManifestDecoder::decode(fuzzBytes(data, size));
    } catch (const DecodingError &) {
        return 0;
    }
    const QByteArray encoded = ManifestDecoder::encode(manifest);
    LauncherManifest again;
    try {
        again = ManifestDecoder::decode(encoded);
    } catch (const DecodingError &error) {
        fuzzFinding("an encoded manifest does not decode", error.localizedDescription());
    }
    FUZZ_CHECK(again == manifest, QString::fromUtf8(encoded.left(400)));
    return 0;
}
