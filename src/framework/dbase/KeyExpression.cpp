#include "KeyExpression.h"

#include "framework/Error.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int MaxKeyLength = 100;

// Upper-cases in place. Eight bytes at a time while they are plain ASCII (the
// common case for keys), through the code page's table otherwise.
void upper(std::uint8_t *p, int n, const CodePage &codePage)
{
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    constexpr std::uint64_t highBits = ones * 0x80;
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t x;
        std::memcpy(&x, p + i, 8);
        if (x & highBits) {
            for (int k = 0; k < 8; ++k)
                p[i + k] = codePage.upper(p[i + k]);
            continue;
        }
        // High bit of each byte: at least 'a', and above 'z'.
        const std::uint64_t atLeastA = x + ones * (0x80 - 'a');
        const std::uint64_t aboveZ = x + ones * (0x80 - 'z' - 1);
        const std::uint64_t lower = atLeastA & ~aboveZ & highBits;
        x -= lower >> 2;
        std::memcpy(p + i, &x, 8);
    }
    for (; i < n; ++i)
        p[i] = codePage.upper(p[i]);
}
constexpr int MaxScratch = 4096;

enum class Result { Character, Numeric, Date, Other };

} // namespace

struct KeyExpression::Node
{
    enum Kind { Field, Upper, Left, Str, Dtos, Concat } kind = Field;
    std::vector<std::unique_ptr<Node>> children;
    // Field
    int offset = 0;
    int width = 0;
    char fieldType = 'C';
    // Left: count; Str: length and decimals
    int count = 0;
    int length = 10;
    int decimals = 0;

    Result result = Result::Character;
    int resultLength = 0; // for character results
    int capacity = 0;     // bytes written while evaluating, intermediate results included

    int evaluate(const char *record, std::uint8_t *out, const CodePage &codePage) const
    {
        switch (kind) {
        case Field:
            std::memcpy(out, record + offset, size_t(width));
            return width;
        case Upper: {
            const int n = children[0]->evaluate(record, out, codePage);
            upper(out, n, codePage);
            return n;
        }
        case Left: {
            const Node &child = *children[0];
            if (child.kind == Field) {
                std::memcpy(out, record + child.offset, size_t(resultLength));
                return resultLength;
            }
            child.evaluate(record, out, codePage);
            return resultLength;
        }
        case Str: {
            const Node &field = *children[0];
            formatStr(record + field.offset, field.width, length, decimals, reinterpret_cast<char *>(out));
            return length;
        }
        case Dtos: {
            const char *d = record + children[0]->offset;
            const bool digits = std::all_of(d, d + 8, [](char c) { return c >= '0' && c <= '9'; });
            if (digits && std::memcmp(d, "00000000", 8) != 0)
                std::memcpy(out, d, 8);
            else
                std::memset(out, ' ', 8);
            return 8;
        }
        case Concat: {
            int pos = 0;
            for (const auto &child : children)
                pos += child->evaluate(record, out + pos, codePage);
            return pos;
        }
        }
        return 0;
    }
};

namespace {

class Parser
{
public:
    Parser(const QString &text, const std::vector<FieldDef> &fields) : m_text(text), m_fields(fields) {}

    std::unique_ptr<KeyExpression::Node> parse()
    {
        auto node = expression();
        skipBlanks();
        if (m_pos != m_text.size())
            fail(QStringLiteral("unexpected text at position %1").arg(m_pos + 1));
        return node;
    }

private:
    using Node = KeyExpression::Node;

    [[noreturn]] void fail(const QString &why) const
    {
        throw DbfError(QStringLiteral("The index expression \"%1\" cannot be used: %2.").arg(m_text, why));
    }

    void skipBlanks()
    {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace())
            ++m_pos;
    }

