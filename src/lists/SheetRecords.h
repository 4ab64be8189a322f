#pragma once

#include "lists/ListRecords.h"

#include <vector>

// How the column layout of a worksheet is found.
enum class TSheetLayoutRule
{
    // .xls: the first column whose first-row value is an acceptable number, else the column count.
    FirstNumberColumn,
    // .xlsx: the column count.
    ColumnCount,
};

// The non-empty cells of one worksheet. Rows and columns count from 0; the sheet's used range
// is the smallest rectangle holding every cell.
class TSheetCells
{
public:
    // Excel's own limits: a cell beyond them is a corrupt sheet.
    static constexpr int MaxRows = 1048576;
    static constexpr int MaxColumns = 16384;
    // A workbook gives at most as many records as one sheet has rows, so a small file whose
    // sheets each span a million empty rows cannot fill the memory.
    static constexpr qsizetype MaxRecords = MaxRows;

    // Why no further sheet is read once records holds MaxRecords, as a phrase after the sheet's
    // name; empty while there is room.
    static QString WorkbookFull(const QList<TContactData>& records);

    void Add(int row, int column, QString text);
    // Forgets the cells of row and of every row after it (a sheet that failed there).
    void DropFromRow(int row);
    bool IsEmpty() const { return m_cells.empty(); }
    qsizetype Size() const { return qsizetype(m_cells.size()); }

    // Appends one record per row of the used range with the running ID from nextId, by the
    // layout the rule finds, up to MaxRecords in records. Answers why the sheet was skipped or
    // cut short, as a phrase after the sheet's name (empty when it was read whole).
    QString AppendRecords(TSheetLayoutRule rule, QList<TContactData>& records, qint32& nextId);

private:
    struct TCell
    {
        int row;
        int column;
        QString text;
    };
    std::vector<TCell> m_cells;
    bool m_sorted = true;
};

// The digits a user typed for a number a spreadsheet holds as a value: integral values as plain
// digits (never "3.93e+11"), others in general format with up to 15 significant digits.
QString SpreadsheetNumberText(double value);
// The same for a number written as text in the file ("393331234567", "3.93331234567E+11").
QString SpreadsheetNumberText(QStringView written);
