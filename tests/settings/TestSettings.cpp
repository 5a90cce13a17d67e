#include "TestSupport.h"

#include "app/AppPaths.h"
#include "app/Settings.h"
#include "framework/profile/IniFile.h"
#include "framework/ui/WinColor.h"
#include "storage/CatalogFields.h"

#include <QDir>
#include <QRect>
#include <QScopeGuard>
#include <QSet>
#include <QTest>
#include <cstring>
#include <optional>

using namespace Qt::StringLiterals;
using Mode = Settings::Mode;

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void defaultsWithoutFiles();
    void flags_data();
    void flags();
    void integers_data();
    void integers();
    void valuesCutToTheirBuffers();
    void databaseModeFallsBackToGlobalFile();
    void globalFileWrittenInOrder();
    void databaseFileWritesEveryKeyInOrder();
    void writeKeepsOtherSections();
    void everyKeyReadsBackAsWritten();
    void gridFontRead_data();
    void gridFontRead();
    void editFontKeepsOnlyBoldAndItalic();
    void numbersIgnoreLocale();

    void windowsColors_data();
    void windowsColors();
    void appPathsFollowXdg();
    void catalogFieldKindsMatchLetters();

private:
    void writeGlobal(const QByteArray &bytes);

    std::optional<QTemporaryDir> m_dir;
    QByteArray m_home;
};

void TestSettings::init()
{
    m_dir.emplace();
    QVERIFY(m_dir->isValid());
    m_home = qgetenv("HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("data"))));
}

void TestSettings::cleanup()
{
    qputenv("HOME", m_home);
    m_dir.reset();
}

void TestSettings::writeGlobal(const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(AppPaths::configDir()));
    TestSupport::writeAll(AppPaths::globalSettingsFile(), bytes);
}

void TestSettings::defaultsWithoutFiles()
{
    Settings settings(QStringLiteral("/start/dir"));
    settings.buttonBar = 3;
    settings.sortLevels = {1, 2, 3, 4};
    settings.displayFields[5] = false;
    settings.read(Mode::Global, QString());
    settings.read(Mode::Database, m_dir->filePath(QStringLiteral("BOOKS.INI")));
    QVERIFY(settings == Settings(QStringLiteral("/start/dir")));

    QCOMPARE(settings.buttonBar, 1);
    QCOMPARE(
        QRect(settings.mainWindowLeft, settings.mainWindowTop, settings.mainWindowWidth, settings.mainWindowHeight),
        QRect(0, 0, 640, 480));
    QCOMPARE(settings.dateFormat, 1);
    QVERIFY(!settings.dateLeadingZeros);
    QCOMPARE(settings.currencyFormat, 1);
    QCOMPARE(settings.numericFormat, 1);
    QVERIFY(settings.showTips);
    QCOMPARE(settings.lastImportFile, QStringLiteral("/start/dir"));
    QVERIFY(settings.lastDatabase.isEmpty());
    QCOMPARE(settings.sortLevels, (std::array<int, 4>{2, 0, 0, 0}));
    for (int i = 0; i < CatalogFields::Count; ++i) {
        QVERIFY(settings.displayFields[i]);
        QCOMPARE(settings.fieldWidths[i], 15);
        QCOMPARE(settings.fieldOrder[i], i + 1);
        QVERIFY(settings.exportFields[i]);
        QCOMPARE(settings.exportOrder[i], i + 1);
    }
}

void TestSettings::flags_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("expected");
    for (const char *yes : {"Yes", "yes", "YES", "yEs", " Yes", "Yes "}) // blanks around a value are not part of it
        QTest::addRow("\"%s\"", yes) << QByteArray(yes) << true;
    for (const char *no : {"Y", "1", "True", "No", "", "Yes!"})
        QTest::addRow("\"%s\"", no) << QByteArray(no) << false;
}

void TestSettings::flags()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, expected);
    // One key defaults to Yes, the other to No: the value decides either way.
    writeGlobal("[Misc]\r\nShow Tips=" + value + "\r\nDate Leading Zeros=" + value + "\r\n");
    Settings settings(QStringLiteral("/"));
    settings.read(Mode::Global, QString());
    QCOMPARE(settings.showTips, expected);
    QCOMPARE(settings.dateLeadingZeros, expected);
}

