#include "platform/RegistryStore.h"

#include "platform/Win1252.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QtEndian>
#include <cstring>

namespace {
const QString kHeader5 = QStringLiteral("Windows Registry Editor Version 5.00");
const QString kHeader4 = QStringLiteral("REGEDIT4");
const QString kRoot = QStringLiteral("HKEY_CURRENT_USER");
constexpr int kHexLineWidth = 77;

QString Format(const char* pattern, const QString& name)
{
    return QString::fromUtf8(pattern).arg(name);
}

QByteArray Utf16Bytes(const QString& s, bool terminate)
{
    QByteArray out;
    out.reserve((s.size() + 1) * 2);
    for (QChar c : s) {
        out.append(static_cast<char>(c.unicode() & 0xFF));
        out.append(static_cast<char>(c.unicode() >> 8));
    }
    if (terminate)
        out.append(2, '\0');
    return out;
}

QString FromUtf16Bytes(const QByteArray& bytes)
{
    QString out;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const char16_t c = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                 (static_cast<unsigned char>(bytes[i + 1]) << 8));
        if (c == 0)
            break;
        out.append(QChar(c));
    }
    return out;
}

QString FromEightBit(const QByteArray& bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    return FromWin1252(nul < 0 ? bytes : bytes.left(nul));
}

QString DecodeFile(const QByteArray& raw)
{
    if (raw.startsWith("\xFF\xFE")) {
        QString text;
        text.reserve(raw.size() / 2);
        for (qsizetype i = 2; i + 1 < raw.size(); i += 2)
            text.append(QChar(static_cast<char16_t>(static_cast<unsigned char>(raw[i]) |
                                                    (static_cast<unsigned char>(raw[i + 1]) << 8))));
        return text;
    }
    if (raw.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(raw.mid(3));
    auto toUtf8 = QStringDecoder(QStringDecoder::Utf8);
    QString text = toUtf8(raw);
    if (toUtf8.hasError())
        return FromWin1252(raw); // REGEDIT4 files are 8-bit text
    return text;
}

QString EscapeString(const QString& s)
{
    QString out;
    out.reserve(s.size() + 2);
    for (QChar c : s) {
        if (c == u'\\' || c == u'"')
            out.append(u'\\');
        out.append(c);
    }
    return out;
}

// Reads a quoted text starting at pos (on the opening quote); pos ends after the closing one.
std::optional<QString> ReadQuoted(const QString& line, qsizetype& pos)
{
    if (pos >= line.size() || line[pos] != u'"')
        return std::nullopt;
    QString out;
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line[pos];
        if (c == u'\\' && pos + 1 < line.size()) {
            out.append(line[++pos]);
        } else if (c == u'"') {
            ++pos;
            return out;
        } else {
            out.append(c);
        }
    }
    return std::nullopt;
}

std::optional<QByteArray> ParseHexBytes(QStringView text)
{
    QByteArray out;
    const QString compact = text.toString().remove(u' ').remove(u'\t');
    if (compact.isEmpty())
        return out;
    for (const QString& part : compact.split(u',')) {
        bool ok = false;
        const uint b = part.toUInt(&ok, 16);
        if (!ok || part.size() > 2)
            return std::nullopt;
        out.append(static_cast<char>(b));
    }
    return out;
}

QString HexLines(const QString& prefix, const QByteArray& bytes)
{
    QString out = prefix;
    qsizetype lineLength = prefix.size();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const QString hex = QStringLiteral("%1").arg(static_cast<unsigned char>(bytes[i]), 2, 16, QLatin1Char('0'));
        out.append(hex);
        lineLength += 2;
        if (i + 1 < bytes.size()) {
            out.append(u',');
            ++lineLength;
            if (lineLength >= kHexLineWidth - 3) {
                out.append(QStringLiteral("\\\r\n  "));
                lineLength = 2;
            }
        }
    }
    return out;
}
} // namespace

ERegistryException::ERegistryException(const QString& message) : std::runtime_error(message.toStdString()) {}

RegistryStore::RegistryStore(QString filePath) : m_path(std::move(filePath)) {}

QString RegistryStore::DefaultPath()
{
    const QString explicitPath = qEnvironmentVariable("BRELMONT_REGISTRY");
    if (!explicitPath.isEmpty())
        return explicitPath;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/Brelmont/registry.reg");
}

