#pragma once

#include "app/DateFormat.h"
#include "framework/dbase/DbfHeader.h"
#include "storage/CatalogFields.h"

#include <QString>
#include <array>
#include <functional>
#include <vector>

class DbfTable;
class Settings;

// One exported field: its row of the book record (1-36) and its label in the
// header line of a text file.
struct ExportField
{
    int row;
    QString label;
};

// Writes the catalog's visible records, in cursor order (the sort order, and
// only the books of the search while one is on), to a new comma-delimited text
// file or a new dBASE table. Text values are the fields' edit texts: dates in
// the order and with the separator of the date format given but always with
// four-digit years, numbers as plain decimal text, empty fields empty. A
// dBASE table gets the exported fields under their table field names, with the
// book fields' types: C of the field's width, N(11,0) for whole numbers,
// N(20,4) for amounts, D for dates; no index.
//
// Either file is written beside its target and renamed over it only when
// complete, so that an export cancelled or failed leaves an existing file as
// it was. A file in use as a table (the open catalog, say) is never replaced.
class ExportRun
{
public:
    // Every row of the book record, in the order of the stored export positions;
    // rows that share a position or have none in 1-36 follow in book-record order.
    static std::array<int, CatalogFields::Count> orderedRows(const Settings &settings);
    // The fields marked for export, in export order, labelled by their display names.
    static std::vector<ExportField> exportList(const Settings &settings);
    static std::vector<FieldDef> tableFields(const std::vector<ExportField> &fields);

    // Told the number of records written every few hundred records and at the
    // end; answering false stops the export.
    using Progress = std::function<bool(int written)>;
    static constexpr int ProgressInterval = 512;

    ExportRun(const DbfTable &catalog, const std::vector<ExportField> &fields,
              const DateFormat &dates = DateFormat::current());
    void setProgress(Progress progress) { m_progress = std::move(progress); }

    // Each answers true when the file is written, false when the progress
    // stopped it. Failures throw Error.
    bool writeText(const QString &path, bool headerLine);
    bool writeTable(const QString &path);

private:
    struct Source
    {
        int field; // in the catalog table
        FieldKind kind;
        bool stored1252; // a C field of a Windows-1252 table, read from its bytes
    };

    template <typename WriteRecord> bool walk(WriteRecord &&writeRecord);

    const DbfTable &m_catalog;
    std::vector<ExportField> m_fields;
    std::vector<Source> m_sources;
    int m_recordLength = 0;
    DateFormat m_dates;
    Progress m_progress;
};
