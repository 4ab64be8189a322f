#pragma once

#include <QString>

class RegistryStore;

// Where the provider's services are: the "Software\Dalvenor\Endpoints" key, read by the
// program and never written by SaveSettings. Absent values take the defaults below.
struct TEndpoints
{
    QString GatewayHost = QStringLiteral("gateway.tarvotelecom.example");
    quint16 GatewayPort = 80;
    quint16 GatewayFallbackPort = 26;
    QString ServiceHost = QStringLiteral("service.tarvotelecom.example");
    quint16 ServicePort = 8999;
    QString SuggestionHost = QStringLiteral("www.tarvotelecom.example");
    quint16 SuggestionPort = 80;
    QString WebBaseUrl = QStringLiteral("http://www.tarvotelecom.example");
    QString DownloadBaseUrl = QStringLiteral("http://download.tarvotelecom.example");
    QString PhoneBookServiceUrl =
        QStringLiteral("http://www.tarvotelecom.example/services/TarvoPhoneBook.asmx");

    static QString KeyPath();
    // Reads the key; a value of the wrong type throws ERegistryException.
    static TEndpoints Read(const RegistryStore& store);
    // Reads every value it can: a value of the wrong type, or a port outside 0..65535,
    // keeps its default and the first such problem goes to *firstError.
    static TEndpoints Read(const RegistryStore& store, QString* firstError);

    enum class ValueKind
    {
        Text,
        Port
    };
    // The value names in the key, for brelmont-cli; false for an unknown name.
    static bool Describe(const QString& name, ValueKind* kind, QString* canonicalName);
    static QStringList Names();
    // The value of one name as text ("80", "http://...").
    QString ValueText(const QString& name) const;
};
