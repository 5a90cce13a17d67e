#pragma once

#include <QDate>
#include <QString>
#include <cstdint>
#include <vector>

// One field of a dBASE table: name (at most 10 characters), type letter
// (C, N, F, D, L or M), width in bytes and decimal count.
struct FieldDef
{
    QString name;
    char type = 'C';
    int width = 0;
    int decimals = 0;
    int offset = 0; // position in the record, after the deleted flag (filled in by the header)

    static FieldDef text(const QString &name, int width) { return {name, 'C', width, 0, 0}; }
    static FieldDef number(const QString &name, int width, int decimals) { return {name, 'N', width, decimals, 0}; }
    static FieldDef date(const QString &name) { return {name, 'D', 8, 0, 0}; }
};

// The header of a dBASE III/IV table file (.DBF):
//
//   [32-byte header][n x 32-byte field descriptors][0x0D][records...][0x1A]
//
//   header:      0 version, 1-3 last update (Y-1900, M, D), 4-7 record count,
//                8-9 header length, 10-11 record length, 15 encryption flag,
//                28 flags (0x01 = production .MDX), 29 language driver
//   descriptor:  0-10 name (NUL padded), 11 type, 16 width, 17 decimals,
//                31 production-index field flag
//   record:      1 flag byte (' ' live, '*' deleted), then the fields in order
//
// All integers little-endian.
struct DbfHeader
{
    static constexpr int HeaderSize = 32;
    static constexpr int DescriptorSize = 32;
    static constexpr int CountOffset = 4;
    static constexpr int FlagsOffset = 28;
    static constexpr int DriverOffset = 29;
    static constexpr std::uint8_t MdxFlag = 0x01;
    static constexpr std::uint8_t Windows1252Driver = 0x03;
    static constexpr char LiveFlag = ' ';
    static constexpr char DeletedFlag = '*';
    static constexpr char EndOfFile = 0x1A;

    std::uint8_t version = 0x03;
    QDate lastUpdate;
    std::uint32_t storedCount = 0; // as the header says; may exceed what the file holds
    std::uint32_t count = 0;       // records actually present in the file
    std::uint16_t headerLength = 0;
    std::uint16_t recordLength = 0;
    std::uint8_t flags = 0;
    std::uint8_t languageDriver = Windows1252Driver;
    std::vector<FieldDef> fields;

    bool hasMemo() const;

    // Reads and checks a header. `data` holds at least min(fileSize, the
    // header length) bytes of the file. Throws DbfError saying what is wrong.
    static DbfHeader parse(const std::uint8_t *data, std::size_t available, std::uint64_t fileSize);

    // A new table's header: version 0x03, Windows-1252, no records, today's date.
    static DbfHeader forNewTable(std::vector<FieldDef> fields);

    // Header and descriptors followed by the 0x0D terminator.
    QByteArray serialize() const;
};

void writeLittleEndian32(std::uint8_t *p, std::uint32_t value);
std::uint32_t readLittleEndian32(const std::uint8_t *p);
std::uint16_t readLittleEndian16(const std::uint8_t *p);
