#pragma once

// Hosts one view of the launcher's QML module in an offscreen window over a
// store built with substitute collaborators (those of the store tests), and
// drives it with real key and mouse events. The tray panel and the settings
// window's content are hosted on their own, as the application does.

#include "../store/StoreFakes.h"

#include <QDir>
#include <QImage>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QtMath>
#include <memory>

class ViewHost
{
public:
    ViewHost() { m_engine.addImportPath(QStringLiteral("qrc:/qt/qml")); }
    ~ViewHost()
    {
        delete m_root;
        delete m_window;
    }

    QQmlEngine &engine() { return m_engine; }

    // Loads qml/<path> with the given initial properties. An Item goes into a
    // fresh window of `size`; a Window is shown as it is.
    QObject *load(const QString &path, const QVariantMap &properties, QSize size = QSize(1060, 720))
    {
        QQmlComponent component(&m_engine, QUrl(QStringLiteral("qrc:/qt/qml/Vantrel/qml/") + path));
        if (component.isError()) {
            qWarning().noquote() << component.errorString();
            return nullptr;
        }
        QObject *object = component.createWithInitialProperties(properties);
        if (!object) {
            qWarning().noquote() << component.errorString();
            return nullptr;
        }
        m_root = object;
        if (auto *window = qobject_cast<QQuickWindow *>(object)) {
            m_hostWindow = window;
        } else if (auto *item = qobject_cast<QQuickItem *>(object)) {
            m_window = new QQuickWindow;
            m_window->setColor(QColor(0x0B, 0x0D, 0x10));
            m_window->resize(size);
            item->setParentItem(m_window->contentItem());
            item->setSize(QSizeF(size));
            m_hostWindow = m_window;
        }
        if (m_hostWindow) {
            m_hostWindow->show();
            m_hostWindow->requestActivate();
            if (!QTest::qWaitForWindowExposed(m_hostWindow))
                qWarning("window not exposed");
        }
        return object;
    }

    // Sizes the window and the view to the view's own height (tray panel,
    // sheets), once pending layouts have been polished.
    void fitHeight()
    {
        QQuickItem *item = rootItem();
        if (!item || !m_window)
            return;
        waitForFrame();  // layouts are polished before a frame renders
        const int h = qCeil(item->implicitHeight());
        m_window->resize(m_window->width(), h);
        item->setHeight(h);
        waitForFrame();
    }

    void waitForFrame()
    {
        QSignalSpy swapped(m_hostWindow, &QQuickWindow::frameSwapped);
        m_hostWindow->update();
        swapped.wait(2000);
    }

    QQuickWindow *window() const { return m_hostWindow; }
    QQuickItem *rootItem() const { return qobject_cast<QQuickItem *>(m_root); }
    QObject *root() const { return m_root; }

    // The first item with this object name, searched in the visual tree of
    // the window (delegates and popups included), then in the view's objects.
    template<typename T = QQuickItem>
    T *find(const QString &name) const
    {
        const QList<QQuickItem *> all = itemsNamed(name);
        for (QQuickItem *item : all) {
            if (T *cast = qobject_cast<T *>(item))
                return cast;
        }
        return m_root ? m_root->findChild<T *>(name) : nullptr;
    }
    // Every shown item with this name (delegates share names), in tree order.
    QList<QQuickItem *> findAll(const QString &name) const
    {
        QList<QQuickItem *> result;
        for (QQuickItem *item : itemsNamed(name)) {
            if (shown(item))
                result.append(item);
        }
        return result;
    }
    QList<QQuickItem *> itemsNamed(const QString &name) const
    {
        QList<QQuickItem *> result;
        if (m_hostWindow)
            collect(m_hostWindow->contentItem(), name, result);
        return result;
    }

    static bool shown(QQuickItem *item)
    {
        for (QQuickItem *i = item; i; i = i->parentItem()) {
            if (!i->isVisible() || i->opacity() <= 0)
                return false;
        }
        return item != nullptr;
    }

    void click(QQuickItem *item, QPointF at = QPointF(-1, -1))
    {
        QVERIFY(item);
        const QPointF local = at.x() < 0 ? QPointF(item->width() / 2, item->height() / 2) : at;
        const QPoint point = item->mapToScene(local).toPoint();
        QTest::mouseClick(m_hostWindow, Qt::LeftButton, Qt::NoModifier, point);
    }
    void clickAt(QPoint point) { QTest::mouseClick(m_hostWindow, Qt::LeftButton, Qt::NoModifier, point); }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(m_hostWindow, Qt::Key(key), modifiers);
    }
    // Types ASCII text key by key ("\n" presses Return).
    void type(const QString &text)
    {
        for (const QChar c : text) {
            if (c == QLatin1Char('\n'))
                QTest::keyClick(m_hostWindow, Qt::Key_Return);
            else
                QTest::keyClick(m_hostWindow, c.toLatin1());
        }
    }

    static QString text(QQuickItem *item) { return item ? item->property("text").toString() : QString(); }

    // Waits for a rendered frame, then writes the window as <name>.png next
    // to the main window's screenshots and returns the path.
    QString screenshot(const QString &name)
    {
        const QString dir = screenshotDir();
        QDir().mkpath(dir);
        waitForFrame();
        const QImage image = m_hostWindow->grabWindow();
        const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
        if (image.isNull() || !image.save(path))
            qWarning().noquote() << "screenshot not written:" << path;
        return path;
    }

    static QString screenshotDir()
    {
        return qEnvironmentVariable("VANTREL_BUILD_DIR", QDir::currentPath()) + QStringLiteral("/screenshots");
    }

private:
    static void collect(QQuickItem *item, const QString &name, QList<QQuickItem *> &out)
    {
        if (item->objectName() == name)
            out.append(item);
        const QList<QQuickItem *> children = item->childItems();
        for (QQuickItem *child : children)
            collect(child, name, out);
    }

    QQmlEngine m_engine;
    QObject *m_root = nullptr;
    QQuickWindow *m_window = nullptr;
    QQuickWindow *m_hostWindow = nullptr;
};
