#pragma once

#include <QJsonValue>
#include <QString>

// How decoding errors name the type of a JSON value: "a string", "an object",
// "null", or "nothing" for a missing one.
QString jsonTypeName(const QJsonValue &value);
