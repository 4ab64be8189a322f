#pragma once

#include <QString>

// Why a file could not be read. Kind picks the user's message (in the user's language);
// Detail says in English what exactly was wrong, for brelmont-cli and the logs.
struct TReadError
{
    enum Kind
    {
        None,
        CannotOpen,
        NotText,
        Unsupported,
        BadSpreadsheet,
        TooLarge,
        NotContacts
    };

    Kind What = None;
    QString Detail;

    explicit operator bool() const { return What != None; }
    static TReadError Make(Kind what, QString detail) { return {what, std::move(detail)}; }
};

// Files larger than this are refused rather than read into memory.
inline constexpr qint64 kMaxImportFileSize = qint64(512) << 20;

// The whole file, or the reason it cannot be read.
struct TFileBytes
{
    QByteArray Bytes;
    TReadError Error;
};
TFileBytes ReadWholeFile(const QString& path);

// parse(bytes) of the whole file, or a Result holding only the reason it cannot be read.
template <typename Result, typename Parse> Result ParseWholeFile(const QString& path, Parse&& parse)
{
    TFileBytes file = ReadWholeFile(path);
    if (file.Error) {
        Result result;
        result.Error = file.Error;
        return result;
    }
    return parse(file.Bytes);
}
