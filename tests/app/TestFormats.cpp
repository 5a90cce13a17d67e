#include "MainWindowFixture.h"
#include "TestSupport.h"

#include "app/DateFormat.h"
#include "app/NumberFormat.h"
#include "framework/dbase/DbfTable.h"
#include "framework/ui/DataGrid.h"
#include "framework/ui/MessageService.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

class TestFormats : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::installMessageFilter(); }

    void datesInEveryFormat_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("zeros");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("pattern");
        const QDate date(2001, 3, 5);
        Q_UNUSED(date);
        QTest::newRow("1") << 1 << false << "3/5/01"
                           << "m/d/yy";
        QTest::newRow("1 zeros") << 1 << true << "03/05/01"
                                 << "mm/dd/yy";
        QTest::newRow("2") << 2 << false << "3-5-01"
                           << "m/d/yy";
        QTest::newRow("3 zeros") << 3 << true << "03.05.01"
                                 << "mm/dd/yy";
        QTest::newRow("4") << 4 << false << "5/3/01"
                           << "d/m/yy";
        QTest::newRow("5 zeros") << 5 << true << "05-03-01"
                                 << "dd/mm/yy";
        QTest::newRow("6") << 6 << false << "5.3.01"
                           << "d/m/yy";
        QTest::newRow("7") << 7 << false << "3/5/2001"
                           << "m/d/yyyy";
        QTest::newRow("8 zeros") << 8 << true << "03-05-2001"
                                 << "mm/dd/yyyy";
        QTest::newRow("9") << 9 << false << "3.5.2001"
                           << "m/d/yyyy";
        QTest::newRow("10") << 10 << false << "5/3/2001"
                            << "d/m/yyyy";
        QTest::newRow("11 zeros") << 11 << true << "05-03-2001"
                                  << "dd/mm/yyyy";
        QTest::newRow("12") << 12 << false << "5.3.2001"
                            << "d/m/yyyy";
    }

    void datesInEveryFormat()
    {
        QFETCH(int, number);
        QFETCH(bool, zeros);
        QFETCH(QString, shown);
        QFETCH(QString, pattern);
        const DateFormat format(number, zeros);
        QCOMPARE(format.pattern(), pattern);
        QCOMPARE(format.format(QDate(2001, 3, 5)), shown);
        QCOMPARE(format.parse(shown, QDate(2026, 12, 8)), QDate(2001, 3, 5));
        QCOMPARE(format.format(QDate()), QString());
        QVERIFY(!format.parse(QString(), QDate(2026, 12, 8)).isValid());
        QVERIFY(!format.parse(QStringLiteral("  /  /  "), QDate(2026, 12, 8)).isValid());
        // The other separators are not this format's.
        QString other = shown;
        other.replace(format.separator(), format.separator() == QLatin1Char('/') ? QLatin1Char('-') : QLatin1Char('/'));
        QVERIFY(!format.parse(other, QDate(2026, 12, 8)).isValid());
    }

    void twoDigitYearsGoToTheNearestCentury_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("year");
        QTest::newRow("this century") << "1/2/26" << 2026;
        QTest::newRow("49 ahead") << "1/2/75" << 2075;
        QTest::newRow("51 ahead goes back") << "1/2/77" << 1977;
        QTest::newRow("recent past") << "1/2/98" << 1998;
        QTest::newRow("four digits kept") << "1/2/1877" << 1877;
        QTest::newRow("no feb 30") << "2/30/01" << 0;
    }

    void twoDigitYearsGoToTheNearestCentury()
    {
        QFETCH(QString, typed);
        QFETCH(int, year);
        const QDate date = DateFormat(1, false).parse(typed, QDate(2026, 12, 8));
        QCOMPARE(date.isValid() ? date.year() : 0, year);
    }

    void numberRoutines_data()
    {
        QTest::addColumn<int>("style"); // 1 U.S., 2 system
        QTest::addColumn<QString>("routine");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << 1 << "plain" << 1234.5 << 10 << 2 << "   1234.50";
        QTest::newRow("plain zero decimals") << 1 << "plain" << 1234.5 << 0 << 0 << "1234";
        QTest::newRow("plain negative") << 1 << "plain" << -0.125 << 7 << 2 << "  -0.12";
        QTest::newRow("plain no negative zero") << 1 << "plain" << -0.001 << 0 << 2 << "0.00";
        QTest::newRow("grouped minus sign") << 1 << "grouped" << -123456.0 << 0 << 0 << "-123,456";
        QTest::newRow("grouped small") << 1 << "grouped" << 999.0 << 6 << 1 << " 999.0";
        QTest::newRow("grouped millions") << 1 << "grouped" << 1234567.25 << 14 << 2 << "  1,234,567.25";
        QTest::newRow("money") << 1 << "money" << 1234567.891 << 0 << 0 << "1,234,567.89";
        QTest::newRow("money rounds") << 1 << "money" << 1234.5 << 0 << 0 << "1,234.50";
        QTest::newRow("system plain") << 2 << "plain" << 1234.5 << 0 << 2 << "1234,50";
        QTest::newRow("system grouped") << 2 << "grouped" << -1234567.0 << 0 << 0 << "-1\u00A0234\u00A0567";
        QTest::newRow("system money, three digits") << 2 << "money" << 1234.5 << 0 << 0 << "1\u00A0234,500";
    }

    void numberRoutines()
    {
        QFETCH(int, style);
        QFETCH(QString, routine);
        QFETCH(double, value);
        QFETCH(int, width);
        QFETCH(int, decimals);
        QFETCH(QString, expected);
        // A system with a decimal comma, a non-breaking space between groups and
        // three currency decimals.
        NumberFormat::Symbols system;
        system.decimal = QLatin1Char(',');
        system.thousands = QChar(0x00A0);
        system.currencyDigits = 3;
        const auto chosen = NumberFormat::Style(style);
        const NumberFormat format(chosen, chosen, system);
        QString result;
        if (routine == QLatin1String("plain"))
            result = format.plain(value, width, decimals);
        else if (routine == QLatin1String("grouped"))
            result = format.grouped(value, width, decimals);
        else
            result = format.money(value, width);
        QCOMPARE(result, expected);
    }

    void typedMoneyIsRead()
    {
        NumberFormat::Symbols system;
        system.decimal = QLatin1Char(',');
        system.thousands = QLatin1Char('.');
        const NumberFormat us(NumberFormat::Style::US, NumberFormat::Style::US, system);
        const NumberFormat german(NumberFormat::Style::System, NumberFormat::Style::System, system);
        QCOMPARE(us.parseMoney(QStringLiteral(" 1,234.50 ")), std::optional<double>(1234.5));
        QCOMPARE(german.parseMoney(QStringLiteral("1.234,50")), std::optional<double>(1234.5));
        QCOMPARE(german.money(*german.parseMoney(QStringLiteral("1234,5")), 0), QStringLiteral("1.234,50"));
        QVERIFY(!us.parseMoney(QStringLiteral("12a")).has_value());
        QVERIFY(!us.parseMoney(QString()).has_value());
    }

    void dateFormatMenuRedrawsTheGrid()
    {
        MainWindowFixture f;
        const QString books = f.makeCatalog(QStringLiteral("BOOKS.DBF"), {QStringLiteral("Austen")});
        {
            DbfTable table;
            table.open(books);
            table.edit();
            table.setDate(11, QDate(2001, 3, 5));
            table.post();
        }
        f.writeGlobalSettings("[Misc]\r\nDate Format=2\r\nLast Database=" + QFile::encodeName(books) + "\r\n");
        TMain &main = f.start();
        QVERIFY(f.child<QAction>(QStringLiteral("MenuDateMDYDash"))->isChecked());
        QVERIFY(!f.child<QAction>(QStringLiteral("MenuDateMDYSlash"))->isChecked());
        auto *grid = f.child<DataGrid>(QStringLiteral("ViewerGrid"));
        const int column = f.columnLabels().indexOf(QStringLiteral("Purchase Date"));
        QCOMPARE(grid->model()->index(0, column).data().toString(), QStringLiteral("3-5-01"));
        f.child<QAction>(QStringLiteral("MenuDateMDYDot"))->trigger();
        QCOMPARE(grid->model()->index(0, column).data().toString(), QStringLiteral("3.5.01"));
        QVERIFY(f.child<QAction>(QStringLiteral("MenuDateMDYDot"))->isChecked());
        QVERIFY(!f.child<QAction>(QStringLiteral("MenuDateMDYDash"))->isChecked());
        f.child<QAction>(QStringLiteral("MenuDateDMYSlashYr"))->trigger();
        f.child<QAction>(QStringLiteral("MenuLeadingZeros"))->trigger();
        QCOMPARE(grid->model()->index(0, column).data().toString(), QStringLiteral("05/03/2001"));
        f.child<QAction>(QStringLiteral("MenuLeadingZeros"))->trigger();
        QCOMPARE(grid->model()->index(0, column).data().toString(), QStringLiteral("5/3/2001"));
        QCOMPARE(main.catalog().settings().dateFormat, 10);
        QVERIFY(!main.catalog().settings().dateLeadingZeros);
        f.child<QAction>(QStringLiteral("MenuCurrencyWin"))->trigger();
        QVERIFY(f.child<QAction>(QStringLiteral("MenuCurrencyWin"))->isChecked());
        QVERIFY(!f.child<QAction>(QStringLiteral("MenuCurrencyUS"))->isChecked());
        QCOMPARE(NumberFormat::current().currency(), NumberFormat::Style::System);
        f.child<QAction>(QStringLiteral("MenuCurrencyUS"))->trigger();
    }

    void screenSizeIsCheckedAgainstTheScreen()
    {
        MainWindowFixture f;
        TMain &main = f.start();
        const QSize screen = QGuiApplication::primaryScreen()->size();
        QVERIFY(f.child<QAction>(QStringLiteral("N640x480"))->isChecked());
        QCOMPARE(main.look().scaleFactor(), 1.0);
        f.child<QAction>(QStringLiteral("N1280x1024"))->trigger();
        if (screen.width() < 1280 || screen.height() < 1024) {
            QCOMPARE(MessageService::shown().size(), 1);
            QCOMPARE(MessageService::shown().constFirst().text,
                     QStringLiteral("Your current screen resolution does not support 1280 x 1024 pixels."));
            QCOMPARE(main.look().scaleFactor(), 1.0);
            QVERIFY(f.child<QAction>(QStringLiteral("N640x480"))->isChecked());
            QVERIFY(!f.child<QAction>(QStringLiteral("N1280x1024"))->isChecked());
        } else {
            QCOMPARE(main.look().scaleFactor(), 2.0);
        }
        f.child<QAction>(QStringLiteral("N800x600"))->trigger();
        if (screen.width() >= 800 && screen.height() >= 600) {
            QCOMPARE(main.look().scaleFactor(), 1.25);
            QCOMPARE(main.catalog().settings().windowSize, 800);
            QVERIFY(f.child<QAction>(QStringLiteral("N800x600"))->isChecked());
        }
    }

    void storedScreenSizeTooLargeForTheScreenIsKept()
    {
        MainWindowFixture f;
        f.writeGlobalSettings("[Misc]\r\nWindow Size=1280\r\n");
        const QSize screen = QGuiApplication::primaryScreen()->size();
        if (screen.width() >= 1280 && screen.height() >= 1024)
            QSKIP("the screen is large enough for every size");
        TMain &main = f.start();
        QCOMPARE(main.look().scaleFactor(), 1.0);
        QVERIFY(f.child<QAction>(QStringLiteral("N640x480"))->isChecked());
        QCOMPARE(main.catalog().settings().windowSize, 1280); // written back unchanged
    }
};

SHELFMARK_TEST(TestFormats)
#include "TestFormats.moc"
