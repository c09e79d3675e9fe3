// Any bytes as an install receipt's tree: decoding either refuses them or
// yields a tree that encodes to the very same bytes, whose every path stays
// below the bundle and every link inside it.
#include "FuzzSupport.h"

#include "install/BundleTree.h"
#include "RelativePath.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const std::optional<BundleTree> tree = BundleTree::decode(bytes);
    if (!tree)
        return 0;
    FUZZ_CHECK(tree->encode() == bytes, QString::fromUtf8(bytes.left(200)));
    for (const BundleEntry &entry : tree->entries) {
        const auto parts = RelativePath::components(entry.path);
        FUZZ_CHECK(parts && !parts->isEmpty() && parts->join('/') == entry.path, QString::fromUtf8(entry.path));
        if (entry.type == BundleEntry::Type::link)
            FUZZ_CHECK(RelativePath::targetStaysInside(*parts, entry.target), QString::fromUtf8(entry.target));
    }
    return 0;
}
