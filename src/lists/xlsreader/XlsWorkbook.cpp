#include "lists/xlsreader/XlsWorkbook.h"

#include "lists/SheetRecords.h"

#include <QFile>
#include <QFileInfo>
#include <freexl.h>

namespace {
class TFreeXlHandle
{
public:
    ~TFreeXlHandle()
    {
        if (m_handle)
            freexl_close(m_handle);
    }
    const void** Out() { return &m_handle; }
    const void* Get() const { return m_handle; }

private:
    const void* m_handle = nullptr;
};

QString CellText(const FreeXL_CellValue& cell)
{
    switch (cell.type) {
    case FREEXL_CELL_INT:
        return QString::number(cell.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return SpreadsheetNumberText(cell.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        return cell.value.text_value ? QString::fromUtf8(cell.value.text_value) : QString();
    default:
        return {};
    }
}

QString SheetName(const void* handle, unsigned short index)
{
    const char* name = nullptr;
    if (freexl_get_worksheet_name(handle, index, &name) == FREEXL_OK && name)
        return QString::fromUtf8(name);
    return QStringLiteral("#%1").arg(index + 1);
}
} // namespace

TListFileRecords ReadXlsWorkbook(const QString& path)
{
    TListFileRecords read;
    if (!QFileInfo(path).isFile() || !QFile(path).open(QIODevice::ReadOnly)) {
        read.Error = TReadError::Make(TReadError::CannotOpen, QStringLiteral("the file cannot be opened"));
        return read;
    }
    TFreeXlHandle xls;
    const int opened = freexl_open(QFile::encodeName(path).constData(), xls.Out());
    if (opened != FREEXL_OK) {
        read.Error = TReadError::Make(
            TReadError::BadSpreadsheet,
            QStringLiteral("not a readable Excel 97-2003 workbook (FreeXL error %1)").arg(opened));
        return read;
    }
    unsigned int password = FREEXL_BIFF_PLAIN;
    unsigned int sheets = 0;
    if (freexl_get_info(xls.Get(), FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK &&
        password == FREEXL_BIFF_OBFUSCATED) {
        read.Error = TReadError::Make(TReadError::BadSpreadsheet,
                                      QStringLiteral("the workbook is password-protected"));
        return read;
    }
    if (freexl_get_info(xls.Get(), FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK) {
        read.Error =
            TReadError::Make(TReadError::BadSpreadsheet, QStringLiteral("the workbook lists no worksheets"));
        return read;
    }
    qint32 nextId = 1;
    for (unsigned short s = 0; s < sheets; ++s) {
        const QString name = SheetName(xls.Get(), s);
        if (const QString full = TSheetCells::WorkbookFull(read.Records); !full.isEmpty()) {
            read.Warnings.append(QStringLiteral("sheet \"%1\" %2").arg(name, full));
            continue;
        }
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (freexl_select_active_worksheet(xls.Get(), s) != FREEXL_OK ||
            freexl_worksheet_dimensions(xls.Get(), &rows, &columns) != FREEXL_OK) {
            read.Warnings.append(QStringLiteral("sheet \"%1\" cannot be read and was skipped").arg(name));
            continue;
        }
        TSheetCells cells;
        QString failure;
        for (unsigned int r = 0; r < rows && failure.isEmpty(); ++r) {
            for (unsigned short c = 0; c < columns; ++c) {
                FreeXL_CellValue cell;
                const int got = freexl_get_cell_value(xls.Get(), r, c, &cell);
                if (got != FREEXL_OK) {
                    failure = QStringLiteral("row %1 cannot be read (FreeXL error %2)").arg(r + 1).arg(got);
                    cells.DropFromRow(int(r));
                    break;
                }
                cells.Add(int(r), int(c), CellText(cell));
            }
        }
        if (!failure.isEmpty())
            read.Warnings.append(
                QStringLiteral("sheet \"%1\": %2; the rows after it were skipped").arg(name, failure));
        const QString skipped =
            cells.AppendRecords(TSheetLayoutRule::FirstNumberColumn, read.Records, nextId);
        if (!skipped.isEmpty())
            read.Warnings.append(QStringLiteral("sheet \"%1\" %2").arg(name, skipped));
    }
    return read;
}
