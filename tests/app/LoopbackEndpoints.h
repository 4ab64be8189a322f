#pragma once

#include "platform/RegistryStore.h"
#include "settings/Endpoints.h"

#include <QTcpServer>

// Points the gateway of a registry file at a loopback port where nothing listens, so a program
// under test never reaches out of the machine.
inline void WriteLoopbackEndpoints(const QString& registryPath)
{
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        closedPort = probe.serverPort();
    }
    RegistryStore store(registryPath);
    store.Load();
    store.SetValue(TEndpoints::KeyPath(), QStringLiteral("GatewayHost"), RegValue::String(QStringLiteral("127.0.0.1")));
    store.SetValue(TEndpoints::KeyPath(), QStringLiteral("GatewayPort"), RegValue::Dword(closedPort));
    store.SetValue(TEndpoints::KeyPath(), QStringLiteral("GatewayFallbackPort"), RegValue::Dword(closedPort));
    store.SetValue(TEndpoints::KeyPath(), QStringLiteral("WebBaseUrl"), RegValue::String(QStringLiteral("http://127.0.0.1:1")));
    store.SetValue(TEndpoints::KeyPath(), QStringLiteral("DownloadBaseUrl"), RegValue::String(QStringLiteral("http://127.0.0.1:1")));
    store.Save();
}
