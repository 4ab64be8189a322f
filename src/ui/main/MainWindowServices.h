#pragma once

class TGatewayService;
class TNumberLookup;
struct TPhoneBookServices;
class TSetupDownload;
class TSuggestionSender;
class TUpdateCheck;
struct TGlobalTexts;

// The long-lived services the main window's areas use. The data module owns them (tests give
// their own); the window keeps the pointers. Gateway and PhoneBook are required: a command whose
// other service is missing stays disabled.
struct TMainWindowServices
{
    TGatewayService* Gateway = nullptr;
    // The data module's message texts (the window keeps its own when none is given).
    const TGlobalTexts* Texts = nullptr;
    TNumberLookup* Lookup = nullptr;
    TSuggestionSender* Suggestions = nullptr;
    TUpdateCheck* Updates = nullptr;
    TSetupDownload* Setup = nullptr;
    // The local phone book, the contacts tree and the remote phone book.
    TPhoneBookServices* PhoneBook = nullptr;
};
