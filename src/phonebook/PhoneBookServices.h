#pragma once

class TContactsTree;
class TDM_TarvoPhoneBook;
class TPhoneBook;

// The phone book as the windows reach it: the local file, the in-memory contacts tree, and the
// provider's remote phone book (used when "UsePGOnline" is on). The data module owns them;
// Remote is set once the settings are loaded (null before, and where nothing created it).
struct TPhoneBookServices
{
    TPhoneBook& Local;
    TContactsTree& Tree;
    TDM_TarvoPhoneBook* Remote = nullptr;
};
