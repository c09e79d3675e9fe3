#pragma once

#include "Models.h"

#include <QByteArray>
#include <QJsonObject>

// Strict, all-or-nothing decoding of the manifest document. Throws
// DecodingError naming where it failed ("apps[2].status: ...").
namespace ManifestDecoder {

// Larger documents are refused before parsing (and by the client while it
// receives them), so a hostile server cannot exhaust memory.
inline constexpr qint64 maximumDocumentSize = 64 * 1024 * 1024;

LauncherManifest decode(const QByteArray &json);

// ISO 8601 internet date-time to the second with "Z" or a numeric offset;
// nullopt for anything else (fractional seconds included).
std::optional<QDateTime> parseDate(const QString &text);

// Encodes records back with the same keys (optional members left out).
QByteArray encode(const LauncherManifest &manifest);
// One app's record alone, as it stands in the document's "apps".
QJsonObject encodeApp(const AppManifestItem &app);
AppManifestItem decodeApp(const QJsonObject &object);

}  // namespace ManifestDecoder
