#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

// Text encodings of dBASE tables. Our own tables are Windows-1252 (language
// driver 0x03); foreign tables declare their code page in header byte 29.
class CodePage
{
public:
    enum Id : std::uint16_t {
        Windows1252 = 1252,
        // Byte 29 = 0 promises nothing: tools write it for Windows-1252 and for
        // UTF-8 text alike. Values that are valid UTF-8 with non-ASCII
        // characters are taken as UTF-8, everything else as Windows-1252.
        Unspecified = 0,
    };

    // The code page declared by a header's language driver byte; unknown bytes
    // are treated like 0 (unspecified).
    static CodePage forLanguageDriver(std::uint8_t driver);
    static CodePage windows1252() { return CodePage(Windows1252); }

    int number() const { return m_number; }

    // Text files (lists, settings, import files) are UTF-8 when their bytes are
    // valid UTF-8 and Windows-1252 otherwise.
    static QString decodeTextFile(const QByteArray &bytes);

    // Decodes stored bytes. Never fails: bytes the code page leaves undefined
    // become the control character with the same value.
    QString decode(const char *data, qsizetype size) const;

    // Encodes text for storage. Answers the first character the code page cannot
    // hold, or nothing on success (out then holds the bytes).
    std::optional<char32_t> encode(QStringView text, QByteArray &out) const;

    // Upper-cases one stored byte for index keys: a-z and the accented small
    // letters of Windows-1252; other code pages only a-z.
    std::uint8_t upper(std::uint8_t byte) const { return m_upper[byte]; }

private:
    explicit CodePage(int number);
    QString decodeWithIconv(const char *data, qsizetype size) const;

    int m_number;
    std::uint8_t m_upper[256];
};

// Windows-1252 as tables, for the hot paths of our own tables.
namespace Cp1252 {
char16_t toUnicode(std::uint8_t byte);
// 0 when the character cannot be stored (NUL itself is never stored either).
std::uint8_t fromUnicode(char32_t ch);
} // namespace Cp1252
