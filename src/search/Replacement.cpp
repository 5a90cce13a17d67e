#include "Replacement.h"

#include "framework/dbase/DbfTable.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

Replacement Replacement::text(int field, const QString &search, const QString &replacement)
{
    Replacement r;
    r.m_kind = Kind::Text;
    r.m_field = field;
    QByteArray bytes;
    r.m_searchStorable = !CodePage::windows1252().encode(search, bytes).has_value();
    const CodePage codePage = CodePage::windows1252();
    for (char &c : bytes)
        c = char(codePage.upper(std::uint8_t(c)));
    r.m_searchBytes = bytes;
    r.m_replacementText = replacement;
    return r;
}

Replacement Replacement::number(int field, double search, double replacement)
{
    Replacement r;
    r.m_kind = Kind::Number;
    r.m_field = field;
    r.m_searchNumber = search;
    r.m_replacementNumber = replacement;
    return r;
}

Replacement Replacement::date(int field, const QDate &search, const QDate &replacement)
{
    Replacement r;
    r.m_kind = Kind::Date;
    r.m_field = field;
    r.m_searchDate = search;
    r.m_replacementDate = replacement;
    return r;
}

bool Replacement::matches(const DbfTable &table, const DbfRecord &record) const
{
    switch (m_kind) {
    case Kind::Number: {
        const auto value = record.number(m_field);
        return value.value_or(0) == m_searchNumber;
    }
    case Kind::Date:
        return record.date(m_field) == m_searchDate;
    case Kind::Text:
        break;
    }
    if (!m_searchStorable)
        return false;
    // The whole value, upper-cased, trailing blanks aside.
    const FieldDef &f = table.fields()[std::size_t(m_field)];
    const char *p = record.data() + f.offset;
    int length = f.width;
    while (length > 0 && (p[length - 1] == ' ' || p[length - 1] == '\0'))
        --length;
    if (length != m_searchBytes.size())
        return false;
    const CodePage &codePage = table.codePage();
    for (int i = 0; i < length; ++i) {
        if (char(codePage.upper(std::uint8_t(p[i]))) != m_searchBytes[i])
            return false;
    }
    return true;
}

void Replacement::run(DbfTable &table, Counts &counts, const std::function<bool(const DbfRecord &)> &confirm,
                      const std::function<void(const Counts &)> &progress) const
{
    counts = Counts();
    // The matches first, then the changes: changing a record may move it in the
    // cursor order, and every record is visited once.
    std::vector<std::uint32_t> matches;
    table.forEachRow([&](int row, const DbfRecord &record) {
        if (this->matches(table, record))
            matches.push_back(table.recordAtRow(row));
    });
    const int total = table.recordCount();
    table.beginBulkUpdate();
    try {
        std::size_t next = 0;
        for (int row = 0; row < total; ++row) {
            ++counts.processed;
            const std::uint32_t recno = table.recordAtRow(row);
            if (next < matches.size() && matches[next] == recno) {
                ++next;
                ++counts.found;
                if (!confirm || confirm(table.physicalRecord(recno))) {
                    table.edit(recno);
                    switch (m_kind) {
                    case Kind::Text:
                        table.setText(m_field, m_replacementText);
                        break;
                    case Kind::Number:
                        table.setNumber(m_field, m_replacementNumber);
                        break;
                    case Kind::Date:
                        table.setDate(m_field, m_replacementDate);
                        break;
                    }
                    table.post();
                    ++counts.changed;
                }
            }
            if (progress)
                progress(counts);
        }
    } catch (...) {
        // The books posted stay changed; the one being changed is left as it was.
        table.cancel();
        table.endBulkUpdate();
        throw;
    }
    table.endBulkUpdate();
}

std::optional<double> readPlainNumber(const QString &text)
{
    const QByteArray ascii = text.trimmed().toLatin1();
    if (ascii.isEmpty())
        return std::nullopt;
    const char *begin = ascii.constData() + (ascii.startsWith('+') ? 1 : 0);
    double value = 0;
    const auto result = std::from_chars(begin, ascii.constData() + ascii.size(), value);
    if (result.ec != std::errc() || result.ptr != ascii.constData() + ascii.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}
