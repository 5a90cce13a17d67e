#pragma once

#include "storage/CatalogFields.h"

#include <QFont>
#include <QString>
#include <array>

class IniFile;

// One of the main window's five font objects: a font and its colour, a Windows colour
// value (see WinColor).
struct ColoredFont
{
    QFont font;
    int color = 0;

    bool operator==(const ColoredFont &) const = default;
};

// The 13 colours of one group of windows, Windows colour values, in the order of
// their settings keys.
enum ColorSlot {
    MainBackground,
    MajorTitle,
    MinorTitle,
    EditBackground,
    EditText,
    ComboBackground,
    ComboText,
    ListBoxBackground,
    ListBoxText,
    RadioBackground,
    RadioText,
    CheckBackground,
    CheckText,
    ColorSlotCount
};
using ColorSet = std::array<int, ColorSlotCount>;

// The program-wide settings and the two settings files that keep them. The global
// file (mode 1, SHMKLIB.INI in the config directory) holds what belongs to the
// program and the user; the per-database file (mode 2, base + ".INI" beside the
// table) holds what belongs to one database. Every key is read with a built-in
// default, so that a missing file, section or key yields the default; every write
// writes all keys of its mode and keeps whatever else the file holds.
//
// Value syntax: integers are signed decimal text (anything else reads as 0), flags
// are "Yes"/"No" and true exactly when the value upper-cased is "YES", texts are
// kept as they are. A value is cut to the length of the buffer its key is read into:
// most integers and flags to 14 characters, font names, font colours and sizes to
// 149, paths to 249; display names are cut to 20.
class Settings
{
public:
    enum class Mode { Global = 1, Database = 2 };

    // `startDirectory`, the current directory at start-up, is the default of the
    // last import and export files. A new object holds every default.
    explicit Settings(const QString &startDirectory);

    // Mode 1 reads the global file (`path` is not used). Mode 2 reads the
    // per-database file at `path` (the table's companion "INI", see FileNames) when
    // it exists and otherwise the same sections of the global file.
    void read(Mode mode, const QString &path);
    // Mode 1 writes the global file (`path` is not used), mode 2 the per-database
    // file at `path`, creating it when needed. Throws FileError when the file
    // could not be written (it is then as it was).
    void write(Mode mode, const QString &path) const;

    // The same on a file already in memory.
    void read(Mode mode, const IniFile &file);
    void write(Mode mode, IniFile &file) const;

    bool operator==(const Settings &) const = default;

    // Global file, [Misc].
    int buttonBar; // layout mode: 1 speed buttons, 2 lettered buttons, 3 none
    int mainWindowLeft;
    int mainWindowTop;
    int mainWindowWidth;
    int mainWindowHeight;
    QString lastImportFile;
    QString lastExportFile;
    QString lastDatabase;
    std::array<QString, 5> lastFiles; // most recent first
    bool showTips;
    int windowSize; // 640, 800, 1024 or 1280
    int dateFormat; // 1-12
    bool dateLeadingZeros;
    int currencyFormat; // 1 U.S. dollars, 2 system setting
    int numericFormat;  // 1 U.S. format, 2 system setting

    // Per-database file. The arrays are indexed by CatalogFields row number - 1.
    std::array<QString, CatalogFields::Count> displayNames;
    std::array<bool, CatalogFields::Count> displayFields;
    std::array<int, CatalogFields::Count> fieldWidths;
    std::array<int, CatalogFields::Count> fieldOrder;
    std::array<bool, CatalogFields::Count> exportFields;
    std::array<int, CatalogFields::Count> exportOrder;
    bool exportFirstRow;
    int exportFileType;
    bool importSkipFirst;
    int importFileType;
    std::array<int, 4> sortLevels; // primary, secondary, third, fourth: row numbers, 0 = none
    ColorSet mainColors;
    ColorSet editColors;
    ColorSet searchColors;
    ColorSet reportColors;
    ColorSet configureColors;
    bool showGridTitles;
    int gridTitleColor;
    int gridTitleAlignment; // 1 left, 2 centre, 3 right
    ColoredFont gridTitleFont;
    ColoredFont gridFont;
    int cellColor;
    bool columnLines;
    bool rowLines;
    bool rowIndicator;
    bool fieldEditing;
    // Of these three only name, bold and italic are kept.
    ColoredFont editFont;
    ColoredFont labelFont;
    ColoredFont buttonFont;
    int lastReport;
    bool defaultPrinter;
    int printerIndex;
    int reportWindowLeft;
    int reportWindowTop;
    int reportWindowWidth;
    int reportWindowHeight;

private:
    template <typename Self, typename Visitor> static void visitGlobal(Self &self, Visitor &visitor);
    template <typename Self, typename Visitor> static void visitDatabase(Self &self, Visitor &visitor);

    QString m_startDirectory;
};
