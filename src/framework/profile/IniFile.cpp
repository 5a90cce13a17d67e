#include "IniFile.h"

#include "framework/dbase/CodePage.h"

#include <QFile>
#include "framework/WholeFile.h"

namespace {

QStringView trimBlanks(QStringView text)
{
    const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t'; };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

} // namespace

bool IniFile::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        parse({});
        return false;
    }
    parse(file.readAll());
    return true;
}

void IniFile::parse(const QByteArray &bytes)
{
    m_sections.clear();
    m_sectionIndex.clear();
    const QString text = CodePage::decodeTextFile(bytes);
    qsizetype current = -1; // the section that key lines belong to; none before the first
    qsizetype pos = 0;
    while (pos < text.size()) {
        // A line ends at CR LF, LF or a CR alone.
        qsizetype end = pos;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        const QStringView line = QStringView(text).sliced(pos, end - pos);
        pos = end + 1;
        if (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n')
            ++pos;

        // The last "]" closes the name, so that every name written reads back.
        const QStringView trimmed = trimBlanks(line);
        const qsizetype close = trimmed.startsWith(u'[') ? trimmed.lastIndexOf(u']') : -1;
        if (close > 0) {
            current = sectionIndexFor(trimBlanks(trimmed.sliced(1, close - 1)).toString());
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (current < 0 || equals < 0)
            continue;
        const QStringView key = trimBlanks(line.first(equals));
        if (!key.isEmpty())
            setEntry(m_sections[current], key.toString(), trimBlanks(line.sliced(equals + 1)).toString(), false);
    }
}

void IniFile::save(const QString &path) const
{
    WholeFile::replace(path, toBytes());
}

QByteArray IniFile::toBytes() const
{
    QString text;
    for (const Section &section : m_sections) {
        if (!text.isEmpty())
            text += QLatin1String("\r\n");
        text += u'[' + section.name + QLatin1String("]\r\n");
        for (const Entry &entry : section.entries)
            text += entry.key + u'=' + entry.value + QLatin1String("\r\n");
    }
    return text.toUtf8();
}

QString IniFile::value(const QString &section, const QString &key, const QString &defaultValue) const
{
    const Section *found = findSection(section);
    if (!found)
        return defaultValue;
    const auto entry = found->entryIndex.constFind(key.toCaseFolded());
    return entry == found->entryIndex.cend() ? defaultValue : found->entries[*entry].value;
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value)
{
    qsizetype lineBreak = 0;
    while (lineBreak < value.size() && value[lineBreak] != u'\r' && value[lineBreak] != u'\n')
        ++lineBreak;
    setEntry(m_sections[sectionIndexFor(section)], key, value.first(lineBreak), true);
}

QStringList IniFile::sections() const
{
    QStringList names;
    names.reserve(m_sections.size());
    for (const Section &section : m_sections)
        names.append(section.name);
    return names;
}

QStringList IniFile::keys(const QString &section) const
{
    QStringList names;
    if (const Section *found = findSection(section)) {
        names.reserve(found->entries.size());
        for (const Entry &entry : found->entries)
            names.append(entry.key);
    }
    return names;
}

const IniFile::Section *IniFile::findSection(const QString &name) const
{
    const auto index = m_sectionIndex.constFind(name.toCaseFolded());
    return index == m_sectionIndex.cend() ? nullptr : &m_sections[*index];
}

// A section named twice in a file is one section: the keys of the later ones join
// the first.
qsizetype IniFile::sectionIndexFor(const QString &name)
{
    const QString folded = name.toCaseFolded();
    const auto found = m_sectionIndex.constFind(folded);
    if (found != m_sectionIndex.cend())
        return *found;
    m_sectionIndex.insert(folded, m_sections.size());
    m_sections.append(Section{name, {}, {}});
    return m_sections.size() - 1;
}

// Of a key given twice in a file the first counts; setting a value replaces it.
void IniFile::setEntry(Section &section, const QString &key, const QString &value, bool replace)
{
    const QString folded = key.toCaseFolded();
    const auto found = section.entryIndex.constFind(folded);
    if (found == section.entryIndex.cend()) {
        section.entryIndex.insert(folded, section.entries.size());
        section.entries.append(Entry{key, value});
    } else if (replace) {
        section.entries[*found].value = value;
    }
}
