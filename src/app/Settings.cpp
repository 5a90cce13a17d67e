#include "Settings.h"

#include "app/AppPaths.h"
#include "framework/profile/IniFile.h"

#include <QDir>
#include <QFileInfo>
#include <limits>

namespace {

// Characters kept of a value, by the buffer it is read into (terminating zero excluded).
constexpr int ShortValue = 14;
constexpr int LongValue = 149;
constexpr int PathValue = 249;
constexpr int DisplayNameLength = 20;

// Font sizes outside 1..MaxFontSize points (the range of the Windows font dialog) are
// not taken; the section's default size stands instead.
constexpr int MaxFontSize = 1638;

constexpr const char *colorKeys[ColorSlotCount] = {
    "Main Background",  "Major Title",      "Minor Title",         "Edit Background", "Edit Text",
    "Combo Background", "Combo Text",       "List Box Background", "List Box Text",   "Radio Background",
    "Radio Text",       "Check Background", "Check Text",
};
constexpr ColorSet defaultColors = {12632256, 0, 0, 16777215, 0, 16777215, 0, 16777215, 0, 12632256, 0, 12632256, 0};

// The first `count` characters of `text`, a surrogate pair counting as one.
QString leftCharacters(const QString &text, int count)
{
    qsizetype end = 0;
    for (int taken = 0; taken < count && end < text.size(); ++taken)
        end += text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate() ? 2 : 1;
    return text.first(end);
}

// Optional blanks, an optional sign and decimal digits; anything else, and a number
// outside the range of int, is 0. Never depends on the locale.
int parseInteger(QStringView text)
{
    while (!text.isEmpty() && text.front() == u' ')
        text = text.sliced(1);
    while (!text.isEmpty() && text.back() == u' ')
        text.chop(1);
    const bool negative = text.startsWith(u'-');
    if (negative || text.startsWith(u'+'))
        text = text.sliced(1);
    if (text.isEmpty())
        return 0;
    const qint64 limit = qint64(std::numeric_limits<int>::max()) + (negative ? 1 : 0);
    qint64 magnitude = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return 0;
        magnitude = magnitude * 10 + (c.unicode() - u'0');
        if (magnitude > limit)
            return 0;
    }
    return int(negative ? -magnitude : magnitude);
}

class KeyReader
{
public:
    explicit KeyReader(const IniFile &file) : m_file(file) {}

    void integer(const char *section, const char *key, int &value, int defaultValue, int length = ShortValue)
    {
        value = parseInteger(read(section, key, QString::number(defaultValue), length));
    }
    void flag(const char *section, const char *key, bool &value, bool defaultValue)
    {
        value = read(section, key, defaultValue ? QStringLiteral("Yes") : QStringLiteral("No"), ShortValue).toUpper() ==
                QLatin1String("YES");
    }
    void text(const char *section, const char *key, QString &value, const QString &defaultValue, int length)
    {
        value = read(section, key, defaultValue, length);
    }
    void font(const char *section, ColoredFont &font, int defaultSize)
    {
        integer(section, "Color", font.color, 0, LongValue);
        int size = 0;
        integer(section, "Size", size, defaultSize, LongValue);
        font.font.setPointSize(size >= 1 && size <= MaxFontSize ? size : defaultSize);
        readNameAndStyle(section, font, true);
    }
    void fontNameAndStyle(const char *section, ColoredFont &font) { readNameAndStyle(section, font, false); }

private:
    // Cut to the buffer's length; a blank the cut leaves at the end goes too, as
    // blanks around a value are not part of it.
    QString read(const char *section, const char *key, const QString &defaultValue, int length) const
    {
        QString value =
            leftCharacters(m_file.value(QString::fromLatin1(section), QString::fromLatin1(key), defaultValue), length);
        while (value.endsWith(u' ') || value.endsWith(u'\t'))
            value.chop(1);
        return value;
    }
    // The style becomes exactly the flags of the section that are true.
    void readNameAndStyle(const char *section, ColoredFont &font, bool withEffects)
    {
        QString name;
        text(section, "Font Name", name, QStringLiteral("Arial"), LongValue);
        font.font.setFamily(name);
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool strikeOut = false;
        flag(section, "Bold", bold, false);
        flag(section, "Italic", italic, false);
        if (withEffects) {
            flag(section, "Underline", underline, false);
            flag(section, "Strikeout", strikeOut, false);
        }
        font.font.setBold(bold);
        font.font.setItalic(italic);
        font.font.setUnderline(underline);
        font.font.setStrikeOut(strikeOut);
    }

