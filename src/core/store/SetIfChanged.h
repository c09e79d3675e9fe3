#pragma once

#include <QObject>
#include <utility>

// Assigns value to member and emits the owner's change signal, only when the
// value really differs. True when it changed, for callers with follow-up work.
template <typename Owner, typename T, typename U>
bool setIfChanged(Owner *owner, T &member, U &&value, void (Owner::*changed)())
{
    if (member == value)
        return false;
    member = std::forward<U>(value);
    Q_EMIT (owner->*changed)();
    return true;
}
