#pragma once

// Small interfaces over what the operating system provides. src/platform holds
// the real implementations; tests substitute any of them.

#include "OperatingSystemVersion.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <atomic>
#include <functional>
#include <optional>

// The running system's version (macOS: its real version; Linux: the kernel
// release's numbers).
class SystemVersionProvider
{
public:
    virtual ~SystemVersionProvider() = default;
    virtual OperatingSystemVersion operatingSystemVersion() const = 0;
};

// The user's preferred system language identifier ("de-DE"), if any.
class SystemLanguageProvider
{
public:
    virtual ~SystemLanguageProvider() = default;
    virtual std::optional<QString> preferredLanguage() const = 0;
};

// Values of the application's information property list ("VantrelManifestURL",
// "VantrelAPIURL", "CFBundleShortVersionString"). Invalid QVariant when absent.
class AppProperties
{
public:
    virtual ~AppProperties() = default;
    virtual QVariant value(const QString &key) const = 0;
};

// Key-value store with data blobs and string arrays.
class UserDefaults
{
public:
    virtual ~UserDefaults() = default;
    // Invalid QVariant when absent; a QByteArray for a data blob; a QStringList
    // for a string array; anything else for a value of another type.
    virtual QVariant object(const QString &key) const = 0;
    virtual void setData(const QString &key, const QByteArray &data) = 0;
    virtual void setStringArray(const QString &key, const QStringList &values) = 0;
    virtual void removeObject(const QString &key) = 0;

    // Runs step as one change no other process interleaves with: what step
    // reads is what is stored now, and what it writes is stored before the
    // next process may read. In memory there is no one to interleave with.
    virtual void change(const std::function<void(UserDefaults &)> &step) { step(*this); }
    // The file the values live in, for watching changes made elsewhere; empty when none.
    virtual QString storagePath() const { return {}; }
};

// Why a bundle that is there cannot be started: what is wrong with the
// program its Info.plist names. Such a bundle is damaged, not gone.
struct LaunchProblem {
    enum class Kind {
        programMissing,  // no file where the program should be
        notExecutable,   // there, but without its execute bit
        unreadable,      // there, but it cannot be read
        programUnnamed,  // the Info.plist names no program the bundle holds
    };
    Kind kind = Kind::programMissing;
    QByteArray path;  // below the bundle ("Contents/MacOS/Inkwell", "Contents/Info.plist")
};

// Opens applications and finds them by bundle identifier.
class Workspace
{
public:
    virtual ~Workspace() = default;
    // Starts the application bundle at url; false when it cannot be launched.
    virtual bool openApplication(const QUrl &bundleUrl) = 0;
    // Location of an application with this bundle identifier, if any is known.
    virtual std::optional<QUrl> urlForApplication(const QString &bundleIdentifier) const = 0;
    // Whether the bundle at url could be started at all (for example, its
    // executable is a plain name inside the bundle). A bundle that cannot is
    // treated as missing.
    virtual bool canOpenApplication(const QUrl &bundleUrl) const
    {
        Q_UNUSED(bundleUrl);
        return true;
    }
    // What keeps the bundle at url, which is there, from being started;
    // nullopt when nothing does, or nothing is known.
    virtual std::optional<LaunchProblem> launchProblem(const QUrl &bundleUrl) const
    {
        Q_UNUSED(bundleUrl);
        return std::nullopt;
    }
};

// Whether downloads cost the user by the byte (a phone's hotspot, a metered
// plan); nullopt where the system cannot tell.
class NetworkCost
{
public:
    virtual ~NetworkCost() = default;
    virtual std::optional<bool> isMetered() const = 0;
};

// Reads a bundle's Contents/Info.plist (XML or binary).
class BundleInspector
{
public:
    virtual ~BundleInspector() = default;
    virtual std::optional<QString> bundleIdentifier(const QString &bundlePath) const = 0;
    virtual std::optional<QString> executableName(const QString &bundlePath) const = 0;
};