    bool take(QChar c)
    {
        skipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    void expect(QChar c)
    {
        if (!take(c))
            fail(QStringLiteral("\"%1\" expected at position %2").arg(c).arg(m_pos + 1));
    }

    QString identifier()
    {
        skipBlanks();
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos].unicode() < 0x80 &&
               (m_text[m_pos].isLetterOrNumber() || m_text[m_pos] == QLatin1Char('_')))
            ++m_pos;
        if (start == m_pos)
            fail(QStringLiteral("a name expected at position %1").arg(start + 1));
        return m_text.mid(start, m_pos - start);
    }

    int integer()
    {
        skipBlanks();
        const qsizetype start = m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == QLatin1Char('-'))
            ++m_pos;
        while (m_pos < m_text.size() && m_text[m_pos].isDigit() && m_pos - start < 6)
            ++m_pos;
        bool ok = false;
        const int value = m_text.mid(start, m_pos - start).toInt(&ok);
        if (!ok)
            fail(QStringLiteral("a number expected at position %1").arg(start + 1));
        return value;
    }

    std::unique_ptr<Node> expression()
    {
        auto first = term();
        if (!take(QLatin1Char('+')))
            return first;
        auto concat = std::make_unique<Node>();
        concat->kind = Node::Concat;
        concat->children.push_back(std::move(first));
        do {
            concat->children.push_back(term());
        } while (take(QLatin1Char('+')));
        int length = 0;
        int capacity = 0;
        for (const auto &child : concat->children) {
            if (child->result != Result::Character)
                fail(QStringLiteral("only character values can be joined with \"+\""));
            capacity = std::max(capacity, length + child->capacity);
            length += child->resultLength;
        }
        concat->resultLength = length;
        concat->capacity = std::max(capacity, length);
        return concat;
    }

    std::unique_ptr<Node> term()
    {
        if (take(QLatin1Char('('))) {
            auto inner = expression();
            expect(QLatin1Char(')'));
            return inner;
        }
        const QString name = identifier();
        if (!take(QLatin1Char('(')))
            return field(name);

        auto node = std::make_unique<Node>();
        const QString function = name.toUpper();
        node->children.push_back(expression());
        const Node &arg = *node->children[0];
        if (function == QLatin1String("UPPER")) {
            if (arg.result != Result::Character)
                fail(QStringLiteral("UPPER needs a character value"));
            node->kind = Node::Upper;
            node->resultLength = arg.resultLength;
            node->capacity = arg.capacity;
        } else if (function == QLatin1String("LEFT")) {
            if (arg.result != Result::Character)
                fail(QStringLiteral("LEFT needs a character value"));
            expect(QLatin1Char(','));
            node->kind = Node::Left;
            node->count = integer();
            node->resultLength = std::clamp(node->count, 0, arg.resultLength);
            node->capacity = arg.kind == Node::Field ? node->resultLength : arg.capacity;
        } else if (function == QLatin1String("STR")) {
            if (arg.kind != Node::Field || arg.result != Result::Numeric)
                fail(QStringLiteral("STR needs a numeric field"));
            node->kind = Node::Str;
            if (take(QLatin1Char(','))) {
                node->length = integer();
                if (take(QLatin1Char(',')))
                    node->decimals = integer();
            }
            if (node->length < 1 || node->length > MaxKeyLength || node->decimals < 0 || node->decimals > 18)
                fail(QStringLiteral("STR length or decimals out of range"));
            node->resultLength = node->capacity = node->length;
        } else if (function == QLatin1String("DTOS")) {
            if (arg.kind != Node::Field || arg.result != Result::Date)
                fail(QStringLiteral("DTOS needs a date field"));
            node->kind = Node::Dtos;
            node->resultLength = node->capacity = 8;
        } else {
            fail(QStringLiteral("the function %1 is not supported").arg(name));
        }
        expect(QLatin1Char(')'));
        return node;
    }

    std::unique_ptr<Node> field(const QString &name)
    {
        for (const FieldDef &f : m_fields) {
            if (f.name.compare(name, Qt::CaseInsensitive) != 0)
                continue;
            auto node = std::make_unique<Node>();
            node->kind = Node::Field;
            node->offset = f.offset;
            node->width = f.width;
            node->fieldType = f.type;
            node->capacity = f.width;
            switch (f.type) {
            case 'C':
                node->result = Result::Character;
                node->resultLength = f.width;
                break;
            case 'N':
            case 'F':
                node->result = Result::Numeric;
                break;
            case 'D':
                node->result = Result::Date;
                break;
            default:
                node->result = Result::Other;
                break;
            }
            return node;
        }
        fail(QStringLiteral("the table has no field %1").arg(name));
    }

    const QString &m_text;
    const std::vector<FieldDef> &m_fields;
    qsizetype m_pos = 0;
};

} // namespace

