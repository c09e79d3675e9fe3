#pragma once

#include "store/LauncherStore.h"

#include <QtQml/qqml.h>

// Makes the store's type known to QML so views can declare `LauncherStore store`.
struct LauncherStoreForeign {
    Q_GADGET
    QML_FOREIGN(LauncherStore)
    QML_NAMED_ELEMENT(LauncherStore)
    QML_UNCREATABLE("The application creates the one store.")
};

// Cancel, remove, roll back and update all (store.manage).
struct AppManagementForeign {
    Q_GADGET
    QML_FOREIGN(AppManagement)
    QML_ANONYMOUS
};