    const IniFile &m_file;
};

class KeyWriter
{
public:
    explicit KeyWriter(IniFile &file) : m_file(file) {}

    void integer(const char *section, const char *key, int value, int, int = ShortValue)
    {
        write(section, key, QString::number(value));
    }
    void flag(const char *section, const char *key, bool value, bool)
    {
        write(section, key, value ? QStringLiteral("Yes") : QStringLiteral("No"));
    }
    void text(const char *section, const char *key, const QString &value, const QString &, int)
    {
        write(section, key, value);
    }
    void font(const char *section, const ColoredFont &font, int)
    {
        integer(section, "Color", font.color, 0);
        write(section, "Font Name", font.font.family());
        integer(section, "Size", font.font.pointSize(), 0);
        flag(section, "Bold", font.font.bold(), false);
        flag(section, "Italic", font.font.italic(), false);
        flag(section, "Underline", font.font.underline(), false);
        flag(section, "Strikeout", font.font.strikeOut(), false);
    }
    void fontNameAndStyle(const char *section, const ColoredFont &font)
    {
        write(section, "Font Name", font.font.family());
        flag(section, "Bold", font.font.bold(), false);
        flag(section, "Italic", font.font.italic(), false);
    }

private:
    void write(const char *section, const char *key, const QString &value)
    {
        m_file.setValue(QString::fromLatin1(section), QString::fromLatin1(key), value);
    }

    IniFile &m_file;
};

} // namespace

// The keys of each mode in writing order, each with its default and the length its
// value is cut to; reading and writing both walk these lists.
template <typename Self, typename Visitor> void Settings::visitGlobal(Self &self, Visitor &visitor)
{
    const char *misc = "Misc";
    visitor.integer(misc, "Button Bar", self.buttonBar, 1);
    visitor.integer(misc, "Main Window Left", self.mainWindowLeft, 0);
    visitor.integer(misc, "Main Window Top", self.mainWindowTop, 0);
    visitor.integer(misc, "Main Window Width", self.mainWindowWidth, 640);
    visitor.integer(misc, "Main Window Height", self.mainWindowHeight, 480);
    visitor.text(misc, "Last Import File", self.lastImportFile, self.m_startDirectory, PathValue);
    visitor.text(misc, "Last Export File", self.lastExportFile, self.m_startDirectory, PathValue);
    visitor.text(misc, "Last Database", self.lastDatabase, QString(), PathValue);
    for (int slot = 1; slot <= int(self.lastFiles.size()); ++slot) {
        const QByteArray key = "Last File " + QByteArray::number(slot);
        visitor.text(misc, key.constData(), self.lastFiles[slot - 1], QString(), PathValue);
    }
    visitor.flag(misc, "Show Tips", self.showTips, true);
    visitor.integer(misc, "Window Size", self.windowSize, 640);
    visitor.integer(misc, "Date Format", self.dateFormat, 1);
    visitor.flag(misc, "Date Leading Zeros", self.dateLeadingZeros, false);
    visitor.integer(misc, "Currency Format", self.currencyFormat, 1);
    visitor.integer(misc, "Numeric Format", self.numericFormat, 1);
}

