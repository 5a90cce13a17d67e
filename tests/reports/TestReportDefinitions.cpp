#include "TestSupport.h"

#include "framework/Error.h"
#include "reports/BuiltInReports.h"
#include "reports/ReportDefinitionsFile.h"
#include "storage/CatalogFields.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QtEndian>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

constexpr int RecordSize = 20622;
constexpr int EarlierSize = 19831;

// The stored record read at the offsets of the file layout, independently of
// the program's reader.
struct Raw
{
    const char *at;

    QByteArray string(int offset, int capacity) const
    {
        const int length = std::min<int>(std::uint8_t(at[offset]), capacity);
        return QByteArray(at + offset + 1, length);
    }
    int int16(int offset) const { return qFromLittleEndian<qint16>(at + offset); }
    int byte(int offset) const { return std::uint8_t(at[offset]); }
    double real(int offset) const
    {
        double value;
        std::memcpy(&value, at + offset, 8);
        return value;
    }
    QString font(int offset) const
    {
        return QStringLiteral("%1 %2 %3%4%5%6 %7")
            .arg(QString::fromLatin1(string(offset, 50)))
            .arg(int16(offset + 51))
            .arg(byte(offset + 53))
            .arg(byte(offset + 54))
            .arg(byte(offset + 55))
            .arg(byte(offset + 56))
            .arg(qFromLittleEndian<qint32>(at + offset + 57));
    }
    // A line in the notation of the report list: fields as "Name width", labels
    // as "'text' width", fillers as "fill width"; elements after the line's end
    // must be fillers of width 0.
    QString line(int offset) const
    {
        QStringList elements;
        int j = 0;
        for (; j < 20; ++j) {
            const char *e = at + offset + j * 75;
            const Raw element{e};
            const int width = element.int16(32);
            if (width <= 0)
                break;
            const QByteArray name = element.string(0, 30);
            if (name == "<FILLER>")
                elements << u"fill %1"_s.arg(width);
            else if (name == "<LABEL>")
                elements << u"'%1' %2"_s.arg(QString::fromLatin1(element.string(34, 40))).arg(width);
            else
                elements << u"%1#%2 %3"_s.arg(QString::fromLatin1(name)).arg(element.byte(31)).arg(width);
        }
        for (; j < 20; ++j) {
            const Raw element{at + offset + j * 75};
            if (element.string(0, 30) != "<FILLER>" || element.int16(32) != 0)
                return u"element %1 after the end is not an empty filler"_s.arg(j + 1);
        }
        return elements.join(u" | "_s);
    }
};

// A field element of the notation with its field number looked up.
QString f(const char *name, int width)
{
    for (int row = 1; row <= CatalogFields::Count; ++row) {
        if (qstrcmp(CatalogFields::row(row).name, name) == 0)
            return u"%1#%2 %3"_s.arg(QString::fromLatin1(name)).arg(row).arg(width);
    }
    return u"no field %1"_s.arg(QString::fromLatin1(name));
}

QString l(const char *text, int width)
{
    return u"'%1' %2"_s.arg(QString::fromLatin1(text)).arg(width);
}

QString fill(int width)
{
    return u"fill %1"_s.arg(width);
}

QString line(const QStringList &elements)
{
    return elements.join(u" | "_s);
}

const QString Undesigned = u"fill 150"_s;

QByteArray oldRecord(const QByteArray &name, int width, int numLines, const QByteArray &title1, int totalNo)
{
    QByteArray r(EarlierSize, '\0');
    r[0] = char(name.size());
    std::memcpy(r.data() + 1, name.constData(), std::size_t(name.size()));
    qToLittleEndian<qint16>(qint16(width), r.data() + 31);
    std::memset(r.data() + 33, 'x', 50); // unused by the conversion
    r[83] = 1;                           // column headers
    r[84] = 0;                           // page numbers
    r[85] = 1;                           // totals
    qToLittleEndian<qint16>(qint16(numLines), r.data() + 86);
    // Totals line element 1: a total with the earlier numbering.
    char *total = r.data() + 88;
    total[0] = 8;
    std::memcpy(total + 1, "Quantity", 8);
    total[31] = char(totalNo);
    qToLittleEndian<qint16>(qint16(width), total + 32);
    r[1588] = char(title1.size());
    std::memcpy(r.data() + 1589, title1.constData(), std::size_t(title1.size()));
    // Body line 1, element 1: Title, 40 wide.
    char *element = r.data() + 1831;
    element[0] = 5;
    std::memcpy(element + 1, "Title", 5);
    element[31] = 1;
    qToLittleEndian<qint16>(40, element + 32);
    return r;
}

