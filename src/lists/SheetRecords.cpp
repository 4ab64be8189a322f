#include "lists/SheetRecords.h"

#include "compose/PhoneNumber.h"

#include <algorithm>
#include <cmath>

void TSheetCells::Add(int row, int column, QString text)
{
    if (text.isEmpty())
        return;
    if (!m_cells.empty()) {
        const TCell& last = m_cells.back();
        if (row < last.row || (row == last.row && column <= last.column))
            m_sorted = false;
    }
    m_cells.push_back({row, column, std::move(text)});
}

void TSheetCells::DropFromRow(int row)
{
    std::erase_if(m_cells, [row](const TCell& cell) { return cell.row >= row; });
}

QString TSheetCells::AppendRecords(TSheetLayoutRule rule, QList<TContactData>& records, qint32& nextId)
{
    if (m_cells.empty())
        return {};
    if (!m_sorted) {
        // Later cells of the same place win, as a sheet that names a cell twice shows it.
        std::stable_sort(m_cells.begin(), m_cells.end(), [](const TCell& a, const TCell& b) {
            return a.row != b.row ? a.row < b.row : a.column < b.column;
        });
        m_sorted = true;
    }
    int firstColumn = m_cells.front().column;
    int lastColumn = firstColumn;
    for (const TCell& cell : m_cells) {
        firstColumn = std::min(firstColumn, cell.column);
        lastColumn = std::max(lastColumn, cell.column);
    }
    const int firstRow = m_cells.front().row;
    const int lastRow = m_cells.back().row;
    const int width = lastColumn - firstColumn + 1;

    int layout = width;
    if (rule == TSheetLayoutRule::FirstNumberColumn) {
        for (const TCell& cell : m_cells) {
            if (cell.row != firstRow)
                break;
            if (!AcceptedPhoneNumber(cell.text).isEmpty()) {
                layout = cell.column - firstColumn + 1;
                break;
            }
        }
    }
    if (layout < 1 || layout > 3)
        return QStringLiteral("was skipped: its layout has %1 columns; only 1, 2 or 3 columns can be read")
            .arg(layout);
    if (const QString full = WorkbookFull(records); !full.isEmpty())
        return full;

    const bool trim = rule == TSheetLayoutRule::ColumnCount;
    const int last = int(std::min<qsizetype>(lastRow, firstRow + (MaxRecords - records.size()) - 1));
    records.reserve(records.size() + (last - firstRow + 1));
    auto cell = m_cells.cbegin();
    for (int row = firstRow; row <= last; ++row) {
        QString columns[3];
        for (; cell != m_cells.cend() && cell->row == row; ++cell) {
            const int at = cell->column - firstColumn;
            if (at < layout)
                columns[at] = cell->text;
        }
        TContactData record = RecordOfLayout(layout, columns, trim);
        record.ID = nextId++;
        records.append(std::move(record));
    }
    if (last < lastRow)
        return QStringLiteral("was read up to row %1: a workbook gives at most %2 rows")
            .arg(last + 1)
            .arg(MaxRecords);
    return {};
}

QString TSheetCells::WorkbookFull(const QList<TContactData>& records)
{
    if (records.size() < MaxRecords)
        return {};
    return QStringLiteral("was skipped: the sheets before it gave %1 rows, the most a workbook gives")
        .arg(MaxRecords);
}

QString SpreadsheetNumberText(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (value == std::trunc(value) && std::fabs(value) < 1e21)
        return QString::number(value, 'f', 0);
    return QString::number(value, 'g', 15);
}

QString SpreadsheetNumberText(QStringView written)
{
    const QStringView digits = written.startsWith(u'-') ? written.sliced(1) : written;
    if (!digits.isEmpty() &&
        std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return written.toString();
    bool ok = false;
    const double value = written.toDouble(&ok);
    return ok ? SpreadsheetNumberText(value) : written.toString();
}
