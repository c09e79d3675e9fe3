#pragma once

#include <QHostAddress>
#include <QTcpServer>

// A loopback port nothing listens on: a probe takes it and gives it back.
inline quint16 closedLoopbackPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}
