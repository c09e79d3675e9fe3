#pragma once

#include <QString>

#include <optional>

// Symbol names (the catalog's symbolName and the views' names) to code points
// of the icon font the launcher compiles in: one table for the views and for
// whatever draws an app's tile without them.
namespace SymbolCodePoints {

// The glyph for symbolName; nullopt for a name the table does not know.
std::optional<char16_t> codePoint(const QString &symbolName);
// What an unknown name shows: "apps", a neutral grid of dots.
inline constexpr char16_t fallback = 0xe5c3;

}  // namespace SymbolCodePoints
