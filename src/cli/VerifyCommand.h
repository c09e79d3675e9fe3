#pragma once

#include "install/BundleVerification.h"

#include <QJsonObject>

// What `vantrel verify --json` prints of one app; `vantrel repair --json` prints the same before it repairs.
QJsonObject verificationJson(const QString &appId, const BundleVerification &result);
