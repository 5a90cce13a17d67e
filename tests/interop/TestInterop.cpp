#include "TestSupport.h"

#include "BookGenerator.h"
#include "framework/dbase/DbfTable.h"
#include "storage/CatalogTable.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

// Tables and indexes we write, read back by independent dBASE readers:
// Python's dbfread for the records, Perl XBase's index_dump for the tag.
class TestInterop : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;

    // Standard output of a program; nothing when it could not run or failed.
    static std::optional<QByteArray> run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            return std::nullopt;
        return process.readAllStandardOutput();
    }

private slots:
    void initTestCase()
    {
        m_path = m_dir.filePath(QStringLiteral("BOOKS.DBF"));
        QVERIFY(CatalogTable::create(m_path));
        DbfTable table;
        table.open(m_path);
        BookGenerator generator(7);
        generator.appendTo(table, 1500, true);
        table.addIndex(CatalogTable::IndexTag, CatalogTable::sortString({2, 12, 0, 0}), true);
    }

    void dbfreadSeesTheSameRecords()
    {
        const QString python = QStringLiteral("/usr/bin/python3");
        if (!run(python, {QStringLiteral("-c"), QStringLiteral("import dbfread")}))
            QSKIP("python3-dbfread is not installed");
        const QString script =
            QStringLiteral("import dbfread, json, sys\n"
                           "t = dbfread.DBF(sys.argv[1], encoding='cp1252', char_decode_errors='strict')\n"
                           "h = t.header\n"
                           "rows = [dict(r) for r in t]\n"
                           "gone = [dict(r) for r in t.deleted]\n"
                           "out = {'version': h.dbversion, 'mdx': h.mdx_flag, 'driver': h.language_driver,\n"
                           "       'count': h.numrecords, 'live': rows, 'deleted': len(gone)}\n"
                           "print(json.dumps(out, default=str))\n");
        const auto output = run(python, {QStringLiteral("-c"), script, m_path});
        QVERIFY(output);
        const QJsonObject result = QJsonDocument::fromJson(*output).object();
        QCOMPARE(result.value(QStringLiteral("version")).toInt(), 3);
        QCOMPARE(result.value(QStringLiteral("mdx")).toInt(), 1);
        QCOMPARE(result.value(QStringLiteral("driver")).toInt(), 3);
        QCOMPARE(result.value(QStringLiteral("count")).toInt(), 1500);

        DbfTable table;
        table.open(m_path, DbfTable::Access::ReadOnly);
        const QJsonArray live = result.value(QStringLiteral("live")).toArray();
        QCOMPARE(live.size(), table.recordCount());
        QCOMPARE(result.value(QStringLiteral("deleted")).toInt(), 1500 - table.recordCount());
        int row = 0;
        for (table.first(); !table.eof(); table.next(), ++row) {
            const QJsonObject theirs = live.at(row).toObject();
            for (int f = 0; f < int(table.fields().size()); ++f) {
                const FieldDef &field = table.fields()[std::size_t(f)];
                const QJsonValue value = theirs.value(field.name);
                if (field.type == 'C') {
                    QCOMPARE(value.toString(), table.text(f));
                } else if (field.type == 'N') {
                    if (table.number(f))
                        QCOMPARE(value.toDouble(), *table.number(f));
                    else
                        QVERIFY(value.isNull());
                } else if (field.type == 'D') {
                    QCOMPARE(value.isNull() ? QString() : value.toString(), table.date(f).toString(Qt::ISODate));
                }
            }
        }
    }

    void indexDumpWalksTheSameOrder()
    {
        const QString indexDump = QStandardPaths::findExecutable(QStringLiteral("index_dump"));
        if (indexDump.isEmpty())
            QSKIP("index_dump (libdbd-xbase-perl) is not installed");
        const auto output = run(indexDump, {QStringLiteral("-tag"), QStringLiteral("NEWINDEX"),
                                            m_dir.filePath(QStringLiteral("BOOKS.MDX"))});
        QVERIFY(output);
        // It prints the key bytes as they are stored: Windows-1252.
        const QStringList lines = CodePage::windows1252()
                                      .decode(output->constData(), output->size())
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        DbfTable table;
        table.setIndexName(CatalogTable::IndexTag);
        table.open(m_path, DbfTable::Access::ReadOnly);
        QVERIFY(table.indexRepairReason().isEmpty());
        const auto &order = table.indexOrder();
        QCOMPARE(std::size_t(lines.size()), order.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            // "<key> <record number>", the key padded with blanks
            const QString line = lines.at(qsizetype(i));
            QCOMPARE(line.section(QLatin1Char(' '), -1).toUInt(), order[i]);
            const QByteArray key = table.indexKey(order[i]);
            QCOMPARE(line.left(key.size()).trimmed(), table.codePage().decode(key.constData(), key.size()).trimmed());
        }
    }
};

SHELFMARK_TEST(TestInterop)
#include "TestInterop.moc"
