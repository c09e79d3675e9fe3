#pragma once

#include <QLoggingCategory>

// The window and its desktop session: QML that failed to load, the scene
// graph chosen, the tray, notifications, Ctrl+K and the one-instance guard.
Q_DECLARE_LOGGING_CATEGORY(lcUi)
