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

bool IsValidUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const e = p + bytes.size();
    while (p < e) {
        const unsigned char c = *p++;
        if (c < 0x80)
            continue;
        int more = 0;
        char32_t cp = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (e - p < more)
            return false;
        for (int i = 0; i < more; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        p += more;
        // Overlong forms, surrogates and values above U+10FFFF are not UTF-8.
        if ((more == 2 && cp < 0x800) || (more == 3 && cp < 0x10000) || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
    }
    return true;
}

// The file's lines, carriage returns removed. UTF-16LE with its byte-order mark is one text;
// otherwise every line is decoded on its own, as UTF-8 when it is valid UTF-8 and as
// Windows-1252 (REGEDIT4 files and hand edits in an 8-bit editor) when it is not.
QStringList DecodeLines(const QByteArray& raw)
{
    QStringList lines;
    if (raw.startsWith("\xFF\xFE")) {
        QString text;
        text.reserve(raw.size() / 2);
        for (qsizetype i = 2; i + 1 < raw.size(); i += 2)
            text.append(QChar(static_cast<char16_t>(static_cast<unsigned char>(raw[i]) |
                                                    (static_cast<unsigned char>(raw[i + 1]) << 8))));
        lines = text.split(u'\n');
    } else {
        const QByteArrayView body =
            raw.startsWith("\xEF\xBB\xBF") ? QByteArrayView(raw).sliced(3) : QByteArrayView(raw);
        qsizetype from = 0;
        while (from <= body.size()) {
            qsizetype to = body.indexOf('\n', from);
            if (to < 0)
                to = body.size();
            const QByteArrayView line = body.sliced(from, to - from);
            lines.append(IsValidUtf8(line) ? QString::fromUtf8(line) : FromWin1252(line));
            from = to + 1;
        }
    }
    for (QString& line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    return lines;
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
        const QString hex =
            QStringLiteral("%1").arg(static_cast<unsigned char>(bytes[i]), 2, 16, QLatin1Char('0'));
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

RegistryStore::LoadStatus RegistryStore::Refuse(LoadStatus status, const QString& problem)
{
    m_keys.clear();
    m_keyIndex.clear();
    m_problem = problem;
    m_status = status;
    if (status == LoadStatus::Unparsable)
        m_quarantined = QuarantineFile();
    return m_status;
}

RegistryStore::LoadStatus RegistryStore::Load()
{
    m_keys.clear();
    m_keyIndex.clear();
    m_quarantined.clear();
    m_problem.clear();
    m_damagedLines = 0;
    m_damagedCopy.clear();
    const QFileInfo info(m_path);
    if (!info.exists()) {
        m_status = LoadStatus::Missing;
        return m_status;
    }
    // Checked before opening: a FIFO would block the open, a device would never end.
    if (!info.isFile())
        return Refuse(LoadStatus::Unusable, QStringLiteral("'%1' is not a regular file").arg(m_path));
    if (info.size() > MaxFileBytes)
        return Refuse(LoadStatus::Unparsable, QStringLiteral("'%1' is larger than 16 MB").arg(m_path));
    // A file that exists but cannot be read is kept aside like an unparsable one: the next
    // save must not replace content nobody has seen.
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return Refuse(LoadStatus::Unparsable, QStringLiteral("'%1' cannot be read").arg(m_path));
    const QByteArray raw = file.read(MaxFileBytes + 1);
    file.close();
    if (raw.size() > MaxFileBytes)
        return Refuse(LoadStatus::Unparsable, QStringLiteral("'%1' is larger than 16 MB").arg(m_path));
    const QStringList lines = DecodeLines(raw);
    if (std::all_of(lines.begin(), lines.end(), [](const QString& l) { return l.trimmed().isEmpty(); })) {
        m_status = LoadStatus::Missing; // nothing to lose: an empty file is a fresh hive
        return m_status;
    }
    if (!ParseLines(lines))
        return Refuse(LoadStatus::Unparsable, QStringLiteral("'%1' is no registry export").arg(m_path));
    m_status = LoadStatus::Loaded;
    return m_status;
}

QString RegistryStore::AsideName() const
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = m_path + QStringLiteral(".broken-") + stamp;
    // Never overwrite an earlier copy kept aside in the same second.
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = m_path + QStringLiteral(".broken-%1-%2").arg(stamp).arg(n);
    return aside;
}

QString RegistryStore::QuarantineFile() const
{
    const QString aside = AsideName();
    if (QFile::rename(m_path, aside) || QFile::copy(m_path, aside))
        return aside;
    return {};
}

bool RegistryStore::ParseExportText(const QString& text)
{
    m_damagedLines = 0;
    QStringList lines = text.split(u'\n');
    for (QString& line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    return ParseLines(lines);
}

namespace {
// Reads the data part of a value line; nothing when it is damaged.
std::optional<RegValue> ParseValueData(const QString& data, bool eightBit)
{
    if (data.startsWith(u'"')) {
        qsizetype p = 0;
        auto s = ReadQuoted(data, p);
        if (!s || p != data.size())
            return std::nullopt;
        return RegValue::String(*s);
    }
    if (data.startsWith(QStringLiteral("dword:"), Qt::CaseInsensitive)) {
        // Always eight digits in an export; fewer is a cut line, not a smaller number.
        const QString digits = data.mid(6);
        bool ok = false;
        const quint32 v = digits.toUInt(&ok, 16);
        if (!ok || digits.size() != 8)
            return std::nullopt;
        return RegValue::Dword(v);
    }
    if (data.startsWith(QStringLiteral("hex:"), Qt::CaseInsensitive)) {
        if (auto bytes = ParseHexBytes(QStringView(data).mid(4)))
            return RegValue::Binary(*bytes);
        return std::nullopt;
    }
    if (!data.startsWith(QStringLiteral("hex("), Qt::CaseInsensitive))
        return std::nullopt;
    const qsizetype close = data.indexOf(QStringLiteral("):"));
    bool ok = false;
    const uint type = close > 4 ? data.mid(4, close - 4).toUInt(&ok, 16) : 0;
    if (!ok)
        return std::nullopt;
    const auto bytes = ParseHexBytes(QStringView(data).mid(close + 2));
    if (!bytes)
        return std::nullopt;
    auto asText = [&] { return eightBit ? FromEightBit(*bytes) : FromUtf16Bytes(*bytes); };
    if (type == 1)
        return RegValue::String(asText());
    if (type == 2)
        return RegValue::Expand(asText());
    if (type == 3)
        return RegValue::Binary(*bytes);
    if (type == 4 && bytes->size() == 4)
        return RegValue::Dword(qFromLittleEndian<quint32>(bytes->constData()));
    return RegValue{RegType::Raw, type, {}, *bytes};
}

// "A\\B\" -> "A\B": a key path without empty parts.
QString NormalisedPath(const QString& path)
{
    return path.split(u'\\', Qt::SkipEmptyParts).join(u'\\');
}
} // namespace

bool RegistryStore::ParseLines(const QStringList& lines)
{
    qsizetype index = 0;
    // One logical line: hex values continue on the next line after a trailing backslash.
    // physical receives the lines as they stand, to write an unchanged value back as read.
    auto nextLogicalLine = [&](QString* physical) -> std::optional<QString> {
        if (index >= lines.size())
            return std::nullopt;
        QString line = lines[index++];
        if (physical)
            *physical = line;
        while (line.endsWith(u'\\') && !line.trimmed().startsWith(u'[') && index < lines.size()) {
            line.chop(1);
            if (physical)
                *physical += QStringLiteral("\r\n") + lines[index];
            line += lines[index++].trimmed();
        }
        return line;
    };

    std::optional<QString> first;
    while ((first = nextLogicalLine(nullptr)) && first->trimmed().isEmpty()) {
    }
    if (!first)
        return false;
    const QString header = first->trimmed();
    const bool eightBit = header == kHeader4;
    if (!eightBit && header != kHeader5)
        return false;

    Key* current = nullptr;
    QString physical;
    while (auto line = nextLogicalLine(&physical)) {
        const QString trimmed = line->trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u';'))
            continue;
        if (trimmed.startsWith(u'[')) {
            current = nullptr; // a damaged key line: its values have no safe place
            const QString path = NormalisedPath(trimmed.mid(1, trimmed.size() - 2));
            const bool deletion = path.startsWith(u'-');
            if (!trimmed.endsWith(u']') || path.isEmpty() || path.count(u'\\') > MaxKeyDepth) {
                ++m_damagedLines;
            } else if (deletion) {
                EraseKeys(Fold(NormalisedPath(path.mid(1))));
            } else {
                current = &EnsureKey(path);
            }
            continue;
        }
        if (!current) {
            ++m_damagedLines; // a value outside any key cannot be placed; the rest still loads
            continue;
        }

        qsizetype pos = 0;
        QString name;
        if (trimmed.startsWith(u'@')) {
            pos = 1;
        } else if (auto quoted = ReadQuoted(trimmed, pos)) {
            name = *quoted;
        } else {
            ++m_damagedLines;
            continue;
        }
        while (pos < trimmed.size() && trimmed[pos].isSpace())
            ++pos;
        if (pos >= trimmed.size() || trimmed[pos] != u'=') {
            ++m_damagedLines;
            continue;
        }
        const QString data = trimmed.mid(pos + 1).trimmed();
        if (data == u"-") {
            current->Remove(name);
            continue;
        }
        const auto value = ParseValueData(data, eightBit);
        if (!value) {
            ++m_damagedLines; // a damaged line is skipped; every other value still loads
            continue;
        }
        current->Put(name, *value).source = physical;
    }
    return true;
}

QString RegistryStore::ToExportText() const
{
    std::vector<const Key*> keys;
    keys.reserve(m_keys.size());
    for (const auto& key : m_keys)
        keys.push_back(key.get());
    std::sort(keys.begin(), keys.end(),
              [](const Key* a, const Key* b) { return Fold(a->path) < Fold(b->path); });

    QString out = kHeader5 + QStringLiteral("\r\n\r\n");
    for (const Key* key : keys) {
        out += u'[' + key->path + QStringLiteral("]\r\n");
        for (const Entry& entry : key->values) {
            if (!entry.source.isEmpty()) {
                out += entry.source + QStringLiteral("\r\n");
                continue;
            }
            const QString& name = entry.name;
            const RegValue& value = entry.value;
            const QString lhs =
                name.isEmpty() ? QStringLiteral("@=") : u'"' + EscapeString(name) + QStringLiteral("\"=");
            switch (value.type) {
            case RegType::Dword:
                out += lhs + QStringLiteral("dword:%1").arg(value.dword, 8, 16, QLatin1Char('0'));
                break;
            case RegType::String: {
                const bool plain = std::none_of(value.text.begin(), value.text.end(), [](QChar c) {
                    return c == u'\r' || c == u'\n' || c == u'\0';
                });
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

QString RegistryStore::CopyAside() const
{
    const QString aside = AsideName();
    return QFile::copy(m_path, aside) ? aside : QString();
}

void RegistryStore::Save()
{
    const QString failure = Format("Failed to set data for '%1'", m_path);
    if (m_status == LoadStatus::Unusable)
        throw ERegistryException(failure);
    // An unreadable file that could not be kept aside is never replaced.
    if (m_status == LoadStatus::Unparsable && m_quarantined.isEmpty() && QFileInfo::exists(m_path))
        throw ERegistryException(failure);
    // Lines that could not be read would be lost with this write: keep the file as it was.
    if (m_damagedLines > 0 && m_damagedCopy.isEmpty() && QFileInfo::exists(m_path)) {
        m_damagedCopy = CopyAside();
        if (m_damagedCopy.isEmpty())
            throw ERegistryException(failure);
    }
    const QFileInfo info(m_path);
    QDir().mkpath(info.absolutePath());
    QSaveFile file(m_path);
    const QString text = ToExportText();
    QByteArray bytes("\xFF\xFE", 2);
    bytes += Utf16Bytes(text, false);
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        file.write(bytes) != bytes.size() || !file.commit())
        throw ERegistryException(failure);
    m_damagedLines = 0;
}

QString RegistryStore::FullPath(const QString& key)
{
    const QString k = NormalisedPath(key);
    return k.isEmpty() ? kRoot : kRoot + u'\\' + k;
}

RegistryStore::Entry* RegistryStore::Key::Find(const QString& name)
{
    const auto it = index.constFind(Fold(name));
    return it == index.cend() ? nullptr : &values[*it];
}

const RegistryStore::Entry* RegistryStore::Key::Find(const QString& name) const
{
    const auto it = index.constFind(Fold(name));
    return it == index.cend() ? nullptr : &values[*it];
}

RegistryStore::Entry& RegistryStore::Key::Put(const QString& name, const RegValue& value)
{
    if (Entry* entry = Find(name)) {
        if (!(entry->value == value)) {
            entry->value = value;
            entry->source.clear(); // written in the standard form from now on
        }
        return *entry;
    }
    index.insert(Fold(name), values.size());
    values.append(Entry{name, value, {}});
    return values.last();
}

bool RegistryStore::Key::Remove(const QString& name)
{
    const auto it = index.constFind(Fold(name));
    if (it == index.cend())
        return false;
    values.removeAt(*it);
    index.clear();
    for (qsizetype i = 0; i < values.size(); ++i)
        index.insert(Fold(values[i].name), i);
    return true;
}

const RegistryStore::Key* RegistryStore::FindKey(const QString& key) const
{
    return m_keyIndex.value(Fold(FullPath(key)), nullptr);
}

RegistryStore::Key& RegistryStore::EnsureKey(const QString& fullPath)
{
    const QString folded = Fold(fullPath);
    if (Key* existing = m_keyIndex.value(folded, nullptr))
        return *existing;
    // Parents exist implicitly on Windows; create them so SubKeys sees the tree.
    const qsizetype cut = fullPath.lastIndexOf(u'\\');
    if (cut > 0)
        EnsureKey(fullPath.left(cut));
    auto key = std::make_unique<Key>();
    key->path = fullPath;
    Key* added = key.get();
    m_keys.push_back(std::move(key));
    m_keyIndex.insert(folded, added);
    return *added;
}

void RegistryStore::EraseKeys(const QString& foldedPath)
{
    const QString below = foldedPath + u'\\';
    std::erase_if(m_keys, [&](const std::unique_ptr<Key>& key) {
        const QString f = Fold(key->path);
        if (f != foldedPath && !f.startsWith(below))
            return false;
        m_keyIndex.remove(f);
        return true;
    });
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
    EraseKeys(Fold(FullPath(key)));
}

QStringList RegistryStore::SubKeys(const QString& key) const
{
    const QString prefix = Fold(FullPath(key)) + u'\\';
    std::vector<const Key*> children;
    for (const auto& k : m_keys) {
        const QString f = Fold(k->path);
        if (f.startsWith(prefix) && !QStringView(f).mid(prefix.size()).contains(u'\\'))
            children.push_back(k.get());
    }
    std::sort(children.begin(), children.end(),
              [](const Key* a, const Key* b) { return Fold(a->path) < Fold(b->path); });
    QStringList out;
    for (const Key* child : children)
        out.append(child->path.mid(prefix.size()));
    return out;
}

QStringList RegistryStore::ValueNames(const QString& key) const
{
    QStringList out;
    if (const Key* k = FindKey(key))
        for (const Entry& e : k->values)
            out.append(e.name);
    return out;
}

void RegistryStore::CopyKey(const QString& from, const QString& to)
{
    const QString fromFull = FullPath(from);
    const QString toFull = FullPath(to);
    const QString folded = Fold(fromFull);
    std::vector<std::pair<QString, QList<Entry>>> copies;
    for (const auto& key : m_keys) {
        const QString f = Fold(key->path);
        if (f == folded || f.startsWith(folded + u'\\'))
            copies.emplace_back(toFull + key->path.mid(fromFull.size()), key->values);
    }
    for (const auto& [path, values] : copies) {
        Key& target = EnsureKey(path);
        for (const Entry& e : values)
            target.Put(e.name, e.value).source = e.source;
    }
}

bool RegistryStore::ValueExists(const QString& key, const QString& name) const
{
    const Key* k = FindKey(key);
    return k && k->Find(name);
}

std::optional<RegValue> RegistryStore::Value(const QString& key, const QString& name) const
{
    if (const Key* k = FindKey(key))
        if (const Entry* e = k->Find(name))
            return e->value;
    return std::nullopt;
}

void RegistryStore::SetValue(const QString& key, const QString& name, const RegValue& value)
{
    EnsureKey(FullPath(key)).Put(name, value);
}

bool RegistryStore::DeleteValue(const QString& key, const QString& name)
{
    Key* k = m_keyIndex.value(Fold(FullPath(key)), nullptr);
    return k && k->Remove(name);
}

const RegValue& RegistryStore::Require(const QString& key, const QString& name, RegType type) const
{
    const Key* k = FindKey(key);
    const Entry* e = k ? k->Find(name) : nullptr;
    if (!e)
        throw ERegistryException(Format("Failed to get data for '%1'", name));
    const bool stringLike = type == RegType::String && e->value.type == RegType::ExpandString;
    if (e->value.type != type && !stringLike)
        throw ERegistryException(Format("Invalid data type for '%1'", name));
    return e->value;
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
