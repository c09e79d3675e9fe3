#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QUrl>

class AppProperties;

namespace ServiceEndpoints {

// The environment variable when it parses as a URL, else the application
// property when it is text that parses as one, else builtIn.
QUrl configuredURL(const QString &variable, const QString &propertyKey, const AppProperties &properties,
                   const QUrl &builtIn);

// Base of the feedback and event endpoints: "VANTREL_API_URL", then the
// "VantrelAPIURL" property, then the local development service.
QUrl serviceBaseURL(const AppProperties &properties);
QUrl builtInServiceBaseURL();

// base with its path and path joined: slashes trimmed from both, non-empty
// parts joined with "/", one leading "/".
QUrl joinPath(const QUrl &base, const QString &path);

// Strict URL parse: the empty string and anything QUrl rejects in strict mode
// are not URLs.
std::optional<QUrl> parseUrl(const QString &text);

}  // namespace ServiceEndpoints

namespace RequestBodyEncoder {
// Pretty-printed JSON with keys sorted at every level; callers leave absent
// optional members out of the object.
QByteArray encode(const QJsonObject &object);
}  // namespace RequestBodyEncoder
