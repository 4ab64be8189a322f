#include "lists/TextDecoding.h"

#include "platform/Win1252.h"

#include <QFile>
#include <QStringDecoder>

TFileBytes ReadWholeFile(const QString& path)
{
    TFileBytes read;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        read.Error = TReadError::Make(TReadError::CannotOpen, file.errorString());
        return read;
    }
    if (file.size() > kMaxImportFileSize) {
        read.Error =
            TReadError::Make(TReadError::TooLarge,
                             QStringLiteral("the file is larger than %1 MB").arg(kMaxImportFileSize >> 20));
        return read;
    }
    read.Bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        read.Error = TReadError::Make(TReadError::CannotOpen, file.errorString());
    return read;
}

namespace {
bool StartsWith(const QByteArray& bytes, std::initializer_list<unsigned char> mark)
{
    if (bytes.size() < qsizetype(mark.size()))
        return false;
    qsizetype i = 0;
    for (unsigned char b : mark)
        if (static_cast<unsigned char>(bytes[i++]) != b)
            return false;
    return true;
}

bool HasNonAscii(QByteArrayView bytes)
{
    for (char b : bytes)
        if (static_cast<unsigned char>(b) >= 0x80)
            return true;
    return false;
}

QString DecodeUtf8(QByteArrayView bytes, bool* valid)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (valid)
        *valid = !decoder.hasError();
    return text;
}
} // namespace

TDecodedText DecodeText(const QByteArray& bytes)
{
    TDecodedText decoded;
    if (StartsWith(bytes, {0xFF, 0xFE}) || StartsWith(bytes, {0xFE, 0xFF})) {
        const bool little = static_cast<unsigned char>(bytes[0]) == 0xFF;
        decoded.Used = little ? TDecodedText::Utf16LE : TDecodedText::Utf16BE;
        QStringDecoder decoder(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                               QStringDecoder::Flag::Stateless);
        decoded.Text = decoder.decode(QByteArrayView(bytes).sliced(2));
    } else if (StartsWith(bytes, {0xEF, 0xBB, 0xBF})) {
        decoded.Used = TDecodedText::Utf8;
        decoded.Text = DecodeUtf8(QByteArrayView(bytes).sliced(3), nullptr);
    } else {
        if (bytes.contains('\0')) {
            decoded.Error = TReadError::Make(TReadError::NotText,
                                             QStringLiteral("the file holds NUL bytes: it is not text"));
            return decoded;
        }
        if (!HasNonAscii(bytes)) {
            decoded.Text = QString::fromLatin1(bytes);
            return decoded;
        }
        bool valid = false;
        decoded.Text = DecodeUtf8(bytes, &valid);
        if (valid) {
            decoded.Used = TDecodedText::Utf8;
        } else {
            decoded.Used = TDecodedText::Win1252;
            decoded.Text = FromWin1252(bytes);
        }
    }
    if (decoded.Text.contains(QChar(u'\0')))
        decoded.Error =
            TReadError::Make(TReadError::NotText, QStringLiteral("the text holds NUL characters"));
    return decoded;
}
