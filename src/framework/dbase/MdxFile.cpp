#include "MdxFile.h"

#include "DbfHeader.h"
#include "PosixFile.h"
#include "framework/Error.h"

#include <QDate>
#include <algorithm>
#include <cstring>
#include <fcntl.h>

namespace {

constexpr int PageBytes = 512;
constexpr int TagTableOffset = 544;
constexpr int TagEntryBytes = 32;
constexpr int MaxTags = 47;
constexpr int MaxDepth = 32;
constexpr int FirstNodePage = 6; // pages 0-3 header and tag table, 4-5 the tag header

QString cString(const std::uint8_t *p, std::size_t capacity)
{
    const auto *c = reinterpret_cast<const char *>(p);
    return QString::fromLatin1(c, qsizetype(strnlen(c, capacity)));
}

void putDate(std::uint8_t *p, const QDate &date)
{
    p[0] = std::uint8_t(date.year() - 1900);
    p[1] = std::uint8_t(date.month());
    p[2] = std::uint8_t(date.day());
}

void putLittleEndian16(std::uint8_t *p, int value)
{
    p[0] = std::uint8_t(value);
    p[1] = std::uint8_t(value >> 8);
}

} // namespace

MdxReader::MdxReader(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size)
{
    if (size < std::size_t(TagTableOffset + TagEntryBytes))
        throw DbfError(QStringLiteral("The index file is too short (%1 bytes).").arg(size));
    const int blockPages = readLittleEndian16(data + 20);
    m_blockBytes = readLittleEndian16(data + 22);
    if (m_blockBytes < 1024 || m_blockBytes > 32768 || m_blockBytes != blockPages * PageBytes)
        throw DbfError(QStringLiteral("The index file has an invalid block size (%1 bytes in %2 pages).")
                           .arg(m_blockBytes)
                           .arg(blockPages));
    const int tagCount = readLittleEndian16(data + 28);
    if (tagCount > MaxTags)
        throw DbfError(QStringLiteral("The index file claims %1 tags; at most 47 are possible.").arg(tagCount));
    if (size < std::size_t(TagTableOffset + tagCount * TagEntryBytes))
        throw DbfError(QStringLiteral("The index file's tag table is cut off."));
    m_tableName = cString(data + 4, 16);

    for (int i = 0; i < tagCount; ++i) {
        const std::uint8_t *entry = data + TagTableOffset + i * TagEntryBytes;
        MdxTag tag;
        tag.headerPage = readLittleEndian32(entry);
        tag.name = cString(entry + 4, 11);
        const std::uint64_t headerOffset = std::uint64_t(tag.headerPage) * PageBytes;
        if (tag.headerPage < 4 || headerOffset + 1024 > size)
            throw DbfError(QStringLiteral("Tag %1 of the index points outside the file (page %2).")
                               .arg(i + 1)
                               .arg(tag.headerPage));
        const std::uint8_t *h = data + headerOffset;
        tag.rootPage = readLittleEndian32(h);
        tag.descending = (h[8] & 0x08) != 0;
        tag.unique = (h[8] & 0x40) != 0 || h[23] != 0;
        tag.keyType = char(h[9]);
        tag.keyLength = readLittleEndian16(h + 12);
        tag.maxKeys = readLittleEndian16(h + 14);
        tag.itemLength = readLittleEndian16(h + 18);
        if (std::memchr(h + 24, 0, 221) == nullptr)
            throw DbfError(QStringLiteral("The expression of index tag %1 is not terminated.").arg(tag.name));
        tag.expression = cString(h + 24, 221);
        if (h[245] != 0)
            tag.forExpression = cString(h + 762, 220);

        const bool keyOk = (tag.keyType == 'C' && tag.keyLength >= 1 && tag.keyLength <= 100) ||
                           (tag.keyType == 'N' && tag.keyLength == 12) || (tag.keyType == 'D' && tag.keyLength == 8);
        if (!keyOk)
            throw DbfError(QStringLiteral("Index tag %1 has an invalid key (type %2, length %3).")
                               .arg(tag.name)
                               .arg(QChar::fromLatin1(tag.keyType))
                               .arg(tag.keyLength));
        if (tag.itemLength < tag.keyLength + 4 || tag.maxKeys < 2 || 12 + tag.maxKeys * tag.itemLength > m_blockBytes)
            throw DbfError(QStringLiteral("Index tag %1 has an invalid node layout.").arg(tag.name));
        const std::uint64_t rootOffset = std::uint64_t(tag.rootPage) * PageBytes;
        if (tag.rootPage < 4 || rootOffset + std::uint64_t(m_blockBytes) > size)
            throw DbfError(QStringLiteral("Index tag %1 has its root outside the file (page %2).")
                               .arg(tag.name)
                               .arg(tag.rootPage));
        m_tags.push_back(tag);
    }
}