RegistryStore::LoadStatus RegistryStore::Load()
{
    m_keys.clear();
    m_quarantined.clear();
    QFile file(m_path);
    if (!file.exists()) {
        m_status = LoadStatus::Missing;
        return m_status;
    }
    if (QFileInfo(m_path).isDir()) { // never moved aside nor replaced: Save() refuses
        m_status = LoadStatus::Unparsable;
        return m_status;
    }
    // A file that exists but cannot be read is kept aside like an unparsable one: the next
    // save must not replace content nobody has seen.
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray raw = file.readAll();
        file.close();
        const QString text = DecodeFile(raw);
        if (text.trimmed().isEmpty()) { // nothing to lose: an empty file is a fresh hive
            m_status = LoadStatus::Missing;
            return m_status;
        }
        if (ParseExportText(text)) {
            m_status = LoadStatus::Loaded;
            return m_status;
        }
    }
    m_keys.clear();
    m_quarantined = QuarantineFile();
    m_status = LoadStatus::Unparsable;
    return m_status;
}

QString RegistryStore::QuarantineFile() const
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = m_path + QStringLiteral(".broken-") + stamp;
    // Never overwrite an earlier copy kept aside in the same second.
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = m_path + QStringLiteral(".broken-%1-%2").arg(stamp).arg(n);
    if (QFile::rename(m_path, aside) || QFile::copy(m_path, aside))
        return aside;
    return {};
}

bool RegistryStore::ParseExportText(const QString& text)
{
    QStringList lines = text.split(u'\n');
    qsizetype index = 0;
    auto nextLogicalLine = [&]() -> std::optional<QString> {
        if (index >= lines.size())
            return std::nullopt;
        QString line = lines[index++];
        line.remove(u'\r');
        // Hex values continue on the next line after a trailing backslash.
        while (line.endsWith(u'\\') && !line.trimmed().startsWith(u'[') && index < lines.size()) {
            line.chop(1);
            QString next = lines[index++];
            next.remove(u'\r');
            line += next.trimmed();
        }
        return line;
    };

    bool eightBit = false;
    std::optional<QString> first;
    while ((first = nextLogicalLine()) && first->trimmed().isEmpty()) {
    }
    if (!first)
        return false;
    const QString header = first->trimmed();
    if (header == kHeader4)
        eightBit = true;
    else if (header != kHeader5)
        return false;

    Key* current = nullptr;
    while (auto line = nextLogicalLine()) {
        const QString trimmed = line->trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u';'))
            continue;
        if (trimmed.startsWith(u'[') && !trimmed.endsWith(u']')) {
            current = nullptr; // a damaged key line: its values have no safe place
            continue;
        }
        if (trimmed.startsWith(u'[')) {
            QString path = trimmed.mid(1, trimmed.size() - 2);
            if (path.startsWith(u'-')) {
                const QString folded = Fold(path.mid(1));
                std::erase_if(m_keys, [&](const auto& kv) {
                    return kv.first == folded || kv.first.startsWith(folded + u'\\');
                });
                current = nullptr;
            } else {
                current = &EnsureKey(path);
            }
            continue;
        }
        if (!current)
            continue; // a value outside any key cannot be placed; the rest still loads

        qsizetype pos = 0;
        QString name;
        if (trimmed.startsWith(u'@')) {
            pos = 1;
        } else {
            auto quoted = ReadQuoted(trimmed, pos);
            if (!quoted)
                continue;
            name = *quoted;
        }
        while (pos < trimmed.size() && trimmed[pos].isSpace())
            ++pos;
        if (pos >= trimmed.size() || trimmed[pos] != u'=')
            continue;
        ++pos;
        const QString data = trimmed.mid(pos).trimmed();

        std::optional<RegValue> value;
        if (data == u"-") {
            current->values.removeIf([&](const auto& v) { return Fold(v.first) == Fold(name); });
            continue;
        }
        if (data.startsWith(u'"')) {
            qsizetype p = 0;
            if (auto s = ReadQuoted(data, p))
                value = RegValue::String(*s);
        } else if (data.startsWith(QStringLiteral("dword:"), Qt::CaseInsensitive)) {
            bool ok = false;
            const QString digits = data.mid(6);
            const quint32 v = digits.toUInt(&ok, 16);
            if (ok && digits.size() <= 8)
                value = RegValue::Dword(v);
        } else if (data.startsWith(QStringLiteral("hex:"), Qt::CaseInsensitive)) {
            if (auto bytes = ParseHexBytes(QStringView(data).mid(4)))
                value = RegValue::Binary(*bytes);
        } else if (data.startsWith(QStringLiteral("hex("), Qt::CaseInsensitive)) {
            const qsizetype close = data.indexOf(QStringLiteral("):"));
            bool ok = false;
            const uint type = close > 4 ? data.mid(4, close - 4).toUInt(&ok, 16) : 0;
            std::optional<QByteArray> bytes;
            if (ok)
                bytes = ParseHexBytes(QStringView(data).mid(close + 2));
            if (bytes) {
                auto asText = [&] { return eightBit ? FromEightBit(*bytes) : FromUtf16Bytes(*bytes); };
                if (type == 1)
                    value = RegValue::String(asText());
                else if (type == 2)
                    value = RegValue::Expand(asText());
                else if (type == 3)
                    value = RegValue::Binary(*bytes);
                else if (type == 4 && bytes->size() == 4)
                    value = RegValue::Dword(qFromLittleEndian<quint32>(bytes->constData()));
                else
                    value = RegValue{RegType::Raw, type, {}, *bytes};
            }
        }
        if (!value)
            continue; // a damaged line is skipped; every other value still loads
        auto it = std::find_if(current->values.begin(), current->values.end(),
                               [&](const auto& v) { return Fold(v.first) == Fold(name); });
        if (it != current->values.end())
            it->second = *value;
        else
            current->values.append({name, *value});
    }
    return true;
}

