#include "CompiledAppProperties.h"

namespace {

QVariant nonEmpty(const char *value)
{
    const QString text = QString::fromUtf8(value);
    return text.isEmpty() ? QVariant() : QVariant(text);
}

}  // namespace

QVariant CompiledAppProperties::value(const QString &key) const
{
    if (key == QLatin1String("VantrelManifestURL"))
        return nonEmpty(VANTREL_MANIFEST_URL_PROPERTY);
    if (key == QLatin1String("VantrelAPIURL"))
        return nonEmpty(VANTREL_API_URL_PROPERTY);
    if (key == QLatin1String("VantrelCatalogPublicKeys"))
        return nonEmpty(VANTREL_CATALOG_PUBLIC_KEYS_PROPERTY);
    if (key == QLatin1String("CFBundleShortVersionString"))
        return QString::fromUtf8(VANTREL_VERSION);
    return {};
}
