#include "ExtractedBundle.h"

#include "InstallFiles.h"
#include "system/SystemLayers.h"

#include <optional>

namespace ExtractedBundle {

Found find(const QString &extracted, const BundleInspector &bundles, const QString &bundleId)
{
    Found result;
    const std::optional<QString> bundle = InstallFiles::findBundle(extracted);
    if (!bundle)
        return result;
    result.path = *bundle;
    if (!InstallFiles::linksStayInside(*bundle)) {
        result.outcome = Found::Outcome::escapingLink;
        return result;
    }
    const std::optional<QString> identifier = bundles.bundleIdentifier(*bundle);
    result.outcome = identifier && *identifier == bundleId ? Found::Outcome::found : Found::Outcome::identifierMismatch;
    return result;
}

}  // namespace ExtractedBundle
