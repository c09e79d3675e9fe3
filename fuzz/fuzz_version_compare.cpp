// Any three texts as versions: comparing never crashes, a version compares
// the same as itself, swapping the sides reverses the result, and the order
// is transitive.
#include "FuzzSupport.h"

#include "catalog/VersionComparison.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    const QString a = QString::fromUtf8(provider.ConsumeRandomLengthString(256));
    const QString b = QString::fromUtf8(provider.ConsumeRandomLengthString(256));
    const QString c = QString::fromUtf8(provider.ConsumeRemainingBytesAsString());

    const QString shown = QStringLiteral("[%1] [%2] [%3]").arg(a, b, c);
    FUZZ_CHECK(compareVersions(a, a) == ComparisonResult::orderedSame, shown);
    const int ab = int(compareVersions(a, b));
    const int ba = int(compareVersions(b, a));
    FUZZ_CHECK(ab == -ba, shown);
    const int bc = int(compareVersions(b, c));
    const int ac = int(compareVersions(a, c));
    if (ab <= 0 && bc <= 0)
        FUZZ_CHECK(ac <= 0, shown);
    if (ab >= 0 && bc >= 0)
        FUZZ_CHECK(ac >= 0, shown);
    if (ab == 0 && bc == 0)
        FUZZ_CHECK(ac == 0, shown);
    return 0;
}