void TestSettings::integers_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("plain") << QByteArray("800") << 800;
    QTest::newRow("negative") << QByteArray("-5") << -5;
    QTest::newRow("plus sign") << QByteArray("+7") << 7;
    QTest::newRow("blanks around") << QByteArray(" 1024 ") << 1024;
    QTest::newRow("empty") << QByteArray("") << 0;
    QTest::newRow("letters") << QByteArray("abc") << 0;
    QTest::newRow("trailing letters") << QByteArray("12abc") << 0;
    QTest::newRow("hexadecimal") << QByteArray("0x10") << 0;
    QTest::newRow("inner blank") << QByteArray("1 2") << 0;
    QTest::newRow("sign alone") << QByteArray("-") << 0;
    QTest::newRow("largest") << QByteArray("2147483647") << 2147483647;
    QTest::newRow("smallest") << QByteArray("-2147483648") << int(-2147483648LL);
    QTest::newRow("too large") << QByteArray("2147483648") << 0;
    QTest::newRow("cut at 14") << QByteArray("000000000000123") << 12;
    QTest::newRow("other digits") << QByteArray("\xd9\xa1\xef\xbc\x92") << 0;
}

void TestSettings::integers()
{
    QFETCH(QByteArray, value);
    QFETCH(int, expected);
    writeGlobal("[Misc]\r\nWindow Size=" + value + "\r\n");
    Settings settings(QStringLiteral("/"));
    settings.read(Mode::Global, QString());
    QCOMPARE(settings.windowSize, expected);
}

void TestSettings::valuesCutToTheirBuffers()
{
    const QString longPath = u'/' + QString(299, u'p');
    writeGlobal("[Misc]\r\nLast Database=" + longPath.toUtf8() + "\r\nLast File 3=" + longPath.toUtf8() + "\r\n");
    const QString clef = u"\U0001D11E"_s;
    QByteArray database = "[Field Names]\r\nTitle=A Title Much Longer Than Twenty\r\n";
    database += "Author=" + clef.repeated(25).toUtf8() + "\r\n";
    database += "[Grid Font]\r\nFont Name=" + QByteArray(200, 'f') + "\r\n";
    database += "Color=" + QByteArray(141, '0') + "12345678\r\n"; // 149 characters
    database += "Size=" + QByteArray(148, '0') + "14\r\n";        // 150 characters
    database += "[Grid Title Font]\r\nSize=" + QByteArray(147, '0') + "14\r\n";
    database += "[Grid Options]\r\nCell Color=" + QByteArray(10, '0') + "12345\r\n"; // 15 characters
    const QString path = m_dir->filePath(QStringLiteral("BOOKS.INI"));
    TestSupport::writeAll(path, database);

    Settings settings(QStringLiteral("/"));
    settings.read(Mode::Global, QString());
    settings.read(Mode::Database, path);
    QCOMPARE(settings.lastDatabase, longPath.left(249));
    QCOMPARE(settings.lastFiles[2], longPath.left(249));
    // Cut to 20 characters, the blank the cut leaves at the end dropped: it would not read back.
    QCOMPARE(settings.displayNames[0], QStringLiteral("A Title Much Longer"));
    QCOMPARE(settings.displayNames[1], clef.repeated(20));
    QCOMPARE(settings.gridFont.font.family(), QString(149, u'f'));
    QCOMPARE(settings.gridFont.color, 12345678);
    QCOMPARE(settings.gridFont.font.pointSize(), 1); // 150 characters: the last digit is cut
    QCOMPARE(settings.gridTitleFont.font.pointSize(), 14);
    QCOMPARE(settings.cellColor, 1234); // a colour outside a font section has the short buffer
}

