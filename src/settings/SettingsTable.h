#pragma once

#include <QString>
#include <QVariant>
#include <array>
#include <optional>
#include <vector>

// Every persisted setting of the program, named as its registry value. The order of the
// enumeration is the order LoadSettings reads them in.
enum class Setting
{
    StartUpConnection,
    DisableSound,
    CheckForUpdatesOnStartup,
    RunAtStartup,
    UsePGOnline,
    UserName,
    RememberPwd,
    Password,
    Language,
    Sender,
    FirstTime,
    NextUpdateExpire,
    FirstTimeClose,
    TimeZone,
    ContactsFile,
    LastX,
    LastY,
    LastW,
    LastH,
    ProxyEnabled,
    ProxyAddress,
    ProxyPort,
    ProxyAuthEnabled,
    ProxyUsername,
    ProxyPassword,
    LastIntPrefix,
    WarningMediumQuality,
    WarningUnicode,
    WarningManySMS,
};

// How a value is kept in the registry.
enum class SettingType
{
    Bool,     // REG_DWORD 0/1
    Integer,  // REG_DWORD, signed 32-bit
    Port,     // REG_DWORD, 0..65535
    String,   // REG_SZ
    Secret,   // REG_SZ holding the enciphered text
    DateTime, // REG_BINARY, 8-byte double of days since 1899-12-30
};

// One row of the table: the value's name, type and default, and when it is written.
struct SettingSpec
{
    Setting id;
    const char* name;
    SettingType type;
    QVariant (*defaultValue)();
    int saveOrder;    // place among the values SaveSettings writes; -1: SaveSettings never writes it
    bool writeAtOnce; // its setter writes it to the registry at once

    QString Name() const { return QString::fromLatin1(name); }
};

inline constexpr int SettingCount = static_cast<int>(Setting::WarningManySMS) + 1;

// The table, in read order.
const std::array<SettingSpec, SettingCount>& SettingsTable();
const SettingSpec& SpecOf(Setting id);
// The row of a value name, letters in any case.
std::optional<Setting> FindSetting(const QString& name);
// The settings SaveSettings writes, in its order.
const std::vector<Setting>& SaveOrder();
