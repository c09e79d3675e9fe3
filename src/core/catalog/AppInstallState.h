#pragma once

#include "i18n/VantrelLocale.h"

#include <QByteArray>
#include <QJsonObject>
#include <QMetaType>
#include <QObject>
#include <QString>

namespace InstallStateKinds {
Q_NAMESPACE
// The cases, in declaration order; their names are the coded form's keys.
enum class Kind { notInstalled, installing, installed, updateAvailable, failed };
Q_ENUM_NS(Kind)
}  // namespace InstallStateKinds

// One app's state on this machine. Readable from QML as a gadget: `kind` is
// the case (InstallState.failed in the views); the payload members are empty
// / 0 when the case has none.
class AppInstallState
{
    Q_GADGET
    Q_PROPERTY(Kind kind READ kind CONSTANT)
    Q_PROPERTY(double progress READ progress CONSTANT)
    Q_PROPERTY(QString version READ version CONSTANT)
    Q_PROPERTY(QString installedVersion READ installedVersion CONSTANT)
    Q_PROPERTY(QString latestVersion READ latestVersion CONSTANT)
    Q_PROPERTY(QString message READ message CONSTANT)
    // The version of the copy on disk, whatever the case: installed, update
    // available, or failed with the installed copy kept.
    Q_PROPERTY(QString installedCopyVersion READ installedCopyVersion CONSTANT)
public:
    using Kind = InstallStateKinds::Kind;

    AppInstallState() = default;  // notInstalled

    static AppInstallState notInstalled();
    static AppInstallState installing(double progress);
    static AppInstallState installed(const QString &version);
    static AppInstallState updateAvailable(const QString &installedVersion, const QString &latestVersion);
    // keptVersion: the installed copy a failed update or reinstall left in place.
    static AppInstallState failed(const QString &message, const QString &keptVersion = QString());

    Kind kind() const { return m_kind; }
    QString kindName() const;
    double progress() const { return m_progress; }
    QString version() const { return m_kind == Kind::installed ? m_first : QString(); }
    QString installedVersion() const { return m_kind == Kind::updateAvailable ? m_first : QString(); }
    QString latestVersion() const { return m_kind == Kind::updateAvailable ? m_second : QString(); }
    QString message() const { return m_kind == Kind::failed ? m_first : QString(); }
    QString installedCopyVersion() const;
    bool hasInstalledCopy() const { return !installedCopyVersion().isEmpty(); }

    // The label in the installed language.
    Q_INVOKABLE QString label() const;
    // The label, and after a failure that kept the installed copy, which
    // version is still installed ("Failed · Installed 1.0.0").
    Q_INVOKABLE QString fullLabel() const;

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
