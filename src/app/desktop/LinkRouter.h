#pragma once

#include <QByteArray>
#include <QObject>

class LauncherStore;
class QQuickWindow;

// Follows a launcher link (vantrel://app/<id>, vantrel://search/<terms>) in
// the main window: an app's page, or the library filtered. Only ever shows:
// whatever the link says, nothing is installed, opened or changed. Onboarding
// is left out for this run, as the visitor came for the linked app. A link
// that does not read is refused with a log line and the window shows as on
// any start.
class LinkRouter : public QObject
{
    Q_OBJECT

public:
    LinkRouter(LauncherStore *store, QQuickWindow *mainWindow, QObject *parent = nullptr);

    void follow(const QByteArray &raw);

    // The link among the command line's arguments (the first that is not an
    // option), as raw bytes; empty when there is none.
    static QByteArray linkArgument(int argc, char **argv);
    // What a second start hands to the running launcher: the link written
    // anew when it reads, else nothing (and a log line), which asks for the
    // window alone.
    static QByteArray forHandOver(const QByteArray &raw);

private:
    void showApp(const QString &appId);
    // An app the catalog did not list yet may come with the refresh under way.
    void showPendingApp();

    LauncherStore *m_store;
    QQuickWindow *m_mainWindow;
    QString m_pendingAppId;
    QString m_pendingLine;
};
