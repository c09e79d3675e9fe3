#include "ObjectCensus.h"

#include <QHash>
#include <QMap>
#include <QObject>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QSet>

#include <mutex>

// Qt's hook table (qhooks_p.h, a private header Debian does not ship); the
// layout is fixed, as debuggers depend on it.
extern Q_CORE_EXPORT quintptr qtHookData[];

namespace {

enum HookIndex { AddQObject = 3, RemoveQObject = 4 };

// Objects are made and destroyed on the engine's loader thread and the network's too.
std::mutex aliveLock;
QSet<QObject *> *alive = nullptr;

void added(QObject *object)
{
    const std::lock_guard lock(aliveLock);
    alive->insert(object);
}

void removed(QObject *object)
{
    const std::lock_guard lock(aliveLock);
    alive->remove(object);
}

// Up by parent; a view's delegates have none but their parent item, a
// window's root item its window.
const QObject *above(const QObject *object)
{
    if (object->parent())
        return object->parent();
    if (const auto *item = qobject_cast<const QQuickItem *>(object))
        return item->parentItem() ? static_cast<const QObject *>(item->parentItem()) : item->window();
    return nullptr;
}

// A pop-up's own item hangs from the overlay (or nothing, closed); it holds
// the pop-up's content and background.
const QObject *popupItemOf(const QObject *root)
{
    if (!root->inherits("QQuickPopup"))
        return nullptr;
    const auto *content = root->property("contentItem").value<QQuickItem *>();
    return content ? content->parentItem() : nullptr;
}

}  // namespace

namespace ObjectCensus {

void start()
{
    if (alive)
        return;
    alive = new QSet<QObject *>;  // lives as long as the hooks
    qtHookData[AddQObject] = reinterpret_cast<quintptr>(&added);
    qtHookData[RemoveQObject] = reinterpret_cast<quintptr>(&removed);
}

bool started()
{
    return alive != nullptr;
}

QString typeName(const QObject *object)
{
    static const QRegularExpression qmlSuffix(QStringLiteral("_QML(TYPE)?_\\d+$"));
    return QString::fromLatin1(object->metaObject()->className()).remove(qmlSuffix);
}

QList<Share> shares(const QList<Part> &parts)
{
    QList<Share> result;
    QHash<const QObject *, qsizetype> partOf;
    for (const Part &part : parts) {
        for (const QObject *root : part.roots) {
            if (!root)
                continue;
            partOf.insert(root, result.size());
            if (const QObject *popupItem = popupItemOf(root))
                partOf.insert(popupItem, result.size());
        }
        result.append({part.name, 0});
    }
    if (!alive)
        return result;
    // The rest by the class of the topmost object above them.
    QMap<QString, qsizetype> others;
    {
        // Held throughout, so no object is freed while its parents are read.
        const std::lock_guard lock(aliveLock);
        for (const QObject *object : std::as_const(*alive)) {
            const QObject *top = object;
            qsizetype share = -1;
            for (const QObject *at = object; at && share < 0; at = above(at)) {
                share = partOf.value(at, -1);
                top = at;
            }
            if (share >= 0)
                ++result[share].objects;
            else
                ++others[QStringLiteral("other/") + typeName(top)];
        }
    }
    for (auto other = others.cbegin(); other != others.cend(); ++other)
        result.append({other.key(), other.value()});
    return result;
}

}  // namespace ObjectCensus