QString RegistryStore::ToExportText() const
{
    QString out = kHeader5 + QStringLiteral("\r\n\r\n");
    for (const auto& [folded, key] : m_keys) {
        out += u'[' + key.path + QStringLiteral("]\r\n");
        for (const auto& [name, value] : key.values) {
            const QString lhs = name.isEmpty() ? QStringLiteral("@=") : u'"' + EscapeString(name) + QStringLiteral("\"=");
            switch (value.type) {
            case RegType::Dword:
                out += lhs + QStringLiteral("dword:%1").arg(value.dword, 8, 16, QLatin1Char('0'));
                break;
            case RegType::String: {
                const bool plain = std::none_of(value.text.begin(), value.text.end(),
                                                [](QChar c) { return c == u'\r' || c == u'\n' || c == u'\0'; });
                out += plain ? lhs + u'"' + EscapeString(value.text) + u'"'
                             : HexLines(lhs + QStringLiteral("hex(1):"), Utf16Bytes(value.text, true));
                break;
            }
            case RegType::ExpandString:
                out += HexLines(lhs + QStringLiteral("hex(2):"), Utf16Bytes(value.text, true));
                break;
            case RegType::Binary:
                out += HexLines(lhs + QStringLiteral("hex:"), value.binary);
                break;
            case RegType::Raw:
                out += HexLines(lhs + QStringLiteral("hex(%1):").arg(value.dword, 0, 16), value.binary);
                break;
            }
            out += QStringLiteral("\r\n");
        }
        out += QStringLiteral("\r\n");
    }
    return out;
}

void RegistryStore::Save()
{
    // An unreadable file that could not be kept aside is never replaced.
    if (m_status == LoadStatus::Unparsable && m_quarantined.isEmpty() && QFileInfo::exists(m_path))
        throw ERegistryException(Format("Failed to set data for '%1'", m_path));
    const QFileInfo info(m_path);
    QDir().mkpath(info.absolutePath());
    QSaveFile file(m_path);
    const QString text = ToExportText();
    QByteArray bytes("\xFF\xFE", 2);
    bytes += Utf16Bytes(text, false);
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        file.write(bytes) != bytes.size() || !file.commit())
        throw ERegistryException(Format("Failed to set data for '%1'", m_path));
}

QString RegistryStore::FullPath(const QString& key)
{
    QString k = key;
    while (k.startsWith(u'\\'))
        k.remove(0, 1);
    while (k.endsWith(u'\\'))
        k.chop(1);
    return k.isEmpty() ? kRoot : kRoot + u'\\' + k;
}

const RegistryStore::Key* RegistryStore::FindKey(const QString& key) const
{
    const auto it = m_keys.find(Fold(FullPath(key)));
    return it == m_keys.end() ? nullptr : &it->second;
}

RegistryStore::Key& RegistryStore::EnsureKey(const QString& fullPath)
{
    // Parents exist implicitly on Windows; create them so SubKeys sees the tree.
    const QStringList parts = fullPath.split(u'\\', Qt::SkipEmptyParts);
    QString path;
    Key* key = nullptr;
    for (const QString& part : parts) {
        path = path.isEmpty() ? part : path + u'\\' + part;
        auto [it, inserted] = m_keys.try_emplace(Fold(path));
        if (inserted)
            it->second.path = path;
        key = &it->second;
    }
    return *key;
}

bool RegistryStore::KeyExists(const QString& key) const
{
    return FindKey(key) != nullptr;
}

void RegistryStore::CreateKey(const QString& key)
{
    EnsureKey(FullPath(key));
}

void RegistryStore::DeleteKey(const QString& key)
{
    const QString folded = Fold(FullPath(key));
    std::erase_if(m_keys, [&](const auto& kv) { return kv.first == folded || kv.first.startsWith(folded + u'\\'); });
}