ReportDefinition named(const QString &name)
{
    ReportDefinition d = BuiltInReports::all().front();
    d.name = name;
    return d;
}

} // namespace

class TestReportDefinitions : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString urp() const { return m_dir.filePath(u"SHMKLIB.URP"_s); }
    QString bookUrp() const { return m_dir.filePath(u"BOOK.URP"_s); }
    ReportDefinitionsFile file() const { return ReportDefinitionsFile(m_dir.path()); }

private slots:
    void init()
    {
        QFile::remove(urp());
        QFile::remove(bookUrp());
    }

    void builtInReportsAsStored_data()
    {
        QTest::addColumn<int>("record");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("width");
        QTest::addColumn<QStringList>("fonts"); // title, column header, body, spare, footnote
        QTest::addColumn<QString>("flags");     // ColumnHeaders PageNumbers Landscape DateOnPages UseTotals
        QTest::addColumn<int>("numLines");
        QTest::addColumn<QString>("rules"); // VertLines HorzLines
        QTest::addColumn<QString>("groups");
        QTest::addColumn<QStringList>("lines");

        const QString arial10 = u"Arial 10 0000 0"_s;
        const QString arial8 = u"Arial 8 0000 0"_s;
        const QStringList all10(5, arial10);
        const QStringList all8(5, arial8);
        const QStringList spareCourier = {arial8, arial8, arial8, u"Courier 8 0000 0"_s, arial8};

        const QString titleAndType =
            line({l("Title:", 6), fill(1), f("Title", 70), l("Book Type:", 11), fill(1), f("BookType", 20)});
        auto author = [](int width) {
            return line({l("Author:", 7), fill(1), f("Author", width), l("Year Pub:", 11), fill(1), f("YearPub", 5),
                         l("Rating:", 9), fill(1), f("Rating", 15)});
        };
        auto category = [](int catalog) {
            return line({l("Category:", 9), fill(1), f("Category", 20), l("Catalog:", catalog), fill(1),
                         f("CatalogNum", 15), l("Sub Cat 1:", 12), fill(1), f("Sub1", 6), l("Sub Cat 2:", 12), fill(1),
                         f("Sub2", 6), l("Pages:", 8), fill(1), f("Pages", 5)});
        };
        auto undesignedRest = [](QStringList lines) {
            while (lines.size() < 12)
                lines << Undesigned;
            return lines;
        };

        QTest::newRow("Short Narrow") << 0 << "Short Narrow Report" << 90 << all10 << "11011" << 1 << "11"
                                      << "10"
                                      << undesignedRest({line({f("Title", 59), f("YearPub", 5), f("Author", 27)})});
        QTest::newRow("2 Line") << 1 << "2 Line 120 Column Report" << 120 << spareCourier << "01011" << 2 << "00"
                                << "10"
                                << undesignedRest({line({l("Title:", 6), fill(1), f("Title", 70), l("Category:", 11),
                                                         fill(1), f("Category", 20)}),
                                                   author(60)});
        QTest::newRow("4 Line") << 2 << "4 Line Report" << 120 << spareCourier << "01011" << 4 << "00"
                                << "10" << undesignedRest({titleAndType, author(59), category(9)});
        QTest::newRow("Full")
            << 3 << "Full Report" << 120 << spareCourier << "01011" << 10 << "00"
            << "10"
            << undesignedRest({
                   titleAndType,
                   author(60),
                   line({l("Publisher:", 10), fill(1), f("Publisher", 40), l("Editor:", 9), fill(1), f("Editor", 30),
                         l("ISBN:", 7), fill(1), f("ISBN", 20)}),
                   line({l("Cost:", 7), fill(1), f("Cost", 12), l("Value:", 8), fill(1), f("Value", 12),
                         l("Low Market:", 13), fill(1), f("LowMarket", 12), l("High Market:", 14), fill(1),
                         f("HighMarket", 12), l("Cond:", 7), fill(1), f("Condition", 20)}),
                   category(10),
                   line({l("Date Purchased:", 15), fill(1), f("PurchDate", 11), l("Where Purchased:", 18), fill(1),
                         f("WherePurch", 30), l("Location:", 11), fill(1), f("Location", 30)}),
                   line({l("Checked Out:", 12), fill(1), f("CheckOut", 3), l("Checkout Date:", 16), fill(1),
                         f("CheckDate", 11), l("Checked Out To:", 17), fill(1), f("CheckName", 30), l("Edition:", 11),
                         fill(1), f("Edition", 10)}),
                   line({l("Vol:", 4), fill(1), f("Volume", 8), l("Issue:", 8), fill(1), f("Issue", 8),
                         l("Key Words:", 12), fill(1), f("KeyWords", 77)}),
                   line({l("Desc:", 6), fill(1), f("Descriptio", 110)}),
               });
        QTest::newRow("Location") << 4 << "Location Report" << 90 << all10 << "11010" << 1 << "11"
                                  << "10" << undesignedRest({line({f("Title", 60), f("Location", 30)})});
        QTest::newRow("Checkout") << 5 << "Library Checkout Report" << 120 << all8 << "11010" << 1 << "11"
                                  << "00"
                                  << undesignedRest({line(
                                         {f("Title", 60), f("CheckOut", 3), f("CheckDate", 12), f("CheckName", 30)})});
        QTest::newRow("Value") << 6 << "Value Report" << 90 << all10 << "11011" << 1 << "11"
                               << "10"
                               << undesignedRest({line({f("Title", 42), f("Cost", 12), f("Value", 12),
                                                        f("LowMarket", 12), f("HighMarket", 12)})});
        QTest::newRow("Summary") << 7 << "Statistic/Summary Report" << 90 << all10 << "01011" << 0 << "00"
                                 << "10" << undesignedRest({});
    }

    void builtInReportsAsStored()
    {
        QFETCH(int, record);
        QVERIFY(file().createDefaults());
        const QByteArray bytes = TestSupport::readAll(urp());
        QCOMPARE(bytes.size(), 8 * RecordSize);
        const Raw r{bytes.constData() + record * RecordSize};

        QTEST(QString::fromLatin1(r.string(0, 30)), "name");
        QTEST(r.int16(31), "width");
        QStringList fonts;
        for (int i = 0; i < 5; ++i)
            fonts << r.font(33 + i * 61);
        QTEST(fonts, "fonts");
        QTEST(u"%1%2%3%4%5"_s.arg(r.byte(338)).arg(r.byte(339)).arg(r.byte(340)).arg(r.byte(341)).arg(r.byte(342)),
              "flags");
        QTEST(r.int16(343), "numLines");
        QCOMPARE(r.line(345), line({l("Cost:", 10), fill(1), u"Cost#1 12"_s, l("Value:", 8), fill(1), u"Value#2 12"_s,
                                    l("Low Market:", 13), fill(1), u"Low Market#3 12"_s, l("High Market:", 14), fill(1),
                                    u"High Market#4 12"_s, fill(60)}));
        for (int m = 0; m < 4; ++m)
            QCOMPARE(r.real(1845 + 8 * m), 0.5);
        QTEST(u"%1%2"_s.arg(r.byte(1877)).arg(r.byte(1878)), "rules");
        for (int t = 0; t < 3; ++t)
            QCOMPARE(r.byte(1879 + 81 * t), 0);
        QStringList lines;
        for (int k = 0; k < 12; ++k)
            lines << r.line(2122 + k * 1500);
        QTEST(lines, "lines");
        QTEST(u"%1%2"_s.arg(r.byte(20122)).arg(r.byte(20123)), "groups");
        QCOMPARE(QByteArray(r.at + 20124, 498), QByteArray(498, '\0'));
        // The program reads back what it wrote.
        ReportDefinition loaded;
        QVERIFY(file().load(record, loaded));
        QCOMPARE(loaded, BuiltInReports::all()[std::size_t(record)]);
    }

    void recordRoundTripKeepsEveryField()
    {
        ReportDefinition d = BuiltInReports::all()[3];
        d.name = u"Prêt € à porter"_s;
        d.titles = {u"A"_s, QString(80, u'x'), u"Ω not in 1252"_s};
        d.topMargin = -0.25;
        d.rightMargin = 1.0 / 3;
        d.landscape = true;
        d.level2Group = true;
        d.footnoteFont.color = 0x00FF8040;
        d.footnoteFont.strikeOut = true;
        d.bodyLines[11].elements[19] = {ReportElement::Label, 0, -7, u"Last"_s};
        const ReportDefinition back = ReportDefinition::fromRecord(d.toRecord().constData());
        QCOMPARE(back.name, u"Prêt € à porter"_s);
        QCOMPARE(back.titles[2], u"? not in 1252"_s);
        d.titles[2] = back.titles[2];
        QCOMPARE(back, d);
    }

    void stringsLongerThanTheirCapacity()
    {
        QByteArray record = BuiltInReports::all()[0].toRecord();
        record[0] = char(200); // name: capacity 30
        std::memset(record.data() + 1, 'N', 30);
        record[1879] = char(255);     // title 1: capacity 80, followed by title 2
        record[2122 + 34] = char(99); // label text of body line 1, element 1: capacity 40
        const ReportDefinition d = ReportDefinition::fromRecord(record.constData());
        QCOMPARE(d.name, QString(30, u'N'));
        QCOMPARE(d.titles[0].size(), 80);
        QCOMPARE(d.bodyLines[0].elements[0].labelText.size(), 40);
    }

    void listLoadAppendReplace()
    {
        QCOMPARE(file().list(), QStringList());
        ReportDefinition d;
        QVERIFY(!file().load(0, d));
        file().append(named(u"One"_s));
        file().append(named(QString()));
        file().append(named(u"Three"_s));
        QCOMPARE(file().list(), (QStringList{u"One"_s, QString(), u"Three"_s}));
        file().replace(1, named(u"Two"_s));
        file().replace(3, named(u"Four"_s)); // the record count itself appends
        QVERIFY_THROWS_EXCEPTION(FileError, file().replace(5, named(u"Six"_s)));
        QCOMPARE(file().list(), (QStringList{u"One"_s, u"Two"_s, u"Three"_s, u"Four"_s}));
        QVERIFY(file().load(2, d));
        QCOMPARE(d, named(u"Three"_s));
        QVERIFY(!file().load(4, d));
        QCOMPARE(d, named(u"Three"_s));
        QCOMPARE(QFileInfo(urp()).size(), 4 * RecordSize);
    }

    void partialRecordAtTheEnd()
    {
        file().append(named(u"One"_s));
        file().append(named(u"Two"_s));
        QByteArray bytes = TestSupport::readAll(urp());
        bytes.chop(100);
        TestSupport::writeAll(urp(), bytes);
        QCOMPARE(file().list(), QStringList{u"One"_s});
        ReportDefinition d;
        QVERIFY(!file().load(1, d));
        // Nothing is written until a save; an append takes the place of the cut record.
        QCOMPARE(QFileInfo(urp()).size(), 2 * RecordSize - 100);
        file().append(named(u"New"_s));
        QCOMPARE(file().list(), (QStringList{u"One"_s, u"New"_s}));
        QCOMPARE(QFileInfo(urp()).size(), 2 * RecordSize);
    }

    void deleteMovesTheRestUp()
    {
        for (const char *name : {"A", "B", "C", "D"})
            file().append(named(QString::fromLatin1(name)));
        file().remove(1);
        QCOMPARE(file().list(), (QStringList{u"A"_s, u"C"_s, u"D"_s}));
        file().remove(2); // the last
        QCOMPARE(file().list(), (QStringList{u"A"_s, u"C"_s}));
        QCOMPARE(QFileInfo(urp()).size(), 2 * RecordSize);
        QVERIFY_THROWS_EXCEPTION(FileError, file().remove(2));
        file().remove(0);
        file().remove(0); // the only one
        QVERIFY(QFileInfo::exists(urp()));
        QCOMPARE(QFileInfo(urp()).size(), 0);
        QCOMPARE(file().list(), QStringList());
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{u"SHMKLIB.URP"_s});
    }

    void readOnlyFileIsListedButNotLoadedOrChanged()
    {
        QVERIFY(file().createDefaults());
        const QByteArray before = TestSupport::readAll(urp());
        TestSupport::ReadOnlyFile readOnly(urp());
        if (!readOnly.active())
            QSKIP("the file system lets this user write any file");
        QCOMPARE(file().list().size(), 8);
        ReportDefinition d;
        QVERIFY(!file().load(0, d));
        QVERIFY_THROWS_EXCEPTION(FileError, file().append(named(u"X"_s)));
        QVERIFY_THROWS_EXCEPTION(FileError, file().replace(0, named(u"X"_s)));
        QVERIFY_THROWS_EXCEPTION(FileError, file().remove(0));
        QCOMPARE(TestSupport::readAll(urp()), before);
    }

    void ensureFileWritesDefaultsOnlyWhenMissing()
    {
        file().ensureFile();
        QCOMPARE(file().list().size(), 8);
        file().remove(7);
        file().ensureFile();
        QCOMPARE(file().list().size(), 7);
    }

    void convertOldSkipsTheEarlierBuiltInsAndRenumbersQuantity()
    {
        QByteArray old = oldRecord("Full Report", 120, 10, "ignored", 3);
        old += oldRecord("My Shelf List", 90, 2, "Shelf", 3);
        old += oldRecord("1 Line 90 Column Report", 90, 1, "ignored", 3);
        old += oldRecord("Full Report ", 120, 1, "Near Miss", 2); // the trailing blank makes it a name of its own
        old += oldRecord("Cut Short", 90, 1, "Lost", 3).left(EarlierSize - 1);
        TestSupport::writeAll(bookUrp(), old);

        file().ensureFile();
        QVERIFY(!QFileInfo::exists(bookUrp()));
        QStringList expected = file().list().mid(0, 8);
        QCOMPARE(expected.size(), 8);
        expected << u"My Shelf List"_s << u"Full Report "_s;
        QCOMPARE(file().list(), expected);

        ReportDefinition shelf;
        QVERIFY(file().load(8, shelf));
        QCOMPARE(shelf.width, 90);
        QCOMPARE(shelf.numLines, 2);
        QVERIFY(shelf.columnHeaders && !shelf.pageNumbers && shelf.useTotals);
        QVERIFY(!shelf.landscape && shelf.dateOnPages && !shelf.vertLines && !shelf.horzLines);
        QVERIFY(shelf.level1Group && !shelf.level2Group);
        QCOMPARE(shelf.titles[0], u"Shelf"_s);
        QCOMPARE(shelf.totalsLine.elements[0].fieldNo, 5);
        QCOMPARE(shelf.bodyLines[0].elements[0], (ReportElement{u"Title"_s, 1, 40, {}}));
        for (const ReportFont *font : {&shelf.titleFont, &shelf.columnHeaderFont, &shelf.footnoteFont})
            QCOMPARE(*font, (ReportFont{u"Courier New"_s, 10, true, false, false, false, 0}));
        for (const ReportFont *font : {&shelf.bodyFont, &shelf.spareFont})
            QCOMPARE(*font, (ReportFont{u"Courier New"_s, 10, false, false, false, false, 0}));
        QCOMPARE(shelf.topMargin + shelf.bottomMargin + shelf.leftMargin + shelf.rightMargin, 2.0);

        ReportDefinition nearMiss;
        QVERIFY(file().load(9, nearMiss));
        QCOMPARE(nearMiss.titleFont.size, 8);
        QCOMPARE(nearMiss.totalsLine.elements[0].fieldNo, 2);

        // A second start finds no BOOK.URP and changes nothing.
        const QByteArray after = TestSupport::readAll(urp());
        file().ensureFile();
        QCOMPARE(TestSupport::readAll(urp()), after);
    }

    void convertOldOfOnlyBuiltInsAddsNothing()
    {
        QVERIFY(file().createDefaults());
        const QByteArray before = TestSupport::readAll(urp());
        TestSupport::writeAll(m_dir.filePath(u"book.urp"_s), oldRecord("120 Column 4 Line Report", 120, 4, "", 3) +
                                                                 oldRecord("1 Line Location Report", 90, 1, "", 3));
        QCOMPARE(file().convertOld(), 0);
        QVERIFY(!QFileInfo::exists(m_dir.filePath(u"book.urp"_s)));
        QCOMPARE(TestSupport::readAll(urp()), before);
    }

    void convertOldAfterACrashAddsNothingTwice()
    {
        QVERIFY(file().createDefaults());
        const QByteArray old = oldRecord("Mine", 90, 1, "", 3) + oldRecord("Yours", 90, 1, "", 3);
        TestSupport::writeAll(bookUrp(), old);
        QCOMPARE(file().convertOld(), 2);
        const QByteArray converted = TestSupport::readAll(urp());
        // A start killed after the reports went in, before BOOK.URP was removed.
        TestSupport::writeAll(bookUrp(), old);
        file().convertOld();
        QVERIFY(!QFileInfo::exists(bookUrp()));
        QCOMPARE(TestSupport::readAll(urp()), converted);
        // Reports saved since then are no conversion: BOOK.URP adds its own again.
        file().append(named(u"Later"_s));
        TestSupport::writeAll(bookUrp(), old);
        QCOMPARE(file().convertOld(), 2);
        QCOMPARE(file().list().mid(8), (QStringList{u"Mine"_s, u"Yours"_s, u"Later"_s, u"Mine"_s, u"Yours"_s}));
    }

    void convertOldWaitsWhileTheReportsCannotBeKept()
    {
        QVERIFY(file().createDefaults());
        TestSupport::writeAll(bookUrp(), oldRecord("Mine", 90, 1, "", 3));
        {
            TestSupport::ReadOnlyFile readOnly(urp());
            if (!readOnly.active())
                QSKIP("the file system lets this user write any file");
            QCOMPARE(file().convertOld(), 0);
            QVERIFY(QFileInfo::exists(bookUrp()));
        }
        QCOMPARE(file().convertOld(), 1);
        QCOMPARE(file().list().last(), u"Mine"_s);
    }
};

SHELFMARK_TEST(TestReportDefinitions)
#include "TestReportDefinitions.moc"
