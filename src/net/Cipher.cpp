#include "net/Cipher.h"

#include <memory>
#include <openssl/evp.h>

namespace {
constexpr int kBlock = 16;
constexpr int kKeyBytes = 32;
const QByteArray kMarker = QByteArrayLiteral("{02}");
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The key text's bytes followed by zero bytes up to 32 (a longer text is cut).
QByteArray AesKey(const QByteArray& key)
{
    QByteArray out = key.left(kKeyBytes);
    out.append(kKeyBytes - out.size(), '\0');
    return out;
}

// Runs AES-256 in electronic code book mode with padding off over whole blocks.
QByteArray AesEcb(const QByteArray& blocks, const QByteArray& key, bool encrypt)
{
    using Ctx = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;
    Ctx ctx(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    const QByteArray aesKey = AesKey(key);
    QByteArray out(blocks.size() + kBlock, '\0');
    int written = 0;
    int tail = 0;
    const auto* keyBytes = reinterpret_cast<const unsigned char*>(aesKey.constData());
    if (!ctx ||
        EVP_CipherInit_ex(ctx.get(), EVP_aes_256_ecb(), nullptr, keyBytes, nullptr, encrypt ? 1 : 0) != 1)
        return {};
    EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
    if (EVP_CipherUpdate(ctx.get(), reinterpret_cast<unsigned char*>(out.data()), &written,
                         reinterpret_cast<const unsigned char*>(blocks.constData()),
                         static_cast<int>(blocks.size())) != 1 ||
        EVP_CipherFinal_ex(ctx.get(), reinterpret_cast<unsigned char*>(out.data()) + written, &tail) != 1)
        return {};
    out.truncate(written + tail);
    return out;
}

QByteArray ZeroFilled(QByteArray data)
{
    const qsizetype rest = data.size() % kBlock;
    if (rest)
        data.append(kBlock - rest, '\0');
    return data;
}

int AlphabetValue(char c)
{
    for (int i = 0; i < 64; ++i)
        if (kAlphabet[i] == c)
            return i;
    return 61; // anything outside the alphabet, "=" included, counts as 61
}
} // namespace

QByteArray ProgramKey()
{
    return QByteArrayLiteral("Fq8%Wd3!Nx7&Rb2#");
}

QByteArray EncryptString(const QByteArray& plain, const QByteArray& key)
{
    return kMarker + AesEcb(ZeroFilled(plain), key, true);
}

QByteArray DecryptString(const QByteArray& text, const QByteArray& key)
{
    if (!text.startsWith(kMarker))
        return {};
    QByteArray result = AesEcb(ZeroFilled(text.mid(kMarker.size())), key, false);
    static const QByteArray endTag = QByteArrayLiteral("</MESSAGE>");
    const qsizetype tag = result.indexOf(endTag);
    if (tag > 0 && tag + endTag.size() < result.size())
        result.truncate(tag + endTag.size());
    const qsizetype zero = result.indexOf('\0');
    if (zero >= 0)
        result.truncate(zero);
    return result;
}

QByteArray EncodeBase64(const QByteArray& data)
{
    QByteArray padded = data;
    int appended = 0;
    while (padded.size() < 3 || padded.size() % 3 != 0) {
        padded.append('\0');
        ++appended;
    }
    QByteArray out;
    out.reserve(padded.size() / 3 * 4);
    for (qsizetype i = 0; i < padded.size(); i += 3) {
        const quint32 group = (static_cast<quint8>(padded[i]) << 16) |
                              (static_cast<quint8>(padded[i + 1]) << 8) | static_cast<quint8>(padded[i + 2]);
        for (int shift = 18; shift >= 0; shift -= 6)
            out.append(kAlphabet[(group >> shift) & 0x3F]);
    }
    for (int i = 0; i < appended; ++i)
        out[out.size() - 1 - i] = '=';
    return out;
}

QByteArray DecodeBase64(const QByteArray& text)
{
    if (text.size() <= 3 || text.size() % 4 != 0)
        return {};
    int padding = 0;
    for (qsizetype i = text.size() - 1; i >= 0 && text[i] == '='; --i)
        ++padding;
    QByteArray out;
    out.reserve(text.size() / 4 * 3);
    for (qsizetype i = 0; i < text.size(); i += 4) {
        quint32 group = 0;
        for (int j = 0; j < 4; ++j)
            group = (group << 6) | static_cast<quint32>(AlphabetValue(text[i + j]));
        out.append(static_cast<char>((group >> 16) & 0xFF));
        out.append(static_cast<char>((group >> 8) & 0xFF));
        out.append(static_cast<char>(group & 0xFF));
    }
    out.chop(std::min<qsizetype>(padding, out.size()));
    return out;
}
