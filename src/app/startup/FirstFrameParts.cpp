#include "FirstFrameParts.h"

#include <QCoreApplication>
#include <QMap>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>

namespace {

// A named object by its name, else by its type.
QString partName(const QObject *object)
{
    return object->objectName().isEmpty() ? ObjectCensus::typeName(object) : object->objectName();
}

QObject *viewOf(QObject *rootView, const char *property)
{
    return rootView ? rootView->property(property).value<QObject *>() : nullptr;
}

}  // namespace

namespace FirstFrameParts {

QList<ObjectCensus::Part> of(QQuickWindow *mainWindow, QObject *scenes, QObject *store)
{
    QList<ObjectCensus::Part> parts;
    QObject *rootView = mainWindow ? mainWindow->property("rootView").value<QObject *>() : nullptr;
    QObject *onboarding = viewOf(rootView, "onboarding");
    if (const auto *grid = onboarding ? onboarding->findChild<QQuickItem *>(QStringLiteral("onboardingGrid")) : nullptr) {
        ObjectCensus::Part cards{QStringLiteral("onboarding-cards"), {}};
        if (const auto *content = grid->property("contentItem").value<QQuickItem *>()) {
            for (const QQuickItem *card : content->childItems())
                cards.roots.append(card);
        }
        cards.name += QStringLiteral("(%1)").arg(cards.roots.size());
        parts.append(cards);
    }
    parts.append({QStringLiteral("onboarding"), {onboarding}});
    parts.append({QStringLiteral("library"), {viewOf(rootView, "shell")}});
    if (rootView) {
        // One part per name: the root view's shortcuts, say, together.
        QMap<QString, QList<const QObject *>> children;
        for (const QObject *child : rootView->children())
            children[QStringLiteral("root-view/") + partName(child)].append(child);
        for (auto child = children.cbegin(); child != children.cend(); ++child)
            parts.append({child.key(), child.value()});
    }
    parts.append({QStringLiteral("root-view"), {rootView}});
    parts.append({QStringLiteral("main-window"), {mainWindow}});
    parts.append({QStringLiteral("scenes"), {scenes}});
    parts.append({QStringLiteral("store"), {store}});
    parts.append({QStringLiteral("engine"), {scenes ? qmlEngine(scenes) : nullptr}});
    parts.append({QStringLiteral("application"), {QCoreApplication::instance()}});
    return parts;
}

}  // namespace FirstFrameParts
