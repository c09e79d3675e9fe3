#include "LauncherError.h"

const char *LauncherError::what() const noexcept
{
    m_what = localizedDescription().toUtf8();
    return m_what.constData();
}

PlatformError::PlatformError(Domain domain, QString message, int code)
    : m_domain(domain), m_message(std::move(message)), m_code(code)
{
}

QString PlatformError::debugDescription() const
{
    const char *name = "platform";
    switch (m_domain) {
    case Domain::network: name = "network"; break;
    case Domain::fileSystem: name = "fileSystem"; break;
    case Domain::archive: name = "archive"; break;
    case Domain::process: name = "process"; break;
    case Domain::encoding: name = "encoding"; break;
    }
    return QStringLiteral("%1(code: %2, message: %3)")
        .arg(QLatin1String(name))
        .arg(m_code)
        .arg(debugQuoted(m_message));
}

QString DecodingError::debugDescription() const
{
    return QStringLiteral("decodingError(%1)").arg(debugQuoted(m_message));
}

QString debugQuoted(const QString &value)
{
    QString escaped = value;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}
