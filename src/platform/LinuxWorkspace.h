#pragma once

#include "system/SystemLayers.h"

#include <QStringList>
#include <memory>

// Opens application bundles by starting <bundle>/Contents/MacOS/<CFBundleExecutable>
// as a detached process (no shell), and finds bundles by identifier in a list
// of search folders (the install root, ~/Applications, /Applications).
class LinuxWorkspace : public Workspace
{
public:
    LinuxWorkspace(std::shared_ptr<const BundleInspector> bundles, QStringList searchRoots);

    // installRoot, then ~/Applications and /Applications.
    static QStringList defaultSearchRoots(const QString &installRoot);

    bool openApplication(const QUrl &bundleUrl) override;
    std::optional<QUrl> urlForApplication(const QString &bundleIdentifier) const override;
    bool canOpenApplication(const QUrl &bundleUrl) const override;
    std::optional<LaunchProblem> launchProblem(const QUrl &bundleUrl) const override;

    // The executable to start for a bundle, or nullopt when the bundle names
    // none, names something other than a plain file name, or the file (after
    // resolving symbolic links) is not an executable inside the bundle.
    std::optional<QString> executablePath(const QString &bundlePath) const;

    const QStringList &searchRoots() const { return m_searchRoots; }

private:
    // The program a bundle names, or what is wrong with it.
    struct Program {
        QString path;
        std::optional<LaunchProblem> problem;
    };
    Program program(const QString &bundlePath) const;

    std::shared_ptr<const BundleInspector> m_bundles;
    QStringList m_searchRoots;
};
