#pragma once

#include <QString>
#include <QUrl>

// An app's copy as an install placed it (or a roll back put it back).
struct InstalledApp {
    QUrl url;         // file URL of the placed bundle
    QString version;  // the catalog entry's version, unchanged

    friend bool operator==(const InstalledApp &, const InstalledApp &) = default;
};
