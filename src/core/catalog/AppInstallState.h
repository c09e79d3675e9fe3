#pragma once

#include "i18n/VantrelLocale.h"

#include <QByteArray>
#include <QJsonObject>
#include <QMetaType>
#include <QObject>
#include <QString>

// One app's state on this machine. Readable from QML as a gadget: `kind` is the
// case name; the payload members are empty / 0 when the case has none.
class AppInstallState
{
    Q_GADGET
    Q_PROPERTY(QString kind READ kindName CONSTANT)
    Q_PROPERTY(double progress READ progress CONSTANT)
    Q_PROPERTY(QString version READ version CONSTANT)
    Q_PROPERTY(QString installedVersion READ installedVersion CONSTANT)
    Q_PROPERTY(QString latestVersion READ latestVersion CONSTANT)
    Q_PROPERTY(QString message READ message CONSTANT)
public:
    enum class Kind { notInstalled, installing, installed, updateAvailable, failed };
    Q_ENUM(Kind)

    AppInstallState() = default;  // notInstalled

    static AppInstallState notInstalled();
    static AppInstallState installing(double progress);
    static AppInstallState installed(const QString &version);
    static AppInstallState updateAvailable(const QString &installedVersion, const QString &latestVersion);
    static AppInstallState failed(const QString &message);

    Kind kind() const { return m_kind; }
    QString kindName() const;
    double progress() const { return m_progress; }
    QString version() const { return m_kind == Kind::installed ? m_first : QString(); }
    QString installedVersion() const { return m_kind == Kind::updateAvailable ? m_first : QString(); }
    QString latestVersion() const { return m_kind == Kind::updateAvailable ? m_second : QString(); }
    QString message() const { return m_kind == Kind::failed ? m_first : QString(); }

    bool isInstalledOrUpdatable() const { return m_kind == Kind::installed || m_kind == Kind::updateAvailable; }

    // The label in the installed language.
    Q_INVOKABLE QString label() const;

    // Coded form: {"installed": {"version": "1.2"}} and so on.
    QJsonObject toJson() const;
    QByteArray encoded() const;
    // Throws DecodingError ("Invalid number of keys found, expected one." and others).
    static AppInstallState fromJson(const QJsonObject &object);
    static AppInstallState decode(const QByteArray &json);

    friend bool operator==(const AppInstallState &a, const AppInstallState &b)
    {
        return a.m_kind == b.m_kind && a.m_progress == b.m_progress && a.m_first == b.m_first
            && a.m_second == b.m_second;
    }

private:
    Kind m_kind = Kind::notInstalled;
    double m_progress = 0;
    QString m_first;
    QString m_second;
};

Q_DECLARE_METATYPE(AppInstallState)
