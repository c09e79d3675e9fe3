#include "AppInstallState.h"

#include "codec/EnumNames.h"
#include "errors/LauncherError.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>
#include <cmath>

AppInstallState AppInstallState::notInstalled()
{
    return {};
}

AppInstallState AppInstallState::installing(double progress)
{
    AppInstallState state;
    state.m_kind = Kind::installing;
    // Progress is always finite; anything else counts as not started.
    state.m_progress = std::isfinite(progress) ? progress : 0.0;
    return state;
}

AppInstallState AppInstallState::installed(const QString &version)
{
    AppInstallState state;
    state.m_kind = Kind::installed;
    state.m_first = version;
    return state;
}

AppInstallState AppInstallState::updateAvailable(const QString &installedVersion, const QString &latestVersion)
{
    AppInstallState state;
    state.m_kind = Kind::updateAvailable;
    state.m_first = installedVersion;
    state.m_second = latestVersion;
    return state;
}

AppInstallState AppInstallState::failed(const QString &message, const QString &keptVersion)
{
    AppInstallState state;
    state.m_kind = Kind::failed;
    state.m_first = message;
    state.m_second = keptVersion;
    return state;
}

QString AppInstallState::installedCopyVersion() const
{
    switch (m_kind) {
    case Kind::installed:
    case Kind::updateAvailable:
        return m_first;
    case Kind::failed:
        return m_second;
    default:
        return {};
    }
}

QString AppInstallState::kindName() const
{
    return EnumNames::name(m_kind);
}

namespace {

// progress x 100 truncated toward zero, kept within 0...100.
QString wholePercent(double progress)
{
    const double percent = std::trunc(progress * 100.0);
    if (!(percent > 0))
        return QStringLiteral("0");
    if (percent >= 100)
        return QStringLiteral("100");
    return QString::number(qint64(percent));
}

}  // namespace

QString AppInstallState::label() const
{
    switch (m_kind) {
    case Kind::notInstalled:
        return qtTrId("installNotInstalled");
    case Kind::installing:
        return qtTrId("installInstalling").arg(wholePercent(m_progress));
    case Kind::installed:
        return qtTrId("installInstalled").arg(m_first);
    case Kind::updateAvailable:
        return qtTrId("installUpdateAvailable").arg(m_first, m_second);
    case Kind::failed:
        return qtTrId("installFailed");
    }
    return {};
}

QString AppInstallState::fullLabel() const
{
    if (m_kind == Kind::failed && hasInstalledCopy())
        return label() + QStringLiteral(" · ") + installed(m_second).label();
    return label();
}

QJsonObject AppInstallState::toJson() const
{
    QJsonObject payload;
    switch (m_kind) {
    case Kind::notInstalled:
        break;
    case Kind::installing:
        payload.insert(QStringLiteral("progress"), m_progress);
        break;
    case Kind::installed:
        payload.insert(QStringLiteral("version"), m_first);
        break;
    case Kind::updateAvailable:
        payload.insert(QStringLiteral("installedVersion"), m_first);
        payload.insert(QStringLiteral("latestVersion"), m_second);
        break;
    case Kind::failed:
        payload.insert(QStringLiteral("message"), m_first);
        // Only where a copy was kept, so the coded form of other failures stays as it was.
        if (!m_second.isEmpty())
            payload.insert(QStringLiteral("installedVersion"), m_second);
        break;
    }
    return QJsonObject{{kindName(), payload}};
}

QByteArray AppInstallState::encoded() const
{
    return QJsonDocument(toJson()).toJson(QJsonDocument::Compact);
}

namespace {

QString payloadString(const QJsonObject &payload, const QString &caseName, const QString &key)
{
    const QJsonValue value = payload.value(key);
    if (value.isUndefined())
        throw DecodingError(QStringLiteral("%1: missing key \"%2\"").arg(caseName, key));
    if (!value.isString())
        throw DecodingError(QStringLiteral("%1.%2: expected a string").arg(caseName, key));
    return value.toString();
}

}  // namespace

AppInstallState AppInstallState::fromJson(const QJsonObject &object)
{
    std::optional<Kind> found;
    int count = 0;
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (const auto kind = EnumNames::fromName<Kind>(it.key())) {
            ++count;
            found = kind;
        }
    }
    if (count != 1 || !found)
        throw DecodingError(QStringLiteral("Invalid number of keys found, expected one."));

    const QString caseName = EnumNames::name(*found);
    const QJsonValue value = object.value(caseName);
    if (!value.isObject())
        throw DecodingError(QStringLiteral("%1: expected an object").arg(caseName));
    const QJsonObject payload = value.toObject();

    switch (*found) {
    case Kind::notInstalled:
        return notInstalled();
    case Kind::installing: {
        const QJsonValue progress = payload.value(QStringLiteral("progress"));
        if (progress.isUndefined())
            throw DecodingError(QStringLiteral("installing: missing key \"progress\""));
        if (!progress.isDouble())
            throw DecodingError(QStringLiteral("installing.progress: expected a number"));
        return installing(progress.toDouble());
    }
    case Kind::installed:
        return installed(payloadString(payload, caseName, QStringLiteral("version")));
    case Kind::updateAvailable:
        return updateAvailable(payloadString(payload, caseName, QStringLiteral("installedVersion")),
                               payloadString(payload, caseName, QStringLiteral("latestVersion")));
    case Kind::failed: {
        const QJsonValue kept = payload.value(QStringLiteral("installedVersion"));
        return failed(payloadString(payload, caseName, QStringLiteral("message")), kept.isString() ? kept.toString() : QString());
    }
    }
    throw DecodingError(QStringLiteral("Invalid number of keys found, expected one."));
}

AppInstallState AppInstallState::decode(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw DecodingError(QStringLiteral("invalid JSON at offset %1: %2").arg(error.offset).arg(error.errorString()));
    if (!document.isObject())
        throw DecodingError(QStringLiteral("expected a JSON object"));
    return fromJson(document.object());
}