template <typename Self, typename Visitor> void Settings::visitDatabase(Self &self, Visitor &visitor)
{
    using CatalogFields::rows;
    for (int i = 0; i < CatalogFields::Count; ++i) {
        visitor.text("Field Names", rows[i].name, self.displayNames[i], QString::fromLatin1(rows[i].displayName),
                     DisplayNameLength);
    }
    for (int i = 0; i < CatalogFields::Count; ++i)
        visitor.flag("Display Fields", rows[i].name, self.displayFields[i], true);
    for (int i = 0; i < CatalogFields::Count; ++i)
        visitor.integer("Field Width", rows[i].name, self.fieldWidths[i], 15);
    for (int i = 0; i < CatalogFields::Count; ++i)
        visitor.integer("Field Order", rows[i].name, self.fieldOrder[i], i + 1);
    for (int i = 0; i < CatalogFields::Count; ++i)
        visitor.flag("Export Fields", rows[i].name, self.exportFields[i], true);
    for (int i = 0; i < CatalogFields::Count; ++i)
        visitor.integer("Export Order", rows[i].name, self.exportOrder[i], i + 1);

    visitor.flag("Export", "First Row", self.exportFirstRow, true);
    visitor.integer("Export", "File Type", self.exportFileType, 1);
    visitor.flag("Import", "Skip First", self.importSkipFirst, true);
    visitor.integer("Import", "File Type", self.importFileType, 1);

    visitor.integer("Sort Order", "Primary Sort", self.sortLevels[0], 2);
    visitor.integer("Sort Order", "Secondary Sort", self.sortLevels[1], 0);
    visitor.integer("Sort Order", "Third Level Sort", self.sortLevels[2], 0);
    visitor.integer("Sort Order", "Fourth Level Sort", self.sortLevels[3], 0);

    const auto colorSet = [&visitor](const char *section, auto &colors) {
        for (int slot = 0; slot < ColorSlotCount; ++slot)
            visitor.integer(section, colorKeys[slot], colors[slot], defaultColors[slot]);
    };
    colorSet("Main Window Color", self.mainColors);
    colorSet("Edit Window Color", self.editColors);
    colorSet("Search Window Color", self.searchColors);
    colorSet("Report Window Color", self.reportColors);
    colorSet("Configure Window Color", self.configureColors);

    visitor.flag("Grid Title", "Show Titles", self.showGridTitles, true);
    visitor.integer("Grid Title", "Background Color", self.gridTitleColor, 8553090);
    visitor.integer("Grid Title", "Alignment", self.gridTitleAlignment, 2);
    visitor.font("Grid Title Font", self.gridTitleFont, 12);
    visitor.font("Grid Font", self.gridFont, 10);
    visitor.integer("Grid Options", "Cell Color", self.cellColor, 12632256);
    visitor.flag("Grid Options", "Column Lines", self.columnLines, true);
    visitor.flag("Grid Options", "Row Lines", self.rowLines, true);
    visitor.flag("Grid Options", "Row Indicator", self.rowIndicator, true);
    visitor.flag("Grid Options", "Field Editing", self.fieldEditing, false);
    visitor.fontNameAndStyle("Edit Font", self.editFont);
    visitor.fontNameAndStyle("Label Font", self.labelFont);
    visitor.fontNameAndStyle("Button Font", self.buttonFont);

    visitor.integer("Reports", "Last Report", self.lastReport, 0);
    visitor.flag("Reports", "Default Printer", self.defaultPrinter, true);
    visitor.integer("Reports", "Printer Index", self.printerIndex, 0);
    visitor.integer("Reports", "Report Viewing Window Left", self.reportWindowLeft, 0);
    visitor.integer("Reports", "Report Viewing Window Top", self.reportWindowTop, 0);
    visitor.integer("Reports", "Report Viewing Window Width", self.reportWindowWidth, 640);
    visitor.integer("Reports", "Report Viewing Window Height", self.reportWindowHeight, 480);
}

Settings::Settings(const QString &startDirectory) : m_startDirectory(startDirectory)
{
    const IniFile empty;
    read(Mode::Global, empty);
    read(Mode::Database, empty);
}

void Settings::read(Mode mode, const QString &path)
{
    const bool ownFile = mode == Mode::Database && QFileInfo::exists(path);
    IniFile file;
    file.load(ownFile ? path : AppPaths::globalSettingsFile());
    read(mode, file);
}

void Settings::write(Mode mode, const QString &path) const
{
    QString target = path;
    if (mode == Mode::Global) {
        QDir().mkpath(AppPaths::configDir());
        target = AppPaths::globalSettingsFile();
    }
    IniFile file;
    file.load(target);
    write(mode, file);
    file.save(target);
}

void Settings::read(Mode mode, const IniFile &file)
{
    KeyReader reader(file);
    if (mode == Mode::Global)
        visitGlobal(*this, reader);
    else
        visitDatabase(*this, reader);
}

void Settings::write(Mode mode, IniFile &file) const
{
    KeyWriter writer(file);
    if (mode == Mode::Global)
        visitGlobal(*this, writer);
    else
        visitDatabase(*this, writer);
}
