#pragma once

#include "net/NumberLookup.h"
#include "net/Suggestion.h"

class TSettingsHolder;

// The settings holder's values as the service requests take them; the window and brelmont-cli
// read the holder through these at the moment of each request.

// User name and password (the demo account for empty fields) and the interface language.
TServiceAccount ServiceAccountOf(const TSettingsHolder& settings);
// The SOCKS5 proxy when "ProxyEnabled" is on and "ProxyAddress" is not blank.
std::optional<TfndSocks5Proxy> ServiceProxyOf(const TSettingsHolder& settings);
// Endpoints\ServiceHost and ServicePort, the account and this system's identification.
TLookupContext LookupContextOf(const TSettingsHolder& settings);
// Endpoints\SuggestionHost and SuggestionPort, the account, identification and the settings the
// form reports; phoneBookVersion as the phone book gives it (GetPhoneBookVersion).
TSuggestionContext SuggestionContextOf(const TSettingsHolder& settings, int phoneBookVersion);
