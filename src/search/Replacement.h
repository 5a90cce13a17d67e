#pragma once

#include <QDate>
#include <QString>
#include <functional>
#include <optional>

class DbfRecord;
class DbfTable;

// One value of one field replaced by another in every record of a table that
// holds exactly that value: text compared whole and without regard to case,
// numbers and dates by value.
class Replacement
{
public:
    enum class Kind { Text, Number, Date };

    // What the user asked for, checked; construction throws nothing, `valid()`
    // says whether the values could be read.
    static Replacement text(int field, const QString &search, const QString &replacement);
    static Replacement number(int field, double search, double replacement);
    static Replacement date(int field, const QDate &search, const QDate &replacement);

    Kind kind() const { return m_kind; }
    int field() const { return m_field; }

    bool matches(const DbfTable &table, const DbfRecord &record) const;

    struct Counts
    {
        int processed = 0;
        int found = 0;
        int changed = 0;
    };
    // Visits the table's visible records in cursor order. For each match,
    // `confirm` (when given) decides whether it is changed; `progress` sees the
    // counts after every record. The changes are written in one bulk update.
    // Failures throw Error; `counts` then tells how far the run came, and the
    // books it counts as changed are stored.
    void run(DbfTable &table, Counts &counts, const std::function<bool(const DbfRecord &)> &confirm,
             const std::function<void(const Counts &)> &progress) const;

private:
    Kind m_kind = Kind::Text;
    int m_field = 0;
    QByteArray m_searchBytes; // upper-cased, in the table's code page
    bool m_searchStorable = true;
    QString m_replacementText;
    double m_searchNumber = 0;
    double m_replacementNumber = 0;
    QDate m_searchDate;
    QDate m_replacementDate;
};

// Reads a number typed with "." as the decimal point, whatever the locale.
std::optional<double> readPlainNumber(const QString &text);