KeyExpression::KeyExpression(const QString &text, const std::vector<FieldDef> &fields, const CodePage &codePage)
    : m_text(text), m_codePage(codePage)
{
    Parser parser(text, fields);
    m_root = parser.parse();
    if (m_root->result != Result::Character)
        throw DbfError(
            QStringLiteral("The index expression \"%1\" cannot be used: only character keys are supported.").arg(text));
    if (m_root->resultLength < 1 || m_root->resultLength > MaxKeyLength)
        throw DbfError(QStringLiteral("The index expression \"%1\" cannot be used: its key of %2 bytes is not 1 to 100 "
                                      "bytes long.")
                           .arg(text)
                           .arg(m_root->resultLength));
    if (m_root->capacity > MaxScratch)
        throw DbfError(QStringLiteral("The index expression \"%1\" cannot be used: it is too long.").arg(text));
    m_keyLength = m_root->resultLength;
    m_scratch = m_root->capacity;
}

KeyExpression::~KeyExpression() = default;
KeyExpression::KeyExpression(KeyExpression &&) noexcept = default;
KeyExpression &KeyExpression::operator=(KeyExpression &&) noexcept = default;

void KeyExpression::evaluate(const char *record, std::uint8_t *out) const
{
    if (m_scratch <= m_keyLength) {
        m_root->evaluate(record, out, m_codePage);
        return;
    }
    std::uint8_t scratch[MaxScratch];
    m_root->evaluate(record, scratch, m_codePage);
    std::memcpy(out, scratch, size_t(m_keyLength));
}

void formatStr(const char *text, int textLength, int length, int decimals, char *out)
{
    // Parse the stored decimal text; anything unreadable counts as zero.
    int i = 0;
    while (i < textLength && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < textLength && text[i] == '-') {
        negative = true;
        ++i;
    }
    char digits[80];
    int intCount = 0;
    int fracCount = 0;
    bool valid = true;
    while (i < textLength && text[i] >= '0' && text[i] <= '9') {
        if (intCount < 40)
            digits[intCount++] = text[i];
        ++i;
    }
    char fraction[40];
    if (i < textLength && text[i] == '.') {
        ++i;
        while (i < textLength && text[i] >= '0' && text[i] <= '9') {
            if (fracCount < 40)
                fraction[fracCount++] = text[i];
            ++i;
        }
    }
    while (i < textLength && text[i] == ' ')
        ++i;
    if (i != textLength)
        valid = false;
    if (!valid) {
        intCount = fracCount = 0;
        negative = false;
    }
    // Strip leading zeros of the integer part.
    int lead = 0;
    while (lead < intCount && digits[lead] == '0')
        ++lead;

    for (int dec = decimals;; --dec) {
        // Round to `dec` decimals, half away from zero, on the digit text.
        char number[96];
        int n = 0;
        for (int k = lead; k < intCount; ++k)
            number[n++] = digits[k];
        const int intDigits = n;
        for (int k = 0; k < dec; ++k)
            number[n++] = k < fracCount ? fraction[k] : '0';
        int carryInto = n;
        bool roundUp = dec < fracCount && fraction[dec] >= '5';
        int extra = 0;
        if (roundUp) {
            int k = carryInto - 1;
            while (k >= 0 && number[k] == '9') {
                number[k] = '0';
                --k;
            }
            if (k >= 0) {
                ++number[k];
            } else {
                std::memmove(number + 1, number, size_t(n));
                number[0] = '1';
                ++n;
                extra = 1;
            }
        }
        const int wholeDigits = intDigits + extra;
        const bool allZero = std::all_of(number, number + n, [](char c) { return c == '0'; });
        const bool sign = negative && !allZero;
        const int wholeWidth = (sign ? 1 : 0) + std::max(wholeDigits, 1);
        if (wholeWidth > length) {
            std::memset(out, '*', size_t(length));
            return;
        }
        const int total = wholeWidth + (dec > 0 ? dec + 1 : 0);
        if (total > length && dec > 0)
            continue; // only the decimals do not fit: fewer of them
        // Right-align the result.
        char result[128];
        int r = 0;
        if (sign)
            result[r++] = '-';
        if (wholeDigits == 0)
            result[r++] = '0';
        for (int k = 0; k < wholeDigits; ++k)
            result[r++] = number[k];
        if (dec > 0) {
            result[r++] = '.';
            for (int k = 0; k < dec; ++k)
                result[r++] = number[wholeDigits + k];
        }
        std::memset(out, ' ', size_t(length - r));
        std::memcpy(out + (length - r), result, size_t(r));
        return;
    }
}