void TestSettings::databaseModeFallsBackToGlobalFile()
{
    writeGlobal("[Field Names]\r\nTitle=From Global\r\n[Sort Order]\r\nPrimary Sort=5\r\n");
    const QString path = m_dir->filePath(QStringLiteral("BOOKS.INI"));
    Settings settings(QStringLiteral("/"));
    settings.read(Mode::Database, path);
    QCOMPARE(settings.displayNames[0], QStringLiteral("From Global"));
    QCOMPARE(settings.sortLevels[0], 5);

    TestSupport::writeAll(path, "[Field Names]\r\nAuthor=Writer\r\n");
    settings.read(Mode::Database, path);
    QCOMPARE(settings.displayNames[0], QStringLiteral("Title"));
    QCOMPARE(settings.displayNames[1], QStringLiteral("Writer"));
    QCOMPARE(settings.sortLevels[0], 2);
}

void TestSettings::globalFileWrittenInOrder()
{
    Settings settings(QStringLiteral("/home/reader"));
    settings.buttonBar = 2;
    settings.mainWindowLeft = -8;
    settings.mainWindowHeight = 600;
    settings.lastExportFile = QStringLiteral("/tmp/out.txt");
    settings.lastDatabase = u"/data/Bücher/BOOKS.DBF"_s;
    settings.lastFiles[0] = settings.lastDatabase;
    settings.lastFiles[4] = QStringLiteral("/data/MASTER.DBF");
    settings.showTips = false;
    settings.windowSize = 1024;
    settings.dateFormat = 12;
    settings.dateLeadingZeros = true;
    settings.numericFormat = 2;
    settings.write(Mode::Global, QString());

    const QByteArray expected = "[Misc]\r\n"
                                "Button Bar=2\r\n"
                                "Main Window Left=-8\r\n"
                                "Main Window Top=0\r\n"
                                "Main Window Width=640\r\n"
                                "Main Window Height=600\r\n"
                                "Last Import File=/home/reader\r\n"
                                "Last Export File=/tmp/out.txt\r\n"
                                "Last Database=/data/B\xc3\xbc"
                                "cher/BOOKS.DBF\r\n"
                                "Last File 1=/data/B\xc3\xbc"
                                "cher/BOOKS.DBF\r\n"
                                "Last File 2=\r\n"
                                "Last File 3=\r\n"
                                "Last File 4=\r\n"
                                "Last File 5=/data/MASTER.DBF\r\n"
                                "Show Tips=No\r\n"
                                "Window Size=1024\r\n"
                                "Date Format=12\r\n"
                                "Date Leading Zeros=Yes\r\n"
                                "Currency Format=1\r\n"
                                "Numeric Format=2\r\n";
    QCOMPARE(TestSupport::readAll(m_dir->filePath(QStringLiteral("config/Shelfmark/SHMKLIB.INI"))), expected);
}

