#pragma once

#include "store/UpdateBatch.h"

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// The line under "Update all", worded from each failure's kind in the view's
// language. The store's own summary quotes the installer's descriptions,
// which are fixed English and name both digests of a checksum mismatch in
// full; a summary for people says what went wrong instead.
class SummaryText : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    explicit SummaryText(QObject *parent = nullptr) : QObject(parent) {}

    // Views pass the language so they redraw on a change; the installed
    // translator speaks it.
    Q_INVOKABLE QString summary(const UpdateBatchResult &updates, const QString &language) const;
    // Why one app was not updated, in the installed language.
    static QString failureWords(const UpdateBatch::Failure &failure);
};
