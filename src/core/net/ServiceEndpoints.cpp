#include "ServiceEndpoints.h"

#include "system/SystemLayers.h"

#include <QJsonDocument>
#include <QProcessEnvironment>

namespace ServiceEndpoints {

std::optional<QUrl> parseUrl(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    return url;
}

QUrl builtInServiceBaseURL()
{
    return QUrl(QStringLiteral("http://127.0.0.1:8787"));
}

QUrl configuredURL(const QString &variable, const QString &propertyKey, const AppProperties &properties,
                   const QUrl &builtIn)
{
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (env.contains(variable)) {
        if (auto url = parseUrl(env.value(variable)))
            return *url;
    }
    const QVariant property = properties.value(propertyKey);
    if (property.typeId() == QMetaType::QString) {
        if (auto url = parseUrl(property.toString()))
            return *url;
    }
    return builtIn;
}

QUrl serviceBaseURL(const AppProperties &properties)
{
    return configuredURL(QStringLiteral("VANTREL_API_URL"), QStringLiteral("VantrelAPIURL"), properties,
                         builtInServiceBaseURL());
}

namespace {
QString trimSlashes(const QString &path)
{
    int start = 0;
    int end = path.size();
    while (start < end && path.at(start) == QLatin1Char('/'))
        ++start;
    while (end > start && path.at(end - 1) == QLatin1Char('/'))
        --end;
    return path.mid(start, end - start);
}
}  // namespace

QUrl joinPath(const QUrl &base, const QString &path)
{
    QStringList parts;
    const QString basePath = trimSlashes(base.path());
    const QString extra = trimSlashes(path);
    if (!basePath.isEmpty())
        parts.append(basePath);
    if (!extra.isEmpty())
        parts.append(extra);
    QUrl url = base;
    url.setPath(QLatin1Char('/') + parts.join(QLatin1Char('/')));
    return url;
}

}  // namespace ServiceEndpoints

namespace RequestBodyEncoder {

QByteArray encode(const QJsonObject &object)
{
    // QJsonObject keeps its keys sorted, at every level.
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

}  // namespace RequestBodyEncoder
