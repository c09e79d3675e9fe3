#include "LanguageRefresh.h"

#include "store/LauncherStore.h"

#include <QQmlEngine>

void refreshViewsOnLanguageChange(LauncherStore *store, QQmlEngine *engine)
{
    QObject::connect(store, &LauncherStore::localeChanged, engine, &QQmlEngine::retranslate);
}
