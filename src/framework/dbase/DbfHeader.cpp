#include "DbfHeader.h"

#include "framework/Error.h"

#include <cstring>

std::uint32_t readLittleEndian32(const std::uint8_t *p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

std::uint16_t readLittleEndian16(const std::uint8_t *p)
{
    return std::uint16_t(p[0] | p[1] << 8);
}

void writeLittleEndian32(std::uint8_t *p, std::uint32_t value)
{
    p[0] = std::uint8_t(value);
    p[1] = std::uint8_t(value >> 8);
    p[2] = std::uint8_t(value >> 16);
    p[3] = std::uint8_t(value >> 24);
}

namespace {

bool validName(const QString &name)
{
    if (name.isEmpty() || name.size() > 10)
        return false;
    for (QChar c : name) {
        if (c.unicode() > 0x7F || !(c.isLetterOrNumber() || c == QLatin1Char('_')))
            return false;
    }
    return true;
}

} // namespace

bool DbfHeader::hasMemo() const
{
    for (const FieldDef &f : fields) {
        if (f.type == 'M')
            return true;
    }
    return false;
}

DbfHeader DbfHeader::parse(const std::uint8_t *data, std::size_t available, std::uint64_t fileSize)
{
    if (fileSize < HeaderSize || available < HeaderSize)
        throw DbfError(QStringLiteral("The file is too short to be a dBASE table (%1 bytes).").arg(fileSize));

    DbfHeader h;
    h.version = data[0];
    if ((h.version & 0x07) != 3) {
        throw DbfError(QStringLiteral("The file is not a dBASE III or IV table (version byte 0x%1).")
                           .arg(h.version, 2, 16, QLatin1Char('0')));
    }
    if (data[15] != 0)
        throw DbfError(QStringLiteral("The table is encrypted."));
    int year = data[1];
    if (year < 80)
        year += 100; // some writers store a two-digit year (26 for 2026)
    h.lastUpdate = QDate(1900 + year, data[2], data[3]);
    h.storedCount = readLittleEndian32(data + CountOffset);
    h.headerLength = readLittleEndian16(data + 8);
    h.recordLength = readLittleEndian16(data + 10);
    h.flags = data[FlagsOffset];
    h.languageDriver = data[DriverOffset];

    if (h.headerLength < HeaderSize + DescriptorSize + 1)
        throw DbfError(
            QStringLiteral("The header length (%1) is too small for a table with fields.").arg(h.headerLength));
    if (h.headerLength > fileSize || h.headerLength > available)
        throw DbfError(QStringLiteral("The header length (%1) does not fit the file (%2 bytes).")
                           .arg(h.headerLength)
                           .arg(fileSize));
    if (h.recordLength < 2)
        throw DbfError(QStringLiteral("The record length (%1) is too small.").arg(h.recordLength));

    int pos = HeaderSize;
    int offset = 1;
    bool terminated = false;
    while (pos < h.headerLength) {
        if (data[pos] == 0x0D) {
            terminated = true;
            break;
        }
        if (pos + DescriptorSize > h.headerLength)
            break;
        const std::uint8_t *d = data + pos;
        FieldDef f;
        const auto nameBytes = reinterpret_cast<const char *>(d);
        f.name = QString::fromLatin1(nameBytes, qsizetype(strnlen(nameBytes, 11)));
        f.type = char(d[11]);
        f.width = d[16];
        f.decimals = d[17];
        f.offset = offset;
        const int number = int(h.fields.size()) + 1;
        if (!validName(f.name))
            throw DbfError(QStringLiteral("Field %1 has an invalid name.").arg(number));
        if (f.width == 0)
            throw DbfError(QStringLiteral("Field %1 (%2) has width 0.").arg(f.name).arg(number));
        switch (f.type) {
        case 'C':
            f.decimals = 0;
            break;
        case 'N':
        case 'F':
            if (f.width > 32 || (f.decimals > 0 && f.decimals >= f.width))
                throw DbfError(QStringLiteral("Field %1 has an invalid numeric size (%2,%3).")
                                   .arg(f.name)
                                   .arg(f.width)
                                   .arg(f.decimals));
            break;
        case 'D':
            if (f.width != 8)
                throw DbfError(QStringLiteral("Date field %1 has width %2 instead of 8.").arg(f.name).arg(f.width));
            break;
        case 'L':
            if (f.width != 1)
                throw DbfError(QStringLiteral("Logical field %1 has width %2 instead of 1.").arg(f.name).arg(f.width));
            break;
        case 'M':
            if (f.width != 10)
                throw DbfError(QStringLiteral("Memo field %1 has width %2 instead of 10.").arg(f.name).arg(f.width));
            break;
        default:
            throw DbfError(QStringLiteral("Field %1 has the type '%2', which is not supported.")
                               .arg(f.name)
                               .arg(QChar::fromLatin1(f.type)));
        }
        offset += f.width;
        h.fields.push_back(f);
        pos += DescriptorSize;
    }
    if (!terminated)
        throw DbfError(QStringLiteral("The field list has no end marker (0x0D) within the header."));
    if (h.fields.empty())
        throw DbfError(QStringLiteral("The table has no fields."));
    if (offset > h.recordLength)
        throw DbfError(
            QStringLiteral("The record length (%1) is shorter than its fields (%2).").arg(h.recordLength).arg(offset));

    const std::uint64_t room = (fileSize - h.headerLength) / h.recordLength;
    h.count = std::uint32_t(std::min<std::uint64_t>(room, h.storedCount));
    return h;
}

DbfHeader DbfHeader::forNewTable(std::vector<FieldDef> fields)
{
    if (fields.empty() || fields.size() > 255)
        throw DbfError(QStringLiteral("A table needs between 1 and 255 fields."));
    DbfHeader h;
    h.lastUpdate = QDate::currentDate();
    int offset = 1;
    for (FieldDef &f : fields) {
        if (!validName(f.name))
            throw DbfError(QStringLiteral("\"%1\" is not a valid field name.").arg(f.name));
        f.name = f.name.toUpper();
        const bool sizeOk = (f.type == 'C' && f.width >= 1 && f.width <= 254) ||
                            ((f.type == 'N' || f.type == 'F') && f.width >= 1 && f.width <= 20 &&
                             (f.decimals == 0 || f.decimals <= f.width - 2)) ||
                            (f.type == 'D' && f.width == 8) || (f.type == 'L' && f.width == 1);
        if (!sizeOk)
            throw DbfError(QStringLiteral("Field %1 has an invalid type or size.").arg(f.name));
        f.offset = offset;
        offset += f.width;
    }
    if (offset > 4000)
        throw DbfError(QStringLiteral("The record would be longer than 4000 bytes."));
    h.fields = std::move(fields);
    h.headerLength = std::uint16_t(HeaderSize + DescriptorSize * h.fields.size() + 1);
    h.recordLength = std::uint16_t(offset);
    return h;
}

QByteArray DbfHeader::serialize() const
{
    QByteArray bytes(headerLength, '\0');
    auto *p = reinterpret_cast<std::uint8_t *>(bytes.data());
    p[0] = version;
    p[1] = std::uint8_t(lastUpdate.year() - 1900);
    p[2] = std::uint8_t(lastUpdate.month());
    p[3] = std::uint8_t(lastUpdate.day());
    writeLittleEndian32(p + CountOffset, storedCount);
    p[8] = std::uint8_t(headerLength);
    p[9] = std::uint8_t(headerLength >> 8);
    p[10] = std::uint8_t(recordLength);
    p[11] = std::uint8_t(recordLength >> 8);
    p[FlagsOffset] = flags;
    p[DriverOffset] = languageDriver;
    int pos = HeaderSize;
    for (const FieldDef &f : fields) {
        const QByteArray name = f.name.toLatin1();
        std::memcpy(p + pos, name.constData(), size_t(name.size()));
        p[pos + 11] = std::uint8_t(f.type);
        p[pos + 16] = std::uint8_t(f.width);
        p[pos + 17] = std::uint8_t(f.decimals);
        pos += DescriptorSize;
    }
    p[pos] = 0x0D;
    return bytes;
}
