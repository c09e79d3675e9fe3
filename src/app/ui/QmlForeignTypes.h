#pragma once

#include "i18n/CopyLookup.h"
#include "store/LauncherStore.h"

#include <QtQml/qqml.h>

// Makes the store's type known to QML so views can declare `LauncherStore store`.
struct LauncherStoreForeign {
    Q_GADGET
    QML_FOREIGN(LauncherStore)
    QML_NAMED_ELEMENT(LauncherStore)
    QML_UNCREATABLE("The application creates the one store.")
};

// The store's text lookup (store.copy), known to QML by its methods only.
struct CopyLookupForeign {
    Q_GADGET
    QML_FOREIGN(CopyLookup)
    QML_ANONYMOUS
};

// Cancel, remove, roll back and update all (store.manage).
struct AppManagementForeign {
    Q_GADGET
    QML_FOREIGN(AppManagement)
    QML_ANONYMOUS
};
