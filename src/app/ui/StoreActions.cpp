#include "StoreActions.h"

#include "store/LauncherStore.h"

StoreActions::StoreActions(QObject *parent) : QObject(parent) {}

void StoreActions::resetFeedbackState(LauncherStore *store) const
{
    if (store)
        store->setFeedbackState(FeedbackSubmissionState::idle());
}
