#pragma once

#include "StoreSession.h"

#include <QList>
#include <QStringList>
#include <optional>

// What `vantrel` looks at before it changes installed apps: apps running
// from their bundles, and a metered connection. Each returns the status to
// exit with when the command must stop (after printing why), or nullopt to
// go on.
namespace ChangeGuards {

enum class WhenRunning {
    refuse,   // print the running apps and their process ids
    wait,     // --when-closed: wait for them to quit
    restart,  // --restart: ask them to quit, then open them again afterwards
};

// reopen receives the apps to open again once their change is done.
std::optional<int> running(StoreSession &s, const QList<AppManifestItem> &apps, WhenRunning when, const QString &command,
                           QList<AppManifestItem> *reopen = nullptr);

// On a metered connection: a warning naming the size, or with refuse
// (--no-metered) the status to exit with. Nothing where the system cannot tell.
std::optional<int> metered(StoreSession &s, const QList<AppManifestItem> &apps, bool refuse, const QString &command);

}  // namespace ChangeGuards
