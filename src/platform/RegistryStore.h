#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

// Registry failures: a value of another type than expected, a write that cannot be stored.
class ERegistryException : public std::runtime_error
{
public:
    explicit ERegistryException(const QString& message);
    QString Message() const { return QString::fromUtf8(what()); }
};

// Raw keeps values of other registry types (hex(N)) so they survive a rewrite.
enum class RegType
{
    Dword,
    String,
    ExpandString,
    Binary,
    Raw
};

struct RegValue
{
    RegType type = RegType::String;
    quint32 dword = 0; // Dword value; for Raw, the registry type number
    QString text;      // String, ExpandString
    QByteArray binary; // Binary, Raw

    static RegValue Dword(quint32 v) { return {RegType::Dword, v, {}, {}}; }
    static RegValue String(const QString& s) { return {RegType::String, 0, s, {}}; }
    static RegValue Expand(const QString& s) { return {RegType::ExpandString, 0, s, {}}; }
    static RegValue Binary(const QByteArray& b) { return {RegType::Binary, 0, {}, b}; }
    // A date-time: 8 bytes of a little-endian double counting days since 1899-12-30.
    static RegValue DateTime(double days);
    bool operator==(const RegValue&) const = default;
};

// The current user's registry hive kept in one file in the Windows registry export text
// format ("Windows Registry Editor Version 5.00"), so a key exported on Windows can be
// imported as is and the file written here imports into regedit.
//
// Key paths are relative to HKEY_CURRENT_USER ("Software\Dalvenor") and, as on Windows,
// compared without regard to letter case. Keys under other roots found in the file are
// kept and written back untouched. Reads come from the snapshot taken by Load(); a writer
// calls Load() first, changes values and calls Save(), which replaces the file atomically
// with mode 0600.
class RegistryStore
{
public:
    // Unusable: the path is no regular file (a folder, a FIFO, a device); nothing is read from
    // it, it is never moved, and Save() refuses.
    enum class LoadStatus
    {
        Loaded,
        Missing,
        Unparsable,
        Unusable
    };
    // Larger files are no settings anybody wrote by hand: kept aside unread.
    static constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;
    // Windows refuses keys nested deeper; such lines count as damaged.
    static constexpr int MaxKeyDepth = 512;

    explicit RegistryStore(QString filePath);

    // $BRELMONT_REGISTRY, else $XDG_CONFIG_HOME/Brelmont/registry.reg.
    static QString DefaultPath();

    QString FilePath() const { return m_path; }

    // Reads the file. A file that cannot be read or parsed at all, or is larger than
    // MaxFileBytes, is renamed aside with a time stamp (QuarantinedPath() tells where; empty
    // if even that failed) and the store starts empty. An empty file counts as Missing.
    // Each line is decoded on its own: UTF-8 when it is valid UTF-8, else Windows-1252, so one
    // stray byte does not change how the rest of the file reads.
    LoadStatus Load();
    LoadStatus Status() const { return m_status; }
    QString QuarantinedPath() const { return m_quarantined; }
    // Why the last Load() did not load the file (empty when it did, or it was missing).
    QString LoadProblem() const { return m_problem; }
    // Lines the last Load() could not read (they are lost at the next Save()).
    int DamagedLines() const { return m_damagedLines; }
    // Where Save() kept a copy of a file with damaged lines before replacing it; empty when
    // it kept none. The copy is made once, before the first write after such a load.
    QString DamagedCopyPath() const { return m_damagedCopy; }

    // Writes the whole hive; throws ERegistryException("Failed to set data for '<file>'").
    // Values nobody changed since Load() are written with the very text they were read with.
    void Save();

    bool KeyExists(const QString& key) const;
    void CreateKey(const QString& key);
    void DeleteKey(const QString& key);               // with its subkeys
    QStringList SubKeys(const QString& key) const;    // direct children, their own spelling
    QStringList ValueNames(const QString& key) const; // in stored order
    // Copies a key with all values and subkeys, recursively; existing values are overwritten.
    void CopyKey(const QString& from, const QString& to);

    bool ValueExists(const QString& key, const QString& name) const;
    std::optional<RegValue> Value(const QString& key, const QString& name) const;
    void SetValue(const QString& key, const QString& name, const RegValue& value); // creates the key
    bool DeleteValue(const QString& key, const QString& name);

    // Typed access; a value of another type throws "Invalid data type for '<name>'",
    // an absent one "Failed to get data for '<name>'".
    // A String reader accepts REG_SZ and REG_EXPAND_SZ; a date-time is REG_BINARY of 8 bytes.
    bool ReadBool(const QString& key, const QString& name) const;
    qint32 ReadInteger(const QString& key, const QString& name) const;
    QString ReadString(const QString& key, const QString& name) const;
    double ReadDateTime(const QString& key, const QString& name) const;
    void WriteBool(const QString& key, const QString& name, bool value);
    void WriteInteger(const QString& key, const QString& name, qint32 value);
    void WriteString(const QString& key, const QString& name, const QString& value);
    void WriteDateTime(const QString& key, const QString& name, double days);

    // Text form of the whole hive (UTF-16 before encoding) and its parser; public for tests.
    QString ToExportText() const;
    // Returns false when text is not registry export text at all.
    bool ParseExportText(const QString& text);

private:
    struct Entry
    {
        QString name;
        RegValue value;
        QString source; // the value's text as read ("dword:..." and its continuation lines)
    };
    struct Key
    {
        QString path; // full path with root, as spelled when created
        QList<Entry> values;
        QHash<QString, qsizetype> index; // folded value name -> position in values

        Entry* Find(const QString& name);
        const Entry* Find(const QString& name) const;
        Entry& Put(const QString& name, const RegValue& value);
        bool Remove(const QString& name);
    };

    static QString FullPath(const QString& key);
    static QString Fold(const QString& path) { return path.toCaseFolded(); }
    const Key* FindKey(const QString& key) const;
    Key& EnsureKey(const QString& fullPath);
    void EraseKeys(const QString& foldedPath); // the key and its subkeys
    bool ParseLines(const QStringList& lines);
    QString AsideName() const;
    QString QuarantineFile() const;
    QString CopyAside() const;
    LoadStatus Refuse(LoadStatus status, const QString& problem);
    const RegValue& Require(const QString& key, const QString& name, RegType type) const;

    QString m_path;
    LoadStatus m_status = LoadStatus::Missing;
    QString m_quarantined;
    QString m_problem;
    int m_damagedLines = 0;
    QString m_damagedCopy;
    std::vector<std::unique_ptr<Key>> m_keys; // in the order read or created
    QHash<QString, Key*> m_keyIndex;          // folded full path -> key
};
