#pragma once

// Geometry faults of a laid-out view: what a look at a screenshot would have to catch, found by walking the items.

#include <QQuickItem>
#include <QStringList>

#include <functional>

namespace LayoutSweep {

// The shown items under `root` (hidden subtrees skipped) that `wanted` accepts, in tree order.
QList<QQuickItem *> shownItems(QQuickItem *root, const std::function<bool(const QQuickItem *)> &wanted);

bool isText(const QQuickItem *item);
bool isControl(const QQuickItem *item);

// Texts and controls under `root` that run past their card (a VantrelCard) or out of the window, where no view
// scrolls them into it, and texts wrapped into lines of fewer than about 12 characters. One line each.
QStringList faults(QQuickItem *root);

}  // namespace LayoutSweep
