#include "CodePage.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace Cp1252 {

// 0x80-0x9F; the five undefined positions map to the C1 control of equal value.
static constexpr char16_t high[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t toUnicode(std::uint8_t byte)
{
    return (byte >= 0x80 && byte < 0xA0) ? high[byte - 0x80] : char16_t(byte);
}

std::uint8_t fromUnicode(char32_t ch)
{
    if (ch == 0)
        return 0;
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return std::uint8_t(ch);
    for (int i = 0; i < 32; ++i) {
        if (high[i] == ch)
            return std::uint8_t(0x80 + i);
    }
    return 0;
}

} // namespace Cp1252

namespace {

struct DriverCodePage
{
    std::uint8_t driver;
    int codePage;
};

// Language driver IDs of dBASE headers and the code pages they stand for.
constexpr DriverCodePage driverTable[] = {
    {0x01, 437},  {0x02, 850},  {0x03, 1252}, {0x1B, 437},  {0x26, 866},  {0x57, 1252}, {0x58, 1252},
    {0x59, 1252}, {0x64, 852},  {0x65, 866},  {0x66, 865},  {0x67, 861},  {0x6A, 737},  {0x6B, 857},
    {0x7D, 1255}, {0x7E, 1256}, {0xC8, 1250}, {0xC9, 1251}, {0xCA, 1254}, {0xCB, 1253},
};

// True when the bytes are valid UTF-8 and hold at least one multi-byte sequence.
bool isUtf8WithMultibyte(const char *data, qsizetype size)
{
    bool multibyte = false;
    const auto *p = reinterpret_cast<const unsigned char *>(data);
    for (qsizetype i = 0; i < size;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra;
        unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            if (c == 0xE0)
                low = 0xA0; // overlong
            if (c == 0xED)
                high = 0x9F; // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            if (c == 0xF0)
                low = 0x90;
            if (c == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (i + extra >= size)
            return false;
        if (p[i + 1] < low || p[i + 1] > high)
            return false;
        for (int k = 2; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
        }
        multibyte = true;
        i += extra + 1;
    }
    return multibyte;
}

QString decode1252(const char *data, qsizetype size)
{
    // Windows-1252 differs from Latin-1 only in 0x80-0x9F.
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(data);
    if (std::none_of(bytes, bytes + size, [](std::uint8_t b) { return b >= 0x80 && b < 0xA0; }))
        return QString::fromLatin1(data, size);
    QString text(size, Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < size; ++i)
        out[i] = QChar(Cp1252::toUnicode(std::uint8_t(data[i])));
    return text;
}

} // namespace

CodePage::CodePage(int number) : m_number(number)
{
    for (int b = 0; b < 256; ++b)
        m_upper[b] = std::uint8_t(b >= 'a' && b <= 'z' ? b - 0x20 : b);
    if (number == Windows1252 || number == Unspecified) {
        for (int b = 0xE0; b <= 0xFE; ++b) {
            if (b != 0xF7)
                m_upper[b] = std::uint8_t(b - 0x20);
        }
        m_upper[0x9A] = 0x8A;
        m_upper[0x9C] = 0x8C;
        m_upper[0x9E] = 0x8E;
        m_upper[0xFF] = 0x9F;
    }
}

CodePage CodePage::forLanguageDriver(std::uint8_t driver)
{
    for (const DriverCodePage &entry : driverTable) {
        if (entry.driver == driver)
            return CodePage(entry.codePage);
    }
    return CodePage(Unspecified);
}

QString CodePage::decode(const char *data, qsizetype size) const
{
    switch (m_number) {
    case Windows1252:
        return decode1252(data, size);
    case Unspecified:
        if (isUtf8WithMultibyte(data, size))
            return QString::fromUtf8(data, size);
        return decode1252(data, size);
    default:
        return decodeWithIconv(data, size);
    }
}

QString CodePage::decodeWithIconv(const char *data, qsizetype size) const
{
    const QByteArray from = "CP" + QByteArray::number(m_number);
    iconv_t cd = iconv_open("UTF-16LE", from.constData());
    if (cd == iconv_t(-1))
        return decode1252(data, size);
    QByteArray out(size * 4 + 4, Qt::Uninitialized);
    char *in = const_cast<char *>(data);
    size_t inLeft = size_t(size);
    char *outPtr = out.data();
    size_t outLeft = size_t(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != size_t(-1))
            break;
        if (errno == E2BIG || outLeft < 2)
            break;
        // A byte the code page leaves undefined: keep its value, go on.
        const char16_t replacement = char16_t(std::uint8_t(*in));
        std::memcpy(outPtr, &replacement, 2);
        outPtr += 2;
        outLeft -= 2;
        ++in;
        --inLeft;
    }
    iconv_close(cd);
    const qsizetype units = (outPtr - out.data()) / 2;
    return QString(reinterpret_cast<const QChar *>(out.constData()), units);
}

QString CodePage::decodeTextFile(const QByteArray &bytes)
{
    const qsizetype skip = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0; // UTF-8 byte-order mark
    return CodePage(Unspecified).decode(bytes.constData() + skip, bytes.size() - skip);
}

std::optional<char32_t> CodePage::encode(QStringView text, QByteArray &out) const
{
    out.resize(text.size());
    char *dst = out.data();
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t ch = text[i].unicode();
        if (QChar::isHighSurrogate(ch) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ch = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        }
        // Our own tables are always Windows-1252; foreign tables are only read.
        const std::uint8_t byte = Cp1252::fromUnicode(ch);
        if (byte == 0)
            return ch;
        dst[n++] = char(byte);
    }
    out.resize(n);
    return std::nullopt;
}