const MdxTag *MdxReader::tag(const QString &name) const
{
    for (const MdxTag &t : m_tags) {
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

void MdxReader::walk(const MdxTag &tag,
                     const std::function<void(std::uint32_t record, const std::uint8_t *key)> &visit) const
{
    const std::size_t pages = m_size / PageBytes;
    std::vector<bool> seen(pages, false);
    struct Frame
    {
        std::uint32_t page;
        int depth;
    };
    std::vector<Frame> stack{{tag.rootPage, 0}};
    while (!stack.empty()) {
        const Frame frame = stack.back();
        stack.pop_back();
        const std::uint64_t offset = std::uint64_t(frame.page) * PageBytes;
        if (frame.page < 4 || offset + std::uint64_t(m_blockBytes) > m_size)
            throw DbfError(
                QStringLiteral("Index tag %1 points outside the file (page %2).").arg(tag.name).arg(frame.page));
        if (seen[frame.page])
            throw DbfError(QStringLiteral("The tree of index tag %1 contains a loop (page %2 is reached twice).")
                               .arg(tag.name)
                               .arg(frame.page));
        seen[frame.page] = true;
        if (frame.depth > MaxDepth)
            throw DbfError(QStringLiteral("The tree of index tag %1 is too deep.").arg(tag.name));

        const std::uint8_t *node = m_data + offset;
        const std::uint32_t keys = readLittleEndian32(node);
        if (keys > std::uint32_t(tag.maxKeys))
            throw DbfError(QStringLiteral("A node of index tag %1 claims %2 keys; at most %3 fit.")
                               .arg(tag.name)
                               .arg(keys)
                               .arg(tag.maxKeys));
        const std::uint8_t *items = node + 8;
        const std::uint32_t trailing = readLittleEndian32(items + keys * std::uint32_t(tag.itemLength));
        if (trailing == 0) {
            for (std::uint32_t i = 0; i < keys; ++i) {
                const std::uint8_t *item = items + i * std::uint32_t(tag.itemLength);
                visit(readLittleEndian32(item), item + 4);
            }
            continue;
        }
        // Children are pushed in reverse so that they are visited left to right.
        stack.push_back({trailing, frame.depth + 1});
        for (std::uint32_t i = keys; i-- > 0;)
            stack.push_back({readLittleEndian32(items + i * std::uint32_t(tag.itemLength)), frame.depth + 1});
    }
}

namespace {

// Writes whole blocks one after the other from page FirstNodePage on.
class BlockStream
{
public:
    explicit BlockStream(PosixFile &file) : m_file(file) { m_buffer.reserve(ChunkBytes); }

    std::uint32_t nextPage() const { return m_nextPage; }

    std::uint8_t *newBlock()
    {
        if (m_buffer.size() + MdxWriter::BlockBytes > ChunkBytes)
            flush();
        m_buffer.resize(m_buffer.size() + MdxWriter::BlockBytes, 0);
        m_nextPage += MdxWriter::BlockBytes / PageBytes;
        return m_buffer.data() + m_buffer.size() - MdxWriter::BlockBytes;
    }

    void flush()
    {
        if (m_buffer.empty())
            return;
        m_file.writeAt(m_written, m_buffer.data(), m_buffer.size());
        m_written += m_buffer.size();
        m_buffer.clear();
    }

private:
    static constexpr std::size_t ChunkBytes = 256 * 1024;
    PosixFile &m_file;
    std::vector<std::uint8_t> m_buffer;
    std::uint64_t m_written = std::uint64_t(FirstNodePage) * PageBytes;
    std::uint32_t m_nextPage = FirstNodePage;
};

} // namespace

void MdxWriter::write(const QString &path, const QString &tableName, const QString &tagName, const QString &expression,
                      int keyLength, std::size_t count, const KeySource &keyAt)
{
    const int itemLength = (keyLength + 4 + 3) / 4 * 4;
    const int maxKeys = (BlockBytes - 12) / itemLength;
    const QByteArray expressionBytes = expression.toLatin1();
    if (expressionBytes.size() > 220)
        throw DbfError(QStringLiteral("The index expression is longer than 220 characters."));

    ReplacementFile replacement(path);
    BlockStream stream(replacement.file());

    // Leaves, full except the last.
    std::vector<std::uint32_t> pages;
    std::vector<std::uint8_t> lastKeys;
    std::size_t index = 0;
    do {
        const std::uint32_t page = stream.nextPage();
        std::uint8_t *block = stream.newBlock();
        const std::size_t n = std::min<std::size_t>(std::size_t(maxKeys), count - index);
        writeLittleEndian32(block, std::uint32_t(n));
        for (std::size_t i = 0; i < n; ++i) {
            std::uint8_t *item = block + 8 + i * std::size_t(itemLength);
            writeLittleEndian32(item, keyAt(index + i, item + 4));
        }
        index += n;
        pages.push_back(page);
        const std::uint8_t *last = block + 8 + (n ? n - 1 : 0) * std::size_t(itemLength) + 4;
        lastKeys.insert(lastKeys.end(), last, last + keyLength);
    } while (index < count);
    const std::uint32_t firstLeaf = pages.front();
    const std::uint32_t lastLeaf = pages.back();

    // Interior levels: groups of up to maxKeys + 1 children, never a group of one.
    while (pages.size() > 1) {
        const std::size_t m = pages.size();
        const std::size_t groupSize = std::size_t(maxKeys) + 1;
        const std::size_t groups = (m + groupSize - 1) / groupSize;
        std::vector<std::size_t> sizes(groups, groupSize);
        sizes.back() = m - (groups - 1) * groupSize;
        if (groups > 1 && sizes.back() == 1) {
            sizes.back() = 2;
            sizes[groups - 2] -= 1;
        }
        std::vector<std::uint32_t> upperPages;
        std::vector<std::uint8_t> upperKeys;
        std::size_t child = 0;
        for (std::size_t g = 0; g < groups; ++g) {
            const std::uint32_t page = stream.nextPage();
            std::uint8_t *block = stream.newBlock();
            const std::size_t keys = sizes[g] - 1;
            writeLittleEndian32(block, std::uint32_t(keys));
            for (std::size_t i = 0; i < keys; ++i, ++child) {
                std::uint8_t *item = block + 8 + i * std::size_t(itemLength);
                writeLittleEndian32(item, pages[child]);
                std::memcpy(item + 4, lastKeys.data() + child * std::size_t(keyLength), std::size_t(keyLength));
            }
            writeLittleEndian32(block + 8 + keys * std::size_t(itemLength), pages[child]);
            const std::uint8_t *last = lastKeys.data() + child * std::size_t(keyLength);
            upperKeys.insert(upperKeys.end(), last, last + keyLength);
            upperPages.push_back(page);
            ++child;
        }
        pages.swap(upperPages);
        lastKeys.swap(upperKeys);
    }
    const std::uint32_t root = pages.front();
    stream.flush();
    const std::uint32_t totalPages = stream.nextPage();

    // File header, tag table and tag header (pages 0-5).
    std::vector<std::uint8_t> head(std::size_t(FirstNodePage) * PageBytes, 0);
    const QDate today = QDate::currentDate();
    head[0] = 2;
    putDate(&head[1], today);
    const QByteArray table = tableName.toUpper().toLatin1().left(15);
    std::memcpy(&head[4], table.constData(), std::size_t(table.size()));
    putLittleEndian16(&head[20], BlockBytes / PageBytes);
    putLittleEndian16(&head[22], BlockBytes);
    head[24] = 1;
    head[25] = 48;
    head[26] = TagEntryBytes;
    putLittleEndian16(&head[28], 1);
    writeLittleEndian32(&head[32], totalPages);
    putDate(&head[44], today);
    head[529] = 1;

    std::uint8_t *entry = &head[TagTableOffset];
    writeLittleEndian32(entry, 4);
    const QByteArray name = tagName.toUpper().toLatin1().left(10);
    std::memcpy(entry + 4, name.constData(), std::size_t(name.size()));
    entry[15] = 0x10;
    entry[19] = 0x02;
    entry[20] = 'C';

    std::uint8_t *tag = &head[4 * PageBytes];
    writeLittleEndian32(tag, root);
    tag[8] = 0x10;
    tag[9] = 'C';
    putLittleEndian16(tag + 12, keyLength);
    putLittleEndian16(tag + 14, maxKeys);
    putLittleEndian16(tag + 18, itemLength);
    tag[20] = 1;
    std::memcpy(tag + 24, expressionBytes.constData(), std::size_t(expressionBytes.size()));
    tag[246] = count > 0 ? 1 : 0;
    writeLittleEndian32(tag + 248, firstLeaf);
    writeLittleEndian32(tag + 252, lastLeaf);
    putDate(tag + 257, today);

    replacement.file().writeAt(0, head.data(), head.size());
    replacement.commit("mdx:written");
}