void TestSettings::databaseFileWritesEveryKeyInOrder()
{
    const QString path = m_dir->filePath(QStringLiteral("BOOKS.INI"));
    Settings(QStringLiteral("/")).write(Mode::Database, path);
    IniFile file;
    QVERIFY(file.load(path));
    const QString sections = u"Field Names|Display Fields|Field Width|Field Order|Export Fields|Export Order|"
                             "Export|Import|Sort Order|Main Window Color|Edit Window Color|Search Window Color|"
                             "Report Window Color|Configure Window Color|Grid Title|Grid Title Font|Grid Font|"
                             "Grid Options|Edit Font|Label Font|Button Font|Reports"_s;
    QCOMPARE(file.sections(), sections.split(u'|'));
    const QStringList fieldNames = {"Title",     "Author",     "YearPub",    "Publisher", "Category",  "WherePurch",
                                    "Cost",      "Value",      "Descriptio", "ISBN",      "Rating",    "PurchDate",
                                    "BookType",  "CatalogNum", "Sub1",       "Sub2",      "CheckOut",  "CheckDate",
                                    "CheckName", "Volume",     "Issue",      "Edition",   "KeyWords",  "Pages",
                                    "Location",  "Condition",  "Editor",     "Dewey",     "LowMarket", "HighMarket",
                                    "UserDef1",  "UserDef2",   "UserDef3",   "UserDef4",  "UserDef5",  "UserDef6"};
    for (const QString &section : file.sections().first(6))
        QCOMPARE(file.keys(section), fieldNames);

    const QByteArray bytes = TestSupport::readAll(path);
    QVERIFY(bytes.startsWith("[Field Names]\r\nTitle=Title\r\nAuthor=Author\r\nYearPub=Year Pub\r\n"));
    QVERIFY(bytes.contains("\r\n[Export]\r\nFirst Row=Yes\r\nFile Type=1\r\n"
                           "\r\n[Import]\r\nSkip First=Yes\r\nFile Type=1\r\n"
                           "\r\n[Sort Order]\r\nPrimary Sort=2\r\nSecondary Sort=0\r\nThird Level Sort=0\r\n"
                           "Fourth Level Sort=0\r\n"
                           "\r\n[Main Window Color]\r\nMain Background=12632256\r\nMajor Title=0\r\nMinor Title=0\r\n"
                           "Edit Background=16777215\r\nEdit Text=0\r\nCombo Background=16777215\r\nCombo Text=0\r\n"
                           "List Box Background=16777215\r\nList Box Text=0\r\nRadio Background=12632256\r\n"
                           "Radio Text=0\r\nCheck Background=12632256\r\nCheck Text=0\r\n"));
    QVERIFY(bytes.contains("\r\n[Grid Title]\r\nShow Titles=Yes\r\nBackground Color=8553090\r\nAlignment=2\r\n"
                           "\r\n[Grid Title Font]\r\nColor=0\r\nFont Name=Arial\r\nSize=12\r\nBold=No\r\nItalic=No\r\n"
                           "Underline=No\r\nStrikeout=No\r\n"));
    QVERIFY(bytes.contains("\r\n[Grid Options]\r\nCell Color=12632256\r\nColumn Lines=Yes\r\nRow Lines=Yes\r\n"
                           "Row Indicator=Yes\r\nField Editing=No\r\n"
                           "\r\n[Edit Font]\r\nFont Name=Arial\r\nBold=No\r\nItalic=No\r\n"));
    QVERIFY(bytes.endsWith("\r\n[Reports]\r\nLast Report=0\r\nDefault Printer=Yes\r\nPrinter Index=0\r\n"
                           "Report Viewing Window Left=0\r\nReport Viewing Window Top=0\r\n"
                           "Report Viewing Window Width=640\r\nReport Viewing Window Height=480\r\n"));
}

void TestSettings::writeKeepsOtherSections()
{
    writeGlobal("[Field Names]\r\nTitle=Mine\r\n[misc]\r\nbutton bar=3\r\nCustom=kept\r\n");
    Settings(QStringLiteral("/")).write(Mode::Global, QString());
    IniFile file;
    QVERIFY(file.load(AppPaths::globalSettingsFile()));
    QCOMPARE(file.sections(), QStringList({"Field Names", "misc"}));
    QCOMPARE(file.value(QStringLiteral("Field Names"), QStringLiteral("Title")), QStringLiteral("Mine"));
    QCOMPARE(file.value(QStringLiteral("Misc"), QStringLiteral("Custom")), QStringLiteral("kept"));
    QCOMPARE(file.value(QStringLiteral("Misc"), QStringLiteral("Button Bar")), QStringLiteral("1"));
}

// A file whose every value differs from the default: flags turned over, numbers
// raised by 7, texts lengthened by a non-ASCII letter.
static QByteArray changeEveryValue(const QString &path)
{
    IniFile file;
    file.load(path);
    IniFile changed;
    for (const QString &section : file.sections()) {
        for (const QString &key : file.keys(section)) {
            const QString value = file.value(section, key);
            bool isNumber = false;
            const int number = value.toInt(&isNumber);
            changed.setValue(section, key,
                             value == u"Yes"_s  ? u"No"_s
                             : value == u"No"_s ? u"Yes"_s
                             : isNumber         ? QString::number(number + 7)
                                                : value + u"é"_s);
        }
    }
    return changed.toBytes();
}