QStringList RegistryStore::SubKeys(const QString& key) const
{
    const QString prefix = Fold(FullPath(key)) + u'\\';
    QStringList out;
    for (auto it = m_keys.lower_bound(prefix); it != m_keys.end() && it->first.startsWith(prefix); ++it) {
        if (!it->first.mid(prefix.size()).contains(u'\\'))
            out.append(it->second.path.mid(prefix.size()));
    }
    return out;
}

QStringList RegistryStore::ValueNames(const QString& key) const
{
    QStringList out;
    if (const Key* k = FindKey(key))
        for (const auto& v : k->values)
            out.append(v.first);
    return out;
}

void RegistryStore::CopyKey(const QString& from, const QString& to)
{
    const QString fromFull = FullPath(from);
    const QString toFull = FullPath(to);
    const QString folded = Fold(fromFull);
    std::vector<Key> copies;
    for (const auto& [f, key] : m_keys)
        if (f == folded || f.startsWith(folded + u'\\'))
            copies.push_back(Key{toFull + key.path.mid(fromFull.size()), key.values});
    for (const Key& copy : copies) {
        Key& target = EnsureKey(copy.path);
        for (const auto& [name, value] : copy.values) {
            auto it = std::find_if(target.values.begin(), target.values.end(),
                                   [&](const auto& v) { return Fold(v.first) == Fold(name); });
            if (it != target.values.end())
                it->second = value;
            else
                target.values.append({name, value});
        }
    }
}

bool RegistryStore::ValueExists(const QString& key, const QString& name) const
{
    return Value(key, name).has_value();
}

std::optional<RegValue> RegistryStore::Value(const QString& key, const QString& name) const
{
    if (const Key* k = FindKey(key))
        for (const auto& v : k->values)
            if (Fold(v.first) == Fold(name))
                return v.second;
    return std::nullopt;
}

void RegistryStore::SetValue(const QString& key, const QString& name, const RegValue& value)
{
    Key& k = EnsureKey(FullPath(key));
    for (auto& v : k.values) {
        if (Fold(v.first) == Fold(name)) {
            v.second = value;
            return;
        }
    }
    k.values.append({name, value});
}

bool RegistryStore::DeleteValue(const QString& key, const QString& name)
{
    auto it = m_keys.find(Fold(FullPath(key)));
    if (it == m_keys.end())
        return false;
    return it->second.values.removeIf([&](const auto& v) { return Fold(v.first) == Fold(name); }) > 0;
}

const RegValue& RegistryStore::Require(const QString& key, const QString& name, RegType type) const
{
    const Key* k = FindKey(key);
    if (k) {
        for (const auto& v : k->values) {
            if (Fold(v.first) != Fold(name))
                continue;
            const bool stringLike = type == RegType::String && v.second.type == RegType::ExpandString;
            if (v.second.type != type && !stringLike)
                throw ERegistryException(Format("Invalid data type for '%1'", name));
            return v.second;
        }
    }
    throw ERegistryException(Format("Failed to get data for '%1'", name));
}

bool RegistryStore::ReadBool(const QString& key, const QString& name) const
{
    return Require(key, name, RegType::Dword).dword != 0;
}

qint32 RegistryStore::ReadInteger(const QString& key, const QString& name) const
{
    return static_cast<qint32>(Require(key, name, RegType::Dword).dword);
}

QString RegistryStore::ReadString(const QString& key, const QString& name) const
{
    return Require(key, name, RegType::String).text;
}

double RegistryStore::ReadDateTime(const QString& key, const QString& name) const
{
    const RegValue& v = Require(key, name, RegType::Binary);
    if (v.binary.size() != 8)
        throw ERegistryException(Format("Invalid data type for '%1'", name));
    const quint64 bits = qFromLittleEndian<quint64>(v.binary.constData());
    double days = 0;
    std::memcpy(&days, &bits, sizeof days);
    return days;
}

void RegistryStore::WriteBool(const QString& key, const QString& name, bool value)
{
    SetValue(key, name, RegValue::Dword(value ? 1 : 0));
}

void RegistryStore::WriteInteger(const QString& key, const QString& name, qint32 value)
{
    SetValue(key, name, RegValue::Dword(static_cast<quint32>(value)));
}

void RegistryStore::WriteString(const QString& key, const QString& name, const QString& value)
{
    SetValue(key, name, RegValue::String(value));
}

void RegistryStore::WriteDateTime(const QString& key, const QString& name, double days)
{
    SetValue(key, name, RegValue::DateTime(days));
}

RegValue RegValue::DateTime(double days)
{
    quint64 bits = 0;
    std::memcpy(&bits, &days, sizeof days);
    QByteArray bytes(8, '\0');
    qToLittleEndian(bits, bytes.data());
    return Binary(bytes);
}
