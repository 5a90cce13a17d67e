#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// A private-profile (INI) file held in memory: "[Section]" lines, each followed by
// "Key=Value" lines. Section and key names are compared without regard to case.
// Everything after the first "=" of a line is the value, kept as it stands (no
// quoting, no escapes) but for the blanks around it, which, as around names, are
// not part of it. Lines that are
// neither a section nor a key line, and key lines before the first section, are
// ignored. The order of sections and keys is kept; new ones are appended in the
// order they are set.
//
// Files are read as UTF-8 when they are valid UTF-8, otherwise as Windows-1252, and
// written as UTF-8 with CR LF line ends, through a temporary file that is renamed
// over the old one.
class IniFile
{
public:
    // Replaces the contents with the file's. A file that cannot be read leaves the
    // contents empty and answers false.
    bool load(const QString &path);
    // Replaces the contents with those of the file image `bytes`.
    void parse(const QByteArray &bytes);

    // Writes the whole file (see WholeFile); throws FileError when it could not
    // be written, the old file then being left as it was.
    void save(const QString &path) const;
    QByteArray toBytes() const;

    QString value(const QString &section, const QString &key, const QString &defaultValue = {}) const;
    // A value is one line: it is cut at its first line break.
    void setValue(const QString &section, const QString &key, const QString &value);

    QStringList sections() const;
    QStringList keys(const QString &section) const;

private:
    struct Entry
    {
        QString key;
        QString value;
    };
    struct Section
    {
        QString name;
        QList<Entry> entries;
        QHash<QString, qsizetype> entryIndex; // case-folded key -> index into entries
    };

    const Section *findSection(const QString &name) const;
    qsizetype sectionIndexFor(const QString &name);
    static void setEntry(Section &section, const QString &key, const QString &value, bool replace);

    QList<Section> m_sections;
    QHash<QString, qsizetype> m_sectionIndex; // case-folded name -> index into m_sections
};
