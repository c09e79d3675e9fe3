#pragma once

#include <QString>

// A few texts name the machine or its operating system ("this Mac", "menu
// bar", "macOS"). Each has a second message id, "<key>.linux", whose words are
// true on other systems; this is the one place that picks between the two.
namespace PlatformWords {

// The message id to show for key in this build: key itself on macOS, its
// ".linux" twin elsewhere when it has one.
const char *messageId(const char *key);
QString messageId(const QString &key);

}  // namespace PlatformWords
