#include "TestSupport.h"

#include "transfer/DelimitedReader.h"

#include <QTest>

namespace {

// Every line as its values joined by "|", a "!" ahead of a line the reader
// flagged, lines one per row.
QString readAll(const QByteArray &bytes)
{
    DelimitedReader reader(bytes);
    QStringList lines;
    while (reader.readLine()) {
        QStringList values;
        for (qsizetype i = 0; i < reader.valueCount(); ++i)
            values << reader.value(i).toString();
        lines << (reader.isMalformed() ? QStringLiteral("!") : QString()) + values.join(QLatin1Char('|'));
    }
    return lines.join(QLatin1Char('\n'));
}

// A first line of `values` quoted values of `length` characters, the last one
// `lastLength` long when given, and a second line.
QByteArray quotedLine(int values, int length = 1, int lastLength = 0)
{
    QByteArrayList parts;
    for (int i = 0; i < values; ++i)
        parts << '"' + QByteArray(i == values - 1 && lastLength > 0 ? lastLength : length, 'x') + '"';
    return parts.join(',') + "\r\n\"next\"\r\n";
}

} // namespace

class TestImportReader : public QObject
{
    Q_OBJECT

private slots:
    void linesAndValues_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("lines");
        QTest::newRow("CR LF ends one line") << QByteArray("\"a\",\"b\"\r\n\"c\"\r\n") << "a|b\nc";
        QTest::newRow("bare LF outside quotes") << QByteArray("\"a\"\n\"b\"") << "a\nb";
        QTest::newRow("LF and tab inside quotes dropped") << QByteArray("\"Multi\nLi\tne\",\"x\"") << "MultiLine|x";
        QTest::newRow("lone CR ends a line") << QByteArray("\"a\"\r\"b\"\r\n") << "a\nb";
        QTest::newRow("Ctrl+Z ends the file") << QByteArray("\"a\"\r\n\x1a\"b\"\r\n") << "a";
        QTest::newRow("comma inside quotes") << QByteArray("\"Truss, Lynne\",\"1\"") << "Truss, Lynne|1";
        QTest::newRow("doubled quotes") << QByteArray("\"\"\"Joking\"\"\",\"Notes on \"\"Camp\"\"\"")
                                        << "\"Joking\"|Notes on \"Camp\"";
        QTest::newRow("empty values") << QByteArray("\"\",\"\",\"\"") << "||";
        QTest::newRow("blanks before the opening quote kept") << QByteArray("\"a\",  \"b, c\"") << "a|  b, c";
        QTest::newRow("unquoted line is one value")
            << QByteArray("Unquoted, with commas\r\n") << "!Unquoted, with commas";
        QTest::newRow("empty line not flagged") << QByteArray("\"a\"\r\n\r\n\"b\"") << "a\n\nb";
        QTest::newRow("stray quote kept") << QByteArray("\"12\" ruler\",\"x\"") << "!12\" ruler|x";
        QTest::newRow("blanks after closing quote") << QByteArray("\"a\"  ,\"b\"  \r\n") << "!a|b";
        QTest::newRow("CR inside quotes ends the line") << QByteArray("\"open\r\n\"b\"") << "!open\nb";
        QTest::newRow("value cut at 255") << "\"" + QByteArray(300, 'v') + "\",\"w\"" << QString(255, u'v') + "|w";
        QTest::newRow("Windows-1252") << QByteArray("\"Mis\xe9rables \x8cuvres \x93x\x94\"")
                                      << QString::fromUtf8("Misérables Œuvres “x”");
        QTest::newRow("UTF-8 with byte-order mark")
            << QByteArray("\xEF\xBB\xBF\"\xC3\xA9\xF0\x9F\x93\x9A\"") << QString::fromUtf8("é📚");
        QTest::newRow("invalid UTF-8 anywhere: all Windows-1252")
            << QByteArray("\"\xC3\xA9\"\r\n\"\xE9\"") << QString::fromUtf8("Ã©\né");
    }
    void linesAndValues()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, lines);
        QCOMPARE(readAll(bytes), lines);
    }

    void firstLine_data()
    {
        using Error = DelimitedReader::Header::Error;
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Error>("error");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("46 values") << quotedLine(46) << Error::None << QStringList(46, "x");
        QTest::newRow("47 values") << quotedLine(47) << Error::TooManyFields << QStringList();
        QTest::newRow("255 characters") << quotedLine(1, 255) << Error::None << QStringList{QString(20, u'x')};
        QTest::newRow("256 characters") << quotedLine(1, 256) << Error::FieldTooLong << QStringList();
        QTest::newRow("too long before too many") << quotedLine(50, 256) << Error::FieldTooLong << QStringList();
        QTest::newRow("too many before too long") << quotedLine(47, 1, 300) << Error::TooManyFields << QStringList();
        QTest::newRow("unclosed quote") << QByteArray("\"Title\",\"Author\r\n\"x\"") << Error::UnexpectedEnd
                                        << QStringList();
        QTest::newRow("unquoted") << QByteArray("Title,Author\r\n") << Error::UnexpectedEnd << QStringList();
        QTest::newRow("empty file") << QByteArray() << Error::UnexpectedEnd << QStringList();
        QTest::newRow("blank names") << QByteArray("\"Title\",\"\",\"A name longer than twenty\"") << Error::None
                                     << QStringList{"Title", "<BLANK FIELD>", "A name longer than t"};
    }
    void firstLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(DelimitedReader::Header::Error, error);
        QFETCH(QStringList, names);
        const DelimitedReader::Header header = DelimitedReader::readHeader(bytes);
        QCOMPARE(header.error, error);
        QCOMPARE(header.names, names);
    }
};

SHELFMARK_TEST(TestImportReader)
#include "TestImportReader.moc"
