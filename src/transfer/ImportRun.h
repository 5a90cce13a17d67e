#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class DbfRecord;
class DbfTable;

// One import: the records of a comma-delimited text or of a dBASE table
// appended to the catalog table in one bulk update, each source field stored
// in the book field the mapping names, converted by that field's kind. Values
// that do not convert leave their field empty; what was repaired is counted.
// Every record appended is posted, also when the run is cancelled or fails.
class ImportRun
{
public:
    // What the import had to repair, for the completion message.
    struct Repairs
    {
        int malformedLines = 0;    // quotes missing or out of place
        int overfullLines = 0;     // more values than the first line
        int unreadableNumbers = 0; // whole numbers
        int unreadableAmounts = 0;
        int unreadableDates = 0;
        int replacedValues = 0; // characters the catalog cannot hold, stored as "?"
    };

    // Called every ProgressStride books with the number imported so far;
    // answering false ends the run after the books already posted.
    using Progress = std::function<bool(int imported)>;
    static constexpr int ProgressStride = 256;

    // `mapping[i]` is the book row (1-36) that source field i fills, or -1.
    ImportRun(DbfTable &catalog, std::vector<int> mapping);
    void setProgress(Progress progress) { m_progress = std::move(progress); }

    // Every line of the text is one book, except empty lines and, with
    // `skipFirst`, the first line.
    void importText(QByteArrayView bytes, bool skipFirst);
    // Every record of the table that is not deleted is one book.
    void importTable(const DbfTable &source);

    int imported() const { return m_imported; }
    bool cancelled() const { return m_cancelled; }
    const Repairs &repairs() const { return m_repairs; }

    // The mapping the import grid shows: source field i fills the first of the
    // book rows 1-36 whose grid row names it, when that row's "USE" is "Yes".
    // `gridNames` and `gridUse` hold the grid's rows from book row 1 on.
    static std::vector<int> mappingFromGrid(const QStringList &sourceNames, const QStringList &gridNames,
                                            const QStringList &gridUse);

    // What was repaired, one sentence a line; empty when nothing was.
    static QString repairSummary(const Repairs &repairs);

private:
    template <typename Fill> void run(Fill &&fill);
    bool posted();
    void storeText(int row, QStringView value);
    void storeTableValue(int row, const DbfRecord &record, char type, int field);
    void storeWhole(int field, QStringView value);
    void storeAmount(int field, QStringView value);
    void storeDateText(int field, QStringView value);
    void storeDate(int field, const QDate &date);
    bool storeNumber(int field, double value);

    DbfTable &m_catalog;
    std::vector<int> m_mapping;
    std::vector<int> m_fields; // engine field of each book row, by row - 1
    QDate m_today;             // two-digit years go to the century nearest it
    Progress m_progress;
    int m_imported = 0;
    bool m_cancelled = false;
    Repairs m_repairs;
    QString m_scratch;
};
