#include "TestSupport.h"

#include "framework/Error.h"
#include "framework/profile/IniFile.h"

#include <QDir>
#include <QTest>
#include <csignal>
#include <optional>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void lookup_data();
    void lookup();
    void writesCrLfKeepingOrder();
    void loadOfMissingFileEmpties();
    void failedSaveKeepsOldFile();

private:
    std::optional<QTemporaryDir> m_dir;
};

void TestIniFile::init()
{
    m_dir.emplace();
    QVERIFY(m_dir->isValid());
}

void TestIniFile::cleanup()
{
    m_dir.reset();
}

void TestIniFile::lookup_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QString none = QStringLiteral("<default>");
    QTest::newRow("CR LF") << QByteArray("[S]\r\nA=1\r\nB=2\r\n") << "S"
                           << "B"
                           << "2";
    QTest::newRow("LF") << QByteArray("[S]\nA=1\nB=2") << "S"
                        << "B"
                        << "2";
    QTest::newRow("CR alone") << QByteArray("[S]\rA=1\rB=2\r") << "S"
                              << "B"
                              << "2";
    QTest::newRow("case of names") << QByteArray("[misc]\r\nbutton BAR=3\r\n") << "MISC"
                                   << "Button Bar"
                                   << "3";
    QTest::newRow("blanks around names") << QByteArray(" [ Misc ] \r\n\t Key \t=v\r\n") << "Misc"
                                         << "Key"
                                         << "v";
    QTest::newRow("value without surrounding blanks") << QByteArray("[S]\r\nK= a = b \t\r\n") << "S"
                                                      << "K"
                                                      << "a = b";
    QTest::newRow("empty value") << QByteArray("[S]\r\nK=\r\n") << "S"
                                 << "K"
                                 << "";
    QTest::newRow("missing key") << QByteArray("[S]\r\nK=1\r\n") << "S"
                                 << "L" << none;
    QTest::newRow("missing section") << QByteArray("[S]\r\nK=1\r\n") << "T"
                                     << "K" << none;
    QTest::newRow("key before any section") << QByteArray("K=1\r\n[S]\r\n") << "S"
                                            << "K" << none;
    QTest::newRow("garbage lines") << QByteArray("[S]\r\njunk\r\n[unclosed\r\n\x01\x02\r\nK=1\r\n") << "S"
                                   << "K"
                                   << "1";
    QTest::newRow("empty key") << QByteArray("[S]\r\n=v\r\n") << "S"
                               << "" << none;
    QTest::newRow("first of two keys") << QByteArray("[S]\r\nK=1\r\nk=2\r\n") << "S"
                                       << "K"
                                       << "1";
    QTest::newRow("section named twice") << QByteArray("[S]\r\n[T]\r\n[s]\r\nK=2\r\n") << "S"
                                         << "K"
                                         << "2";
    QTest::newRow("last bracket closes") << QByteArray("[a]b]\r\nK=1\r\n") << "a]b"
                                         << "K"
                                         << "1";
    QTest::newRow("UTF-8") << QByteArray("[S]\r\nK=Caf\xc3\xa9 \xe2\x82\xac\r\n") << "S"
                           << "K" << u"Café €"_s;
    QTest::newRow("UTF-8 mark") << QByteArray("\xef\xbb\xbf[S]\r\nK=1\r\n") << "S"
                                << "K"
                                << "1";
    QTest::newRow("Windows-1252") << QByteArray("[S]\r\nK=Caf\xe9 \x80\r\n") << "S"
                                  << "K" << u"Café €"_s;
    QTest::newRow("one bad byte") << QByteArray("[S]\r\nK=\xc3\xa9\r\nL=\xff\r\n") << "S"
                                  << "K" << u"Ã©"_s;
}

void TestIniFile::lookup()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);

    IniFile ini;
    ini.parse(file);
    QCOMPARE(ini.value(section, key, QStringLiteral("<default>")), expected);
}

void TestIniFile::writesCrLfKeepingOrder()
{
    IniFile ini;
    ini.parse("[First]\nb=1\njunk\na=2\n[Second]\nx=9\n");
    ini.setValue(QStringLiteral("SECOND"), QStringLiteral("X"), QStringLiteral("10"));
    ini.setValue(QStringLiteral("First"), QStringLiteral("c"), QStringLiteral("3"));
    ini.setValue(QStringLiteral("Third"), QStringLiteral("k"), u"Müller"_s);
    ini.setValue(QStringLiteral("first"), QStringLiteral("B"), QStringLiteral("one"));
    ini.setValue(QStringLiteral("Third"), QStringLiteral("m"), QStringLiteral("x\r\n[Evil]\ny=1"));

    const QByteArray expected = "[First]\r\nb=one\r\na=2\r\nc=3\r\n"
                                "\r\n[Second]\r\nx=10\r\n"
                                "\r\n[Third]\r\nk=M\xc3\xbcller\r\nm=x\r\n";
    QCOMPARE(ini.toBytes(), expected);

    const QString path = m_dir->filePath(QStringLiteral("OUT.INI"));
    ini.save(path);
    QCOMPARE(TestSupport::readAll(path), expected);
    IniFile reread;
    QVERIFY(reread.load(path));
    QCOMPARE(reread.sections(), QStringList({"First", "Second", "Third"}));
    QCOMPARE(reread.keys(QStringLiteral("third")), QStringList({"k", "m"}));
}

void TestIniFile::loadOfMissingFileEmpties()
{
    IniFile ini;
    ini.parse("[S]\r\nK=1\r\n");
    QVERIFY(!ini.load(m_dir->filePath(QStringLiteral("NONE.INI"))));
    QVERIFY(ini.sections().isEmpty());
    QCOMPARE(ini.value(QStringLiteral("S"), QStringLiteral("K")), QString());
}

void TestIniFile::failedSaveKeepsOldFile()
{
    const QString path = m_dir->filePath(QStringLiteral("KEEP.INI"));
    const QByteArray old = "[Old]\r\nK=1\r\n";
    TestSupport::writeAll(path, old);
    IniFile ini;
    ini.setValue(QStringLiteral("New"), QStringLiteral("K"), QString(8192, u'x'));

    // A file size limit makes the write run out of room the way a full disk does
    // (and holds for root, unlike file permissions).
    rlimit saved{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
    rlimit small = saved;
    small.rlim_cur = 1024;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
    bool refused = false;
    try {
        ini.save(path);
    } catch (const FileError &e) {
        refused = e.message().contains(QLatin1String("KEEP.INI"));
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(refused);
    QCOMPARE(TestSupport::readAll(path), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList({"KEEP.INI"}));
}

SHELFMARK_TEST(TestIniFile)

#include "TestIniFile.moc"
