#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The feedback service's answer on failure: {"error": text, "message": text?}.
namespace FeedbackErrorBody {

// The text to show: message when it is there and not blank, else error.
// nullopt when the body is not of that form or both texts are blank.
std::optional<QString> displayText(const QByteArray &json);

}  // namespace FeedbackErrorBody
