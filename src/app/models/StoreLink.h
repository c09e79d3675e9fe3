#pragma once

#include <QList>
#include <QMetaObject>
#include <QPointer>

#include "store/LauncherStore.h"

// A view object's hold on the store: the pointer and the connections made to
// that store, all dropped together when another store (or none) is set.
class StoreLink
{
public:
    LauncherStore *get() const { return m_store; }

    // Drops the connections to the store held so far and holds store;
    // false when store is the one already held.
    bool reset(LauncherStore *store)
    {
        if (m_store == store)
            return false;
        for (const QMetaObject::Connection &connection : std::as_const(m_connections))
            QObject::disconnect(connection);
        m_connections.clear();
        m_store = store;
        return true;
    }

    StoreLink &operator<<(const QMetaObject::Connection &connection)
    {
        m_connections.append(connection);
        return *this;
    }

private:
    QPointer<LauncherStore> m_store;
    QList<QMetaObject::Connection> m_connections;
};
