#include "net/ServiceSettings.h"

#include "settings/SettingsHolder.h"

TServiceAccount ServiceAccountOf(const TSettingsHolder& settings)
{
    return {settings.GetUserName(), settings.GetPassword(), settings.GetLanguage(QStringLiteral("ITA"))};
}

std::optional<TfndSocks5Proxy> ServiceProxyOf(const TSettingsHolder& settings)
{
    if (!settings.GetProxyEnabled() || settings.GetProxyAddress().trimmed().isEmpty())
        return std::nullopt;
    TfndSocks5Proxy proxy;
    proxy.Host = settings.GetProxyAddress();
    proxy.Port = QString::number(settings.GetProxyPort());
    proxy.UseAuthentication = settings.GetProxyAuthEnabled();
    proxy.Username = settings.GetProxyUsername();
    proxy.Password = settings.GetProxyPassword();
    return proxy;
}

TLookupContext LookupContextOf(const TSettingsHolder& settings)
{
    const TEndpoints& endpoints = settings.GetEndpoints();
    return {{endpoints.ServiceHost, endpoints.ServicePort, ServiceProxyOf(settings)},
            ServiceAccountOf(settings),
            TClientIdentity::Current()};
}

TSuggestionContext SuggestionContextOf(const TSettingsHolder& settings, int phoneBookVersion)
{
    const TEndpoints& endpoints = settings.GetEndpoints();
    TSuggestionContext c;
    c.Route = {endpoints.SuggestionHost, endpoints.SuggestionPort, ServiceProxyOf(settings)};
    c.Account = ServiceAccountOf(settings);
    c.Identity = TClientIdentity::Current();
    c.TimeZone = settings.GetTimeZone();
    c.PhoneBookVersion = phoneBookVersion;
    c.DisableSound = settings.GetDisableSound();
    c.RunAtStartup = settings.GetRunAtStartup();
    c.Sender = settings.GetSender();
    return c;
}
