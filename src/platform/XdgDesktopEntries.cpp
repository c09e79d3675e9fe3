#include "XdgDesktopEntries.h"

#include "DesktopEntryText.h"
#include "DesktopIcons.h"
#include "LinuxWorkspace.h"
#include "PlatformLogging.h"
#include "PlistBundleInspector.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImageWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// An entry is a few hundred bytes; the user's own may be larger, but not this.
constexpr qint64 maxEntryBytes = 256 * 1024;

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(maxEntryBytes);
}

bool saveWhole(const QString &path, const std::function<bool(QIODevice &)> &fill)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !fill(file)) {
        file.cancelWriting();
        return false;
    }
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return file.commit();
}

// The window class the bundle names, when it is a plain one.
QString startupWmClass(const QString &bundlePath)
{
    const QString value = PlistBundleInspector::stringValue(bundlePath, "VantrelStartupWMClass").value_or(QString());
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9._-]{1,128}$"));
    return plain.match(value).hasMatch() ? value : QString();
}

}  // namespace

XdgDesktopEntries::XdgDesktopEntries(std::shared_ptr<const LinuxWorkspace> workspace, QString dataHome)
    : m_workspace(std::move(workspace)), m_dataHome(std::move(dataHome))
{
}

QString XdgDesktopEntries::defaultDataHome()
{
    // $XDG_DATA_HOME when set, else ~/.local/share.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString XdgDesktopEntries::entryPath(const QString &fileId)
{
    return QStringLiteral("applications/") + fileId + QStringLiteral(".desktop");
}

QString XdgDesktopEntries::iconPath(const QString &fileId, int size)
{
    return QStringLiteral("icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(fileId);
}

std::optional<XdgDesktopEntries::Planned> XdgDesktopEntries::plan(const DesktopApp &app) const
{
    const std::optional<QString> executable = m_workspace ? m_workspace->executablePath(app.bundlePath) : std::nullopt;
    if (!executable)
        return std::nullopt;
    const QString fileId = DesktopEntryText::fileId(app.app.bundleId, app.app.id);
    DesktopEntryText::Fields fields;
    fields.name = app.app.name;
    fields.comment = app.app.tagline;
    fields.keywords = app.app.tags;
    fields.executable = *executable;
    fields.workingFolder = app.bundlePath;
    fields.icon = fileId;
    fields.category = app.app.category;
    fields.startupWmClass = startupWmClass(app.bundlePath);
    fields.version = app.installedVersion;
    const std::optional<QByteArray> entry = DesktopEntryText::entry(fields);
    if (!entry) {
        qCWarning(lcPlatform) << "No desktop entry for" << app.app.id << "- its executable's name cannot be written in one";
        return std::nullopt;
    }
    return Planned{fileId, *entry};
}

XdgDesktopEntries::Owner XdgDesktopEntries::owner(const QString &fileId) const
{
    const QString path = full(entryPath(fileId));
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return Owner::nobody;
    // A link or anything but a small regular file is nothing the launcher wrote.
    if (info.isSymLink() || !info.isFile() || info.size() > maxEntryBytes)
        return Owner::user;
    return DesktopEntryText::isMarked(contentOf(path)) ? Owner::launcher : Owner::user;
}

bool XdgDesktopEntries::iconsComplete(const QString &fileId) const
{
    for (const int size : DesktopIcons::sizes) {
        if (!QFileInfo(full(iconPath(fileId, size))).isFile())
            return false;
    }
    return true;
}

bool XdgDesktopEntries::writeIcons(const DesktopApp &app, const QString &fileId)
{
    const QImage own = DesktopIcons::bundleIcon(app.bundlePath);
    bool written = true;
    for (const int size : DesktopIcons::sizes) {
        const QImage picture = own.isNull() ? DesktopIcons::drawnIcon(app.app.accent, size) : DesktopIcons::atSize(own, size);
        written &= saveWhole(full(iconPath(fileId, size)), [&picture](QIODevice &out) {
            QImageWriter writer(&out, "png");
            return writer.write(picture);
        });
    }
    return written;
}

bool XdgDesktopEntries::write(const DesktopApp &app, const Planned &planned, bool icons)
{
    if (owner(planned.fileId) == Owner::user) {
        if (!m_toldUserOwned.contains(planned.fileId)) {
            m_toldUserOwned.insert(planned.fileId);
            qCWarning(lcPlatform).noquote() << "Desktop entry" << planned.fileId + QStringLiteral(".desktop")
                                            << "was not written by the launcher (no" << DesktopEntryText::markKey
                                            << "key); it is left as it is";
        }
        return false;
    }
    // Icons first: an entry never names an icon that is not there yet.
    bool written = !icons || writeIcons(app, planned.fileId);
    written &= saveWhole(full(entryPath(planned.fileId)), [&planned](QIODevice &out) {
        return out.write(planned.entry) == planned.entry.size();
    });
    if (!written)
        qCWarning(lcPlatform) << "The desktop entry or an icon of" << app.app.id << "could not be written";
    return true;
}

bool XdgDesktopEntries::removeFiles(const QString &fileId)
{
    bool removed = false;
    if (owner(fileId) == Owner::launcher)
        removed |= QFile::remove(full(entryPath(fileId)));
    if (owner(fileId) == Owner::user)
        return removed;  // its icons may be what the user's entry shows
    for (const int size : DesktopIcons::sizes)
        removed |= QFile::remove(full(iconPath(fileId, size)));
    return removed;
}

QSet<QString> XdgDesktopEntries::idsOnDisk() const
{
    QSet<QString> ids;
    const QStringList prefixes{QLatin1String(DesktopEntryText::idPrefix), QLatin1String(DesktopEntryText::legacyIdPrefix)};
    const auto named = [&prefixes](const QString &suffix) {
        QStringList patterns;
        for (const QString &prefix : prefixes)
            patterns.append(prefix + QLatin1Char('*') + suffix);
        return patterns;
    };
    for (const QString &name : QDir(full(QStringLiteral("applications"))).entryList(named(QStringLiteral(".desktop")), QDir::Files | QDir::System))
        ids.insert(name.chopped(int(qstrlen(".desktop"))));
    for (const int size : DesktopIcons::sizes) {
        const QDir folder(full(QStringLiteral("icons/hicolor/%1x%1/apps").arg(size)));
        for (const QString &name : folder.entryList(named(QStringLiteral(".png")), QDir::Files | QDir::System))
            ids.insert(name.chopped(int(qstrlen(".png"))));
    }
    return ids;
}

bool XdgDesktopEntries::removeAllBut(const QSet<QString> &wanted)
{
    bool removed = false;
    for (const QString &id : idsOnDisk()) {
        if (!wanted.contains(id))
            removed |= removeFiles(id);
    }
    return removed;
}

void XdgDesktopEntries::sync(const QList<DesktopApp> &apps)
{
    bool changed = false;
    QSet<QString> wanted;
    for (const DesktopApp &app : apps) {
        const std::optional<Planned> planned = plan(app);
        if (!planned)
            continue;
        wanted.insert(planned->fileId);
        const bool entryCurrent = contentOf(full(entryPath(planned->fileId))) == planned->entry;
        if (entryCurrent && iconsComplete(planned->fileId))
            continue;
        // A new version may bring a new icon: the icons follow the entry.
        changed |= write(app, *planned, true);
    }
    // Files under an earlier name are never wanted: the entry just written replaces them.
    changed |= removeAllBut(wanted);
    if (changed)
        refreshCaches();
}

void XdgDesktopEntries::tidy(const QList<DesktopApp> &apps)
{
    bool changed = false;
    QSet<QString> wanted;
    for (const DesktopApp &app : apps) {
        const std::optional<Planned> planned = plan(app);
        if (!planned)
            continue;
        wanted.insert(planned->fileId);
        const QString legacy = DesktopEntryText::legacyFileId(app.app.bundleId, app.app.id);
        if (owner(legacy) == Owner::launcher && owner(planned->fileId) == Owner::nobody)
            changed |= write(app, *planned, true);
    }
    changed |= removeAllBut(wanted);
    if (changed)
        refreshCaches();
}

QList<VerificationFinding> XdgDesktopEntries::check(const DesktopApp &app) const
{
    const std::optional<Planned> planned = plan(app);
    if (!planned)
        return {};
    QList<VerificationFinding> findings;
    switch (owner(planned->fileId)) {
    case Owner::user:
        return {};
    case Owner::nobody:
        findings.append({VerificationFinding::Kind::desktopMissing, entryPath(planned->fileId).toUtf8()});
        break;
    case Owner::launcher:
        if (contentOf(full(entryPath(planned->fileId))) != planned->entry)
            findings.append({VerificationFinding::Kind::desktopChanged, entryPath(planned->fileId).toUtf8()});
        break;
    }
    for (const int size : DesktopIcons::sizes) {
        if (!QFileInfo(full(iconPath(planned->fileId, size))).isFile())
            findings.append({VerificationFinding::Kind::desktopMissing, iconPath(planned->fileId, size).toUtf8()});
    }
    return findings;
}

void XdgDesktopEntries::rewrite(const DesktopApp &app)
{
    if (const std::optional<Planned> planned = plan(app); planned && write(app, *planned, true))
        refreshCaches();
}

void XdgDesktopEntries::refreshCaches() const
{
    // Desktops read the folders themselves; a cache only matters where one
    // exists (one made here would hide what other programs add later without
    // refreshing it). Started detached: nobody waits for them.
    const auto refresh = [this](const QString &tool, const QString &cache, QStringList arguments) {
        const QString program = QStandardPaths::findExecutable(tool);
        if (program.isEmpty() || !QFileInfo::exists(full(cache)))
            return;
        QProcess process;
        process.setProgram(program);
        process.setArguments(arguments);
        process.setStandardInputFile(QProcess::nullDevice());
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        process.startDetached();
    };
    refresh(QStringLiteral("update-desktop-database"), QStringLiteral("applications/mimeinfo.cache"),
            {QStringLiteral("-q"), full(QStringLiteral("applications"))});
    refresh(QStringLiteral("gtk-update-icon-cache"), QStringLiteral("icons/hicolor/icon-theme.cache"),
            {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("-f"), full(QStringLiteral("icons/hicolor"))});
}
