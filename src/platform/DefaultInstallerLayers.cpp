#include "DefaultInstallerLayers.h"

#include "AtomicDirectoryReplacer.h"
#include "LibarchiveExtractor.h"
#include "LinuxSystemVersion.h"
#include "PlistBundleInspector.h"

AppInstaller::Layers defaultInstallerLayers()
{
    AppInstaller::Layers layers;
    layers.systemVersion = std::make_shared<LinuxSystemVersion>();
    layers.extractor = std::make_shared<LibarchiveExtractor>();
    layers.bundles = std::make_shared<PlistBundleInspector>();
    layers.replacer = std::make_shared<AtomicDirectoryReplacer>();
    return layers;
}
