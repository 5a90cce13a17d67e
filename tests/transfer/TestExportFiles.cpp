#include "TestSupport.h"

#include "BookGenerator.h"
#include "app/Settings.h"
#include "framework/Error.h"
#include "framework/dbase/DbfTable.h"
#include "storage/CatalogTable.h"
#include "transfer/DelimitedReader.h"
#include "transfer/DelimitedWriter.h"
#include "transfer/ExportRun.h"
#include "transfer/ImportRun.h"

#include <QDir>
#include <QProcess>
#include <QTest>
#include <numeric>

using namespace Qt::StringLiterals;

namespace {

struct Book
{
    QString title, author, publisher;
    std::optional<double> year, cost;
    QDate bought;
};

// A catalog indexed by author; the third book is deleted.
QString makeCatalog(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(u"BOOKS.DBF"_s);
    CatalogTable::create(path);
    DbfTable table;
    table.open(path);
    const QList<Book> books = {
        {u"Der \"Zauberberg\""_s, u"Mann, Thomas"_s, u"  S. Fischer"_s, 1924, 12.5, QDate(2001, 3, 5)},
        {u"Œuvres – €"_s, u"Müller"_s, {}, {}, 0, {}},
        {u"Gone"_s, u"Aaron"_s, {}, {}, {}, {}},
        {u"Ulysses"_s, u"Joyce"_s, {}, 1922, -3.25, {}},
    };
    for (const Book &b : books) {
        table.append();
        table.setText(table.field(u"Title"), b.title);
        table.setText(table.field(u"Author"), b.author);
        table.setText(table.field(u"Publisher"), b.publisher);
        table.setNumber(table.field(u"YearPub"), b.year);
        table.setNumber(table.field(u"Cost"), b.cost);
        table.setDate(table.field(u"PurchDate"), b.bought);
        table.post();
    }
    table.goToRecord(3);
    table.deleteRecord();
    table.addIndex(CatalogTable::IndexTag, CatalogTable::sortString({2, 0, 0, 0}), true);
    return path;
}

// Author renamed "Writer" and first; two fields share position 4 and Publisher
// has none, so they follow in book-record order.
std::vector<ExportField> chosenFields()
{
    Settings settings{QString()};
    settings.exportFields.fill(false);
    const std::array<std::pair<int, int>, 6> positions = {{{2, 1}, {1, 2}, {7, 3}, {12, 4}, {3, 4}, {4, 0}}};
    for (const auto &[row, position] : positions) {
        settings.exportFields[std::size_t(row - 1)] = true;
        settings.exportOrder[std::size_t(row - 1)] = position;
    }
    settings.displayNames[1] = u"Writer"_s;
    return ExportRun::exportList(settings);
}

} // namespace

class TestExportFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void valueForms_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("written");
        QTest::newRow("quotes doubled") << u"Der \"Zauberberg\""_s << u"\"Der \"\"Zauberberg\"\"\""_s;
        QTest::newRow("comma kept") << u"Mann, Thomas"_s << u"\"Mann, Thomas\""_s;
        QTest::newRow("blanks trimmed") << u"  Ulysses  "_s << u"\"Ulysses\""_s;
        QTest::newRow("only blanks") << u"   "_s << u"\"\""_s;
        QTest::newRow("Windows-1252 letters") << u"Müller – Œuvres €"_s << u"\"Müller – Œuvres €\""_s;
        QTest::newRow("cut at 255") << QString(300, u'x') << u'"' + QString(255, u'x') + u'"';
        QTest::newRow("cut before trim") << QString(250, u' ') + u"abcdefghij"_s << u"\"abcde\""_s;
        QTest::newRow("quote kept by the cut doubled")
            << QString(254, u'a') + u"\"\"\""_s << u'"' + QString(254, u'a') + u"\"\"\""_s;
    }

    // The same value through each way in, three on a line.
    void valueForms()
    {
        QFETCH(QString, value);
        QFETCH(QString, written);
        const QString path = m_dir.filePath(u"values.txt"_s);
        DelimitedWriter out(path);
        const QByteArray utf8 = value.toUtf8();
        QByteArray windows1252;
        QVERIFY(!CodePage::windows1252().encode(value, windows1252));
        out.addValue(value);
        out.addWindows1252(windows1252.constData(), std::size_t(windows1252.size()));
        out.addUtf8(std::string_view(utf8.constData(), std::size_t(utf8.size())));
        out.endLine();
        out.commit();
        QCOMPARE(QString::fromUtf8(TestSupport::readAll(path)), QStringList(3, written).join(u',') + u"\r\n"_s);
    }

    void textInCursorOrderWithLabels()
    {
        DbfTable catalog;
        catalog.setIndexName(CatalogTable::IndexTag);
        catalog.open(makeCatalog(m_dir), DbfTable::Access::ReadOnly);
        const QString path = m_dir.filePath(u"out.txt"_s);
        QVERIFY(ExportRun(catalog, chosenFields(), DateFormat(10, true)).writeText(path, true));
        QCOMPARE(QString::fromUtf8(TestSupport::readAll(path)),
                 u"\"Writer\",\"Title\",\"Cost\",\"Year Pub\",\"Purchase Date\",\"Publisher\"\r\n"
                 "\"Joyce\",\"Ulysses\",\"-3.25\",\"1922\",\"\",\"\"\r\n"
                 "\"Mann, Thomas\",\"Der \"\"Zauberberg\"\"\",\"12.5\",\"1924\",\"05/03/2001\",\"S. Fischer\"\r\n"
                 "\"Müller\",\"Œuvres – €\",\"0\",\"\",\"\",\"\"\r\n"_s);
    }

    // The search filter leaves Joyce out; our engine and dbfread read the same.
    void tableOfTheExportedFields()
    {
        DbfTable catalog;
        catalog.setIndexName(CatalogTable::IndexTag);
        catalog.open(makeCatalog(m_dir), DbfTable::Access::ReadOnly);
        const int author = catalog.field(u"Author");
        catalog.setFilter([author](const DbfRecord &r) { return r.text(author) != u"Joyce"_s; });
        const QString path = m_dir.filePath(u"out.dbf"_s);
        QVERIFY(ExportRun(catalog, chosenFields()).writeTable(path));

        const QStringList expected = {u"Mann, Thomas|Der \"Zauberberg\"|12.5000|1924|20010305|  S. Fischer"_s,
                                      u"Müller|Œuvres – €|0.0000|||"_s};
        DbfTable out;
        out.open(path, DbfTable::Access::ReadOnly);
        QStringList layout, ours;
        for (const FieldDef &f : out.fields())
            layout << u"%1 %2(%3,%4)"_s.arg(f.name.toUpper()).arg(QLatin1Char(f.type)).arg(f.width).arg(f.decimals);
        QCOMPARE(layout.join(u", "_s), u"AUTHOR C(90,0), TITLE C(90,0), COST N(20,4), YEARPUB N(11,0), "
                                       "PURCHDATE D(8,0), PUBLISHER C(60,0)"_s);
        out.forEachRow([&](int, const DbfRecord &r) {
            QStringList values;
            for (int f = 0; f < int(out.fields().size()); ++f)
                values << r.text(f);
            ours << values.join(u'|');
        });
        QCOMPARE(ours, expected);

        QProcess python;
        python.start(u"/usr/bin/python3"_s,
                     {u"-c"_s,
                      u"import dbfread, sys\n"
                      "t = dbfread.DBF(sys.argv[1], encoding='cp1252', char_decode_errors='strict')\n"
                      "def show(f, v):\n"
                      "    if v is None: return ''\n"
                      "    if f.type == 'N': return '%.*f' % (f.decimal_count, v)\n"
                      "    return v.strftime('%Y%m%d') if f.type == 'D' else v\n"
                      "lines = ['|'.join(show(f, r[f.name]) for f in t.fields) for r in t]\n"
                      "sys.stdout.buffer.write('\\n'.join(lines).encode('utf-8'))\n"_s,
                      path});
        if (!python.waitForFinished(60000) || python.exitCode() != 0)
            QSKIP("python3-dbfread is not installed");
        QCOMPARE(QString::fromUtf8(python.readAllStandardOutput()).split(u'\n'), expected);
    }

    // Whatever the date format, the text holds four-digit years in its order
    // and with its separator: a two-digit year would come back in the wrong
    // century for books bought more than fifty years ago.
    void textImportsBackTheSameBooks_data()
    {
        QTest::addColumn<int>("dateFormat");
        QTest::addColumn<QString>("bought");
        QTest::newRow("m/d/yyyy") << 7 << u"3/5/2001"_s;
        QTest::newRow("m/d/yy") << 1 << u"3/5/2001"_s;
        QTest::newRow("d-m-yy") << 5 << u"5-3-2001"_s;
        QTest::newRow("d.m.yyyy") << 12 << u"5.3.2001"_s;
    }

    // Every field of generated books and of the books above comes back from
    // the import as it was, apart from the leading blanks the text drops.
    void textImportsBackTheSameBooks()
    {
        QFETCH(int, dateFormat);
        QFETCH(QString, bought);
        const QString source = makeCatalog(m_dir);
        {
            DbfTable table;
            table.open(source);
            BookGenerator(5).appendTo(table, 400, true);
        }
        DbfTable catalog;
        catalog.open(source, DbfTable::Access::ReadOnly);
        const DateFormat previous = DateFormat::current();
        DateFormat::setCurrent(DateFormat(dateFormat, false));
        const QString text = m_dir.filePath(u"all.txt"_s);
        QVERIFY(ExportRun(catalog, ExportRun::exportList(Settings{QString()})).writeText(text, true));
        QVERIFY(QString::fromUtf8(TestSupport::readAll(text)).contains(u",\""_s + bought + u"\","_s));

        const QString copy = m_dir.filePath(u"COPY.DBF"_s);
        CatalogTable::create(copy);
        DbfTable imported;
        imported.open(copy);
        std::vector<int> mapping(CatalogFields::Count);
        std::iota(mapping.begin(), mapping.end(), 1);
        ImportRun run(imported, mapping);
        run.importText(MappedFile(text).bytes(), true);
        DateFormat::setCurrent(previous);
        QCOMPARE(imported.recordCount(), catalog.recordCount());
        for (int row = 0; row < catalog.recordCount(); ++row) {
            const DbfRecord theirs = catalog.recordAt(row);
            const DbfRecord ours = imported.recordAt(row);
            for (int f = 0; f < CatalogFields::Count; ++f)
                QCOMPARE(ours.text(f), theirs.text(f).trimmed());
        }
    }

    void unfinishedRunsReplaceNothing_data()
    {
        QTest::addColumn<bool>("text");
        QTest::addColumn<bool>("ontoCatalog");
        QTest::newRow("text cancelled") << true << false;
        QTest::newRow("table cancelled") << false << false;
        QTest::newRow("text onto the open catalog") << true << true;
        QTest::newRow("table onto the open catalog") << false << true;
    }

    void unfinishedRunsReplaceNothing()
    {
        QFETCH(bool, text);
        QFETCH(bool, ontoCatalog);
        QTemporaryDir dir;
        DbfTable catalog;
        catalog.open(makeCatalog(dir));
        const QString target = ontoCatalog ? catalog.path() : dir.filePath(u"OLD.DBF"_s);
        if (!ontoCatalog)
            TestSupport::writeAll(target, "a good file");
        const QByteArray before = TestSupport::readAll(target);
        const QStringList files = QDir(dir.path()).entryList(QDir::Files);

        ExportRun run(catalog, chosenFields());
        run.setProgress([](int) { return false; });
        if (ontoCatalog)
            QVERIFY_THROWS_EXCEPTION(FileError, text ? run.writeText(target, true) : run.writeTable(target));
        else
            QVERIFY(!(text ? run.writeText(target, true) : run.writeTable(target)));
        QCOMPARE(TestSupport::readAll(target), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), files);
    }
};

SHELFMARK_TEST(TestExportFiles)
#include "TestExportFiles.moc"
