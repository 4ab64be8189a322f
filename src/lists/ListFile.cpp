#include "lists/ListFile.h"

#include "lists/SpreadsheetReaders.h"
#include "lists/TextListReader.h"

#include <QFileInfo>

TListFileKind ListFileKindOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toUpper();
    if (suffix == u"CSV" || suffix == u"TXT")
        return TListFileKind::Text;
    if (suffix == u"XLS")
        return TListFileKind::Xls;
    if (suffix == u"XLSX")
        return TListFileKind::Xlsx;
    return TListFileKind::Unsupported;
}

TListFileRecords ReadListFile(const QString& path)
{
    switch (ListFileKindOf(path)) {
    case TListFileKind::Text:
        return ReadTextListFile(path);
    case TListFileKind::Xls:
        return ReadXlsList(path);
    case TListFileKind::Xlsx:
        return ReadXlsxList(path);
    case TListFileKind::Unsupported:
        break;
    }
    TListFileRecords read;
    read.Error = TReadError::Make(TReadError::Unsupported,
                                  QStringLiteral("only .csv, .txt, .xls and .xlsx files can be imported"));
    return read;
}
