#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

// The dBASE IV production index (.MDX). The file is addressed in 512-byte
// pages; tags and tree nodes live in blocks of `blockPages` pages.
//
//   page 0      file header: 0 version, 4 table name, 20 pages per block,
//               22 bytes per block, 24 production flag, 25 tag slots (48),
//               26 tag entry length (32), 28 tags in use, 32 pages in file,
//               36 free list, 44 date of last update; byte 529 = 0x01
//   544..2047   tag table, 32 bytes per tag: 0 header page, 4 name,
//               15 key format (0x10), 16-18 name-tree threads, 19 0x02, 20 type
//   tag header  0 root page, 8 flags (0x08 descending, 0x40 unique), 9 type,
//               12 key length, 14 keys per block, 16 secondary type,
//               18 item length, 20 change counter, 23 unique,
//               24 expression, 245 FOR flag, 248/252 first/last leaf,
//               762 FOR expression
//   node        0 key count k, 4 free link, then k items of
//               [4-byte pointer][key padded to item length], then a 4-byte
//               trailing pointer: 0 in a leaf (whose pointers are record
//               numbers), the rightmost child in an interior node (whose items
//               carry the largest key of their child's subtree)
struct MdxTag
{
    QString name;
    QString expression;
    QString forExpression;
    char keyType = 'C';
    int keyLength = 0;
    int itemLength = 0;
    int maxKeys = 0;
    bool descending = false;
    bool unique = false;
    std::uint32_t headerPage = 0;
    std::uint32_t rootPage = 0;
};

class MdxReader
{
public:
    // Checks the file header and the tag table of an .MDX held in memory.
    // Throws DbfError saying what is wrong.
    MdxReader(const std::uint8_t *data, std::size_t size);

    const std::vector<MdxTag> &tags() const { return m_tags; }
    const MdxTag *tag(const QString &name) const; // without regard to case; null when absent
    QString tableName() const { return m_tableName; }

    // Visits every leaf entry of a tag in tree order. Throws DbfError when a
    // node lies outside the file, a node is reached twice (a loop), the tree is
    // deeper than any real index, or a node claims more keys than fit.
    void walk(const MdxTag &tag, const std::function<void(std::uint32_t record, const std::uint8_t *key)> &visit) const;

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    int m_blockBytes = 0;
    QString m_tableName;
    std::vector<MdxTag> m_tags;
};

// Writes a production index with one character tag, bottom-up from keys that
// arrive in ascending order. The file goes to a temporary name beside `path`
// and is renamed over it when complete.
class MdxWriter
{
public:
    static constexpr int BlockBytes = 1024;

    // keyAt(i, out) writes the key of the i-th entry (in order) into out and
    // returns its record number.
    using KeySource = std::function<std::uint32_t(std::size_t index, std::uint8_t *out)>;

    static void write(const QString &path, const QString &tableName, const QString &tagName, const QString &expression,
                      int keyLength, std::size_t count, const KeySource &keyAt);
};
