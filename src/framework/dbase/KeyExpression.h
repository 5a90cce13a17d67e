#pragma once

#include "CodePage.h"
#include "DbfHeader.h"

#include <QString>
#include <memory>
#include <vector>

// An index key expression over the fields of one table, in the dBASE dialect
// the catalog uses: field names, UPPER(x), LEFT(x,n), STR(n[,len[,dec]]),
// DTOS(d) and concatenation with "+". Names are matched without regard to case.
// The result is a character key of fixed length, computed straight from the
// stored record bytes.
class KeyExpression
{
public:
    // Throws DbfError when the text is not an expression of this dialect, names
    // a field the table does not have, or yields no character key of 1-100 bytes.
    KeyExpression(const QString &text, const std::vector<FieldDef> &fields, const CodePage &codePage);
    ~KeyExpression();
    KeyExpression(KeyExpression &&) noexcept;
    KeyExpression &operator=(KeyExpression &&) noexcept;

    const QString &text() const { return m_text; }
    int keyLength() const { return m_keyLength; }

    // Writes the key of `record` (a whole record, deleted flag first) into out,
    // exactly keyLength() bytes, padded with blanks.
    void evaluate(const char *record, std::uint8_t *out) const;

    struct Node;

private:
    QString m_text;
    std::unique_ptr<Node> m_root;
    int m_keyLength = 0;
    int m_scratch = 0; // room that evaluation needs beyond the key
    CodePage m_codePage;
};

// dBASE STR(): `text` is the stored number, the result exactly `length`
// characters, rounded half away from zero on the decimal digits; decimals are
// reduced when only they do not fit, and the result is asterisks when the
// integer part does not. Exposed for tests.
void formatStr(const char *text, int textLength, int length, int decimals, char *out);
