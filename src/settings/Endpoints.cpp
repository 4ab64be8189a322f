#include "settings/Endpoints.h"

#include "platform/RegistryStore.h"

#include <QStringList>

namespace {
struct Field
{
    const char* name;
    TEndpoints::ValueKind kind;
    QString TEndpoints::*text;
    quint16 TEndpoints::*port;
};

const Field kFields[] = {
    {"GatewayHost", TEndpoints::ValueKind::Text, &TEndpoints::GatewayHost, nullptr},
    {"GatewayPort", TEndpoints::ValueKind::Port, nullptr, &TEndpoints::GatewayPort},
    {"GatewayFallbackPort", TEndpoints::ValueKind::Port, nullptr, &TEndpoints::GatewayFallbackPort},
    {"ServiceHost", TEndpoints::ValueKind::Text, &TEndpoints::ServiceHost, nullptr},
    {"ServicePort", TEndpoints::ValueKind::Port, nullptr, &TEndpoints::ServicePort},
    {"SuggestionHost", TEndpoints::ValueKind::Text, &TEndpoints::SuggestionHost, nullptr},
    {"SuggestionPort", TEndpoints::ValueKind::Port, nullptr, &TEndpoints::SuggestionPort},
    {"WebBaseUrl", TEndpoints::ValueKind::Text, &TEndpoints::WebBaseUrl, nullptr},
    {"DownloadBaseUrl", TEndpoints::ValueKind::Text, &TEndpoints::DownloadBaseUrl, nullptr},
    {"PhoneBookServiceUrl", TEndpoints::ValueKind::Text, &TEndpoints::PhoneBookServiceUrl, nullptr},
};

const Field* FindField(const QString& name)
{
    for (const Field& f : kFields)
        if (name.compare(QString::fromLatin1(f.name), Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}
} // namespace

QString TEndpoints::KeyPath()
{
    return QStringLiteral("Software\\Dalvenor\\Endpoints");
}

TEndpoints TEndpoints::Read(const RegistryStore& store)
{
    QString error;
    TEndpoints e = Read(store, &error);
    if (!error.isEmpty())
        throw ERegistryException(error);
    return e;
}

TEndpoints TEndpoints::Read(const RegistryStore& store, QString* firstError)
{
    TEndpoints e;
    for (const Field& f : kFields) {
        const QString name = QString::fromLatin1(f.name);
        if (!store.ValueExists(KeyPath(), name))
            continue;
        try {
            if (f.kind == ValueKind::Text) {
                e.*f.text = store.ReadString(KeyPath(), name);
            } else {
                const qint32 port = store.ReadInteger(KeyPath(), name);
                if (port < 0 || port > 65535) // a wrapped port would reach an unrelated service
                    throw ERegistryException(QStringLiteral("Invalid data type for '%1'").arg(name));
                e.*f.port = static_cast<quint16>(port);
            }
        } catch (const ERegistryException& error) {
            if (firstError && firstError->isEmpty())
                *firstError = error.Message();
        }
    }
    return e;
}

bool TEndpoints::Describe(const QString& name, ValueKind* kind, QString* canonicalName)
{
    const Field* f = FindField(name);
    if (!f)
        return false;
    if (kind)
        *kind = f->kind;
    if (canonicalName)
        *canonicalName = QString::fromLatin1(f->name);
    return true;
}

QStringList TEndpoints::Names()
{
    QStringList names;
    for (const Field& f : kFields)
        names.append(QString::fromLatin1(f.name));
    return names;
}

QString TEndpoints::ValueText(const QString& name) const
{
    const Field* f = FindField(name);
    if (!f)
        return {};
    return f->kind == ValueKind::Text ? this->*f->text : QString::number(this->*f->port);
}
