#pragma once

class LauncherStore;
class QQmlEngine;

// Redraws every view of the engine when the store's language changes. The
// store has swapped the translations by then, so each qsTrId binding reads
// the new language at once, without a restart.
void refreshViewsOnLanguageChange(LauncherStore *store, QQmlEngine *engine);
