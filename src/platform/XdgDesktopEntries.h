#pragma once

#include "system/DesktopEntries.h"

#include <QSet>
#include <memory>
#include <optional>

class LinuxWorkspace;

// The installed apps' desktop entries and icons under the user's data folder
// ($XDG_DATA_HOME, else ~/.local/share):
//   applications/vantrel_app.<bundle id>.desktop
//   icons/hicolor/<N>x<N>/apps/vantrel_app.<bundle id>.png  for every size of DesktopIcons::sizes
// (files named vantrel-app.<bundle id> before move over to these names).
// Each file is written whole and renamed into place. An entry without the
// launcher's mark is the user's: it is never written over nor removed (and
// that is logged once), and its app's icons are left as they are.
class XdgDesktopEntries : public DesktopEntries
{
public:
    // workspace resolves each bundle's executable as opening the app does.
    XdgDesktopEntries(std::shared_ptr<const LinuxWorkspace> workspace, QString dataHome = defaultDataHome());

    static QString defaultDataHome();

    void sync(const QList<DesktopApp> &apps) override;
    void tidy(const QList<DesktopApp> &apps) override;
    QList<VerificationFinding> check(const DesktopApp &app) const override;
    void rewrite(const DesktopApp &app) override;

    // Below the data folder.
    static QString entryPath(const QString &fileId);
    static QString iconPath(const QString &fileId, int size);

private:
    struct Planned {
        QString fileId;
        QByteArray entry;
    };
    // What the app's entry says; nullopt when its bundle has no executable
    // that opens (its entry would point at nothing).
    std::optional<Planned> plan(const DesktopApp &app) const;
    enum class Owner { nobody, launcher, user };
    Owner owner(const QString &fileId) const;
    QString full(const QString &relative) const { return m_dataHome + QLatin1Char('/') + relative; }
    bool iconsComplete(const QString &fileId) const;
    // The user's entry is left alone; true when the launcher's files were written.
    bool write(const DesktopApp &app, const Planned &planned, bool icons);
    bool writeIcons(const DesktopApp &app, const QString &fileId);
    bool removeFiles(const QString &fileId);
    // Ids of the launcher's files on disk (entries and icons), under either prefix.
    QSet<QString> idsOnDisk() const;
    // Removes the launcher's files of every id on disk but those wanted; true when any went.
    bool removeAllBut(const QSet<QString> &wanted);
    void refreshCaches() const;

    std::shared_ptr<const LinuxWorkspace> m_workspace;
    QString m_dataHome;
    QSet<QString> m_toldUserOwned;
};