// A key that is not read, or not read the way it is written, comes back with
// another value than the one in the file.
void TestSettings::everyKeyReadsBackAsWritten()
{
    const QString changedPath = m_dir->filePath(QStringLiteral("CHANGED.INI"));
    const QString rewrittenPath = m_dir->filePath(QStringLiteral("REWRITTEN.INI"));
    const Settings defaults(QStringLiteral("/start"));
    defaults.write(Mode::Global, QString());
    defaults.write(Mode::Database, changedPath);
    const QByteArray global = changeEveryValue(AppPaths::globalSettingsFile());
    const QByteArray database = changeEveryValue(changedPath);
    TestSupport::writeAll(AppPaths::globalSettingsFile(), global);
    TestSupport::writeAll(changedPath, database);

    Settings settings(QStringLiteral("/start"));
    settings.read(Mode::Global, QString());
    settings.read(Mode::Database, changedPath);
    QVERIFY(QFile::remove(AppPaths::globalSettingsFile()));
    settings.write(Mode::Global, QString());
    settings.write(Mode::Database, rewrittenPath);
    QCOMPARE(TestSupport::readAll(AppPaths::globalSettingsFile()), global);
    QCOMPARE(TestSupport::readAll(rewrittenPath), database);
}

void TestSettings::gridFontRead_data()
{
    QTest::addColumn<QByteArray>("keys");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("color");
    QTest::addColumn<QList<bool>>("style"); // bold, italic, underline, strike-out

    QTest::newRow("no keys") << QByteArray() << "Arial" << 10 << 0 << QList<bool>{false, false, false, false};
    QTest::newRow("name size colour") << QByteArray("Color=255\r\nFont Name=Liberation Serif\r\nSize=14\r\n")
                                      << "Liberation Serif" << 14 << 255 << QList<bool>{false, false, false, false};
    QTest::newRow("bold and strike-out") << QByteArray("Bold=yes\r\nItalic=No\r\nUnderline=Y\r\nStrikeout=YES\r\n")
                                         << "Arial" << 10 << 0 << QList<bool>{true, false, false, true};
    QTest::newRow("all four") << QByteArray("Bold=Yes\r\nItalic=Yes\r\nUnderline=Yes\r\nStrikeout=Yes\r\n") << "Arial"
                              << 10 << 0 << QList<bool>{true, true, true, true};
    QTest::newRow("size zero") << QByteArray("Size=0\r\n") << "Arial" << 10 << 0
                               << QList<bool>{false, false, false, false};
    QTest::newRow("size too large") << QByteArray("Size=5000\r\n") << "Arial" << 10 << 0
                                    << QList<bool>{false, false, false, false};
}

void TestSettings::gridFontRead()
{
    QFETCH(QByteArray, keys);
    QFETCH(QString, family);
    QFETCH(int, size);
    QFETCH(int, color);
    QFETCH(QList<bool>, style);

    const QString path = m_dir->filePath(QStringLiteral("BOOKS.INI"));
    TestSupport::writeAll(path, "[Grid Font]\r\n" + keys);
    Settings settings(QStringLiteral("/"));
    settings.gridFont = {QFont(QStringLiteral("Old"), 30, QFont::Bold, true), 99};
    settings.gridFont.font.setUnderline(true);
    settings.gridFont.font.setStrikeOut(true);
    settings.read(Mode::Database, path);
    const QFont &font = settings.gridFont.font;
    QCOMPARE(font.family(), family);
    QCOMPARE(font.pointSize(), size);
    QCOMPARE(settings.gridFont.color, color);
    QCOMPARE(QList<bool>({font.bold(), font.italic(), font.underline(), font.strikeOut()}), style);
}

void TestSettings::editFontKeepsOnlyBoldAndItalic()
{
    const QString path = m_dir->filePath(QStringLiteral("BOOKS.INI"));
    TestSupport::writeAll(path,
                          "[Edit Font]\r\nFont Name=Mono\r\nBold=Yes\r\nUnderline=Yes\r\nSize=30\r\nColor=255\r\n");
    Settings settings(QStringLiteral("/"));
    const int size = settings.editFont.font.pointSize();
    settings.editFont.font.setUnderline(true);
    settings.editFont.font.setItalic(true);
    settings.read(Mode::Database, path);
    QCOMPARE(settings.editFont.font.family(), QStringLiteral("Mono"));
    QVERIFY(settings.editFont.font.bold());
    QVERIFY(!settings.editFont.font.italic());
    QVERIFY(!settings.editFont.font.underline());
    QCOMPARE(settings.editFont.font.pointSize(), size);
    QCOMPARE(settings.editFont.color, 0);
}

