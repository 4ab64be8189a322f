#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// XML escaping of 8-bit (Windows-1252) texts, in the service's own rules: the five markup
// characters, a doubled backslash, and the six Italian accented letters as character
// references. Every other byte stays as it is.
QByteArray XMLEscape(const QByteArray& text);

// The version facts of a Windows system, as its extended version query gives them.
struct TOsVersionFacts
{
    enum Platform
    {
        Win32s = 0,
        Windows9x = 1,
        WindowsNT = 2
    };
    enum ProductType
    {
        Workstation = 1,
        DomainController = 2,
        Server = 3
    };

    int PlatformId = WindowsNT;
    unsigned Major = 0;
    unsigned Minor = 0;
    unsigned Build = 0;
    QByteArray ServicePack; // "Service Pack 2", or for 9x its letter code
    quint16 SuiteMask = 0;
    quint8 Product = Workstation;
    bool HasQ246009 = false; // the hot-fix key that turns NT 4.0 SP6 into SP6a
};

// The operating-system name the service expects for a Windows system ("Microsoft Windows XP
// Professional Service Pack 2 (Build 2600)").
QByteArray WindowsOsName(const TOsVersionFacts& facts);

// The name sent from Linux: the PRETTY_NAME of an os-release text (else NAME, else "Linux")
// followed by " (Build " kernel release ")".
QByteArray LinuxOsName(const QString& osRelease, const QString& kernelRelease);

// One network interface as far as the adapter address is concerned.
struct TInterfaceFacts
{
    bool Loopback = false;
    QString HardwareAddress; // "AA:BB:CC:DD:EE:FF" as Qt gives it; empty when there is none
};

// Sent when no interface has a six-byte hardware address.
QByteArray NoMacAddressText();
// "aa-bb-cc-dd-ee-ff" of the first non-loopback interface with a six-byte, non-zero address.
QByteArray MacTextOf(const QList<TInterfaceFacts>& interfaces);

// The running system's values, computed on demand.
QByteArray GetOSName();
QByteArray GetMACAddress();
// USERNAME, else USER; empty when neither is set.
QByteArray GetOSUser();

// What a service request tells about the client.
struct TClientIdentity
{
    QByteArray OSName;
    QByteArray MACAddress;
    QByteArray OSUser;
    QByteArray ProgramVersion;

    static TClientIdentity Current();
};
