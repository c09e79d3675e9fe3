#pragma once

#include <QObject>
#include <QtQml/qqmlregistration.h>

#include "store/LauncherStore.h"

// Store operations the views need that the store exposes only to C++.
class StoreActions : public QObject
{
    Q_OBJECT
    QML_NAMED_ELEMENT(StoreActions)
    QML_SINGLETON

public:
    explicit StoreActions(QObject *parent = nullptr);

    // feedbackState becomes idle (the feedback button and the sheet's close).
    Q_INVOKABLE void resetFeedbackState(LauncherStore *store) const;
};