void TestSettings::numbersIgnoreLocale()
{
    const QLocale previousLocale;
    const auto restore = qScopeGuard([&] { QLocale::setDefault(previousLocale); });
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const TestSupport::CommaLocale commaLocale(*m_dir);

    writeGlobal("[Misc]\r\nMain Window Left=-1234567\r\nMain Window Top=1.234\r\nMain Window Width=1,5\r\n");
    Settings settings(QStringLiteral("/"));
    settings.read(Mode::Global, QString());
    QCOMPARE(settings.mainWindowLeft, -1234567);
    QCOMPARE(settings.mainWindowTop, 0);
    QCOMPARE(settings.mainWindowWidth, 0);

    settings.mainWindowHeight = 1234567;
    settings.write(Mode::Global, QString());
    const QByteArray bytes = TestSupport::readAll(AppPaths::globalSettingsFile());
    QVERIFY(bytes.contains("\r\nMain Window Left=-1234567\r\n"));
    QVERIFY(bytes.contains("\r\nMain Window Height=1234567\r\n"));
}

void TestSettings::windowsColors_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QColor>("color");
    QTest::newRow("black") << 0 << QColor(0, 0, 0);
    QTest::newRow("red in the low byte") << 255 << QColor(255, 0, 0);
    QTest::newRow("green") << 65280 << QColor(0, 255, 0);
    QTest::newRow("blue in the high byte") << 16711680 << QColor(0, 0, 255);
    QTest::newRow("silver") << 12632256 << QColor(192, 192, 192);
    QTest::newRow("mixed") << 0x408020 << QColor(0x20, 0x80, 0x40);
    QTest::newRow("flag byte ignored") << 0x02408020 << QColor(0x20, 0x80, 0x40);
}

void TestSettings::windowsColors()
{
    QFETCH(int, value);
    QFETCH(QColor, color);
    QCOMPARE(WinColor::toQColor(value), color);
    QCOMPARE(WinColor::fromQColor(color), value & 0xFFFFFF);
}

void TestSettings::appPathsFollowXdg()
{
    QCOMPARE(AppPaths::configDir(), m_dir->filePath(QStringLiteral("config/Shelfmark")));
    QCOMPARE(AppPaths::dataDir(), m_dir->filePath(QStringLiteral("data/Shelfmark")));
    QCOMPARE(AppPaths::globalSettingsFile(), m_dir->filePath(QStringLiteral("config/Shelfmark/SHMKLIB.INI")));

    qputenv("HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("home"))));
    qputenv("XDG_CONFIG_HOME", "relative/config");
    qunsetenv("XDG_DATA_HOME");
    QCOMPARE(AppPaths::configDir(), m_dir->filePath(QStringLiteral("home/.config/Shelfmark")));
    QCOMPARE(AppPaths::dataDir(), m_dir->filePath(QStringLiteral("home/.local/share/Shelfmark")));
}

void TestSettings::catalogFieldKindsMatchLetters()
{
    QSet<QString> names;
    for (const CatalogField &field : CatalogFields::rows) {
        const char letter = field.kind == FieldKind::Text ? 'C' : field.kind == FieldKind::Date ? 'D' : 'N';
        QCOMPARE(field.letter, letter);
        QVERIFY(std::strlen(field.name) <= 10);
        QVERIFY(std::strlen(field.displayName) <= 20);
        names.insert(QString::fromLatin1(field.name).toUpper());
    }
    QCOMPARE(names.size(), CatalogFields::Count);
    QCOMPARE(CatalogFields::row(36).name, "UserDef6");
}

SHELFMARK_TEST(TestSettings)

#include "TestSettings.moc"
