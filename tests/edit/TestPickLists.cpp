#include "PickListFixture.h"

#include "framework/Error.h"
#include "framework/ui/MessageService.h"
#include "storage/CatalogFields.h"

#include <QFileInfo>
#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;

class TestPickLists : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::installMessageFilter(); }

    void reading_data();
    void reading();
    void writingUsesCrLfAndUtf8();
    void writtenListReadsBackTheSame();
    void emptyListIsZeroByteFile();
    void missingFileEmptiesBothCombos();
    void readErrorIsReported();
    void readOnlyFileIsReportedOthersWritten();
    void ownListsOrDefaults_data();
    void ownListsOrDefaults();
    void savingKeepsExistingFileWhateverItsCase();
    void defaultListsWriteFromEditorLoadIntoBoth();
    void addToList_data();
    void addToList();
    void typedValuesJoinTheListOnce();
    void loadingKeepsTypedText();
    void sorting_data();
    void sorting();
    void installDefaultsCopiesOnlyMissingFiles();
    void shippedDefaultsFitTheirFields();
    void defaultQuestions();
    void tableMatchesRecordFields();
};

void TestPickLists::reading_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");

    const QByteArray x255(255, 'x');
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("empty and blank lines skipped, blanks around kept")
        << QByteArray("\r\n   \r\n  Smith  \r\n") << QStringList{u"  Smith  "_s};
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("LF") << QByteArray("a\nb\n") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("CR") << QByteArray("a\rb\r") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("no final line end") << QByteArray("a\r\nb") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("tabs are content") << QByteArray("\t\r\n \t \r\n") << QStringList{u"\t"_s, u" \t "_s};
    QTest::newRow("order and duplicates kept") << QByteArray("b\r\na\r\nb\r\n") << QStringList{u"b"_s, u"a"_s, u"b"_s};
    QTest::newRow("300 characters keep 255, rest of line skipped") << x255 + QByteArray(45, 'y') + "\r\nnext\r\n"
                                                                   << QStringList{QString::fromLatin1(x255), u"next"_s};
    QTest::newRow("255 characters kept whole") << x255 << QStringList{QString::fromLatin1(x255)};
    QTest::newRow("blanks up to the cut make a blank line")
        << QByteArray(255, ' ') + "text\r\nnext" << QStringList{u"next"_s};
    QTest::newRow("Windows-1252") << QByteArray("Caf\xE9\r\n\x80uro\r\n") << QStringList{u"Café"_s, u"€uro"_s};
    QTest::newRow("UTF-8") << QByteArray("Caf\xC3\xA9\r\n\xC5\xBB\xC3\xB3\xC5\x82w\r\n")
                           << QStringList{u"Café"_s, u"Żółw"_s};
    QTest::newRow("UTF-8 byte-order mark") << QByteArray("\xEF\xBB\xBF"
                                                         "Abc\r\n")
                                           << QStringList{u"Abc"_s};
    QTest::newRow("byte-order marks of lists joined together") << QByteArray("\xEF\xBB\xBF"
                                                                             "A\r\n\xEF\xBB\xBF"
                                                                             "B\r\n\xEF\xBB\xBF \r\n")
                                                               << QStringList{u"A"_s, u"B"_s};
    QTest::newRow("cut counts characters, not bytes") << QString(300, u'é').toUtf8() << QStringList{QString(255, u'é')};
    QTest::newRow("cut keeps a character beyond 16 bits whole")
        << QString(254, u'a').toUtf8() + "\xF0\x9F\x93\x9A" + "b" << QStringList{QString(254, u'a') + u"📚"_s};
}

void TestPickLists::reading()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    PickListFixture f;
    TestSupport::writeAll(f.path(u"BOOKS.001"_s), bytes);
    QCOMPARE(PickLists::readFile(f.path(u"BOOKS.001"_s)), expected);
}

void TestPickLists::writingUsesCrLfAndUtf8()
{
    PickListFixture f;
    f.setBoth(2, {u"  Shelf 1  "_s, u"Café"_s, u"\tTab"_s});
    f.lists->SaveAllLists();
    QCOMPARE(TestSupport::readAll(f.path(u"BOOKS.002"_s)), QByteArray("  Shelf 1  \r\nCaf\xC3\xA9\r\n\tTab\r\n"));
}

void TestPickLists::writtenListReadsBackTheSame()
{
    PickListFixture f;
    const QStringList entries{u" a "_s, u"a"_s, u"€"_s, u"\t"_s, u"Ünïcödé"_s, QString(255, u'z')};
    PickLists::writeFile(f.path(u"L"_s), entries);
    QCOMPARE(PickLists::readFile(f.path(u"L"_s)), entries);
}

void TestPickLists::emptyListIsZeroByteFile()
{
    PickListFixture f;
    TestSupport::writeAll(f.path(u"BOOKS.009"_s), "old\r\n");
    f.lists->SaveAllLists();
    for (int number = 1; number <= PickLists::Count; ++number) {
        const QFileInfo file(f.lists->listFile(number));
        QVERIFY2(file.exists(), qPrintable(file.fileName()));
        QCOMPARE(file.size(), 0);
    }
}

void TestPickLists::missingFileEmptiesBothCombos()
{
    PickListFixture f;
    f.setBoth(1, {u"Old"_s});
    PickLists::LoadList(f.path(u"BOOKS.001"_s), f.editor[0], f.main[0]);
    QCOMPARE(f.editor[0]->count(), 0);
    QCOMPARE(f.main[0]->count(), 0);
}

void TestPickLists::readErrorIsReported()
{
    // The process's own memory opens but cannot be read from its start.
    QVERIFY_THROWS_EXCEPTION(FileError, PickLists::readFile(u"/proc/self/mem"_s));
}

void TestPickLists::readOnlyFileIsReportedOthersWritten()
{
    PickListFixture f;
    TestSupport::writeAll(f.path(u"BOOKS.003"_s), "kept\r\n");
    for (int number = 1; number <= PickLists::Count; ++number)
        f.setBoth(number, {u"entry %1"_s.arg(number)});
    {
        TestSupport::ReadOnlyFile readOnly(f.path(u"BOOKS.003"_s));
        if (!readOnly.active())
            QSKIP("This file system cannot make a file read-only for this user.");
        QString reported;
        try {
            f.lists->SaveAllLists();
        } catch (const FileError &e) {
            reported = e.message();
        }
        QVERIFY2(reported.contains(u"BOOKS.003"_s), qPrintable(reported));
    }
    QCOMPARE(TestSupport::readAll(f.path(u"BOOKS.003"_s)), QByteArray("kept\r\n"));
    for (int number : {1, 2, 4, 5, 6, 7, 8, 9})
        QCOMPARE(PickLists::readFile(f.lists->listFile(number)), QStringList{u"entry %1"_s.arg(number)});
}

void TestPickLists::ownListsOrDefaults_data()
{
    QTest::addColumn<QStringList>("files");
    // The first entry of lists 1-9 after loading: from the database's own file,
    // from the default file, or none.
    QTest::addColumn<QStringList>("expected");

    const QString own = u"own"_s;
    const QString def = u"default"_s;
    const QString none;
    QTest::newRow("no list files: defaults")
        << QStringList() << QStringList{def, def, def, def, def, def, def, def, def};
    QTest::newRow("no Book Type, Category or Rating: defaults except files it has")
        << QStringList{u"BOOKS.001"_s, u"BOOKS.009"_s} << QStringList{own, def, def, def, def, def, def, def, own};
    QTest::newRow("Rating only: own lists")
        << QStringList{u"BOOKS.006"_s} << QStringList{none, none, none, none, none, own, none, none, none};
    QTest::newRow("Category only: own lists") << QStringList{u"BOOKS.004"_s, u"BOOKS.002"_s}
                                              << QStringList{none, own, none, own, none, none, none, none, none};
    QTest::newRow("Book Type in lower case: own lists")
        << QStringList{u"books.007"_s} << QStringList{none, none, none, none, none, none, own, none, none};
}

void TestPickLists::ownListsOrDefaults()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, expected);
    PickListFixture f;
    for (int number = 1; number <= PickLists::Count; ++number) {
        TestSupport::writeAll(f.lists->defaultListFile(number), "default\r\n");
        f.setBoth(number, {u"before"_s});
    }
    for (const QString &name : files)
        TestSupport::writeAll(f.path(name), "own\r\n");

    f.lists->LoadAllList();
    for (int number = 1; number <= PickLists::Count; ++number) {
        const QStringList want = expected[number - 1].isEmpty() ? QStringList() : QStringList{expected[number - 1]};
        QCOMPARE(f.items(f.editor[number - 1]), want);
        QCOMPARE(f.items(f.main[number - 1]), want);
    }
}

void TestPickLists::savingKeepsExistingFileWhateverItsCase()
{
    PickListFixture f;
    TestSupport::writeAll(f.path(u"books.002"_s), "old\r\n");
    f.setBoth(2, {u"Attic"_s});
    f.lists->SaveAllLists();
    QCOMPARE(TestSupport::readAll(f.path(u"books.002"_s)), QByteArray("Attic\r\n"));
    QVERIFY(!QFileInfo::exists(f.path(u"BOOKS.002"_s)));
    QVERIFY(QFileInfo::exists(f.path(u"BOOKS.001"_s)));
}

void TestPickLists::defaultListsWriteFromEditorLoadIntoBoth()
{
    PickListFixture f;
    // The main window's combo boxes show the editor's lists: one copy of each.
    for (int number = 1; number <= PickLists::Count; ++number) {
        f.editor[number - 1]->addItem(u"master %1"_s.arg(number));
        QCOMPARE(f.items(f.main[number - 1]), QStringList{u"master %1"_s.arg(number)});
    }
    f.lists->SaveDefaultLists();
    QCOMPARE(TestSupport::readAll(f.programDirectory() + u"/CONDITION.LST"_s), QByteArray("master 9\r\n"));

    for (int number = 1; number <= PickLists::Count; ++number)
        f.setBoth(number, {});
    f.lists->LoadDefaultList();
    for (int number = 1; number <= PickLists::Count; ++number) {
        const QStringList want{u"master %1"_s.arg(number)};
        QCOMPARE(f.items(f.editor[number - 1]), want);
        QCOMPARE(f.items(f.main[number - 1]), want);
    }
    // The database's own files are only written by a save of its lists.
    QVERIFY(!QFileInfo::exists(f.path(u"BOOKS.001"_s)));
}

void TestPickLists::addToList_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("new value, trailing blank dropped")
        << QStringList{u"Smith"_s} << u"Brown "_s << QStringList{u"Smith"_s, u"Brown"_s};
    QTest::newRow("value already there") << QStringList{u"Brown"_s} << u"  Brown"_s << QStringList{u"Brown"_s};
    QTest::newRow("case matters") << QStringList{u"Brown"_s} << u"brown"_s << QStringList{u"Brown"_s, u"brown"_s};
    QTest::newRow("blanks only") << QStringList{u"Brown"_s} << u"   "_s << QStringList{u"Brown"_s};
    QTest::newRow("empty") << QStringList() << QString() << QStringList();
    QTest::newRow("entry read with blanks differs")
        << QStringList{u"  Smith  "_s} << u"Smith"_s << QStringList{u"  Smith  "_s, u"Smith"_s};
    QTest::newRow("tabs are not trimmed") << QStringList{u"X"_s} << u"\tX "_s << QStringList{u"X"_s, u"\tX"_s};
    QTest::newRow("first entry of an empty list") << QStringList() << u" Brown "_s << QStringList{u"Brown"_s};
}

void TestPickLists::addToList()
{
    QFETCH(QStringList, items);
    QFETCH(QString, typed);
    QFETCH(QStringList, expected);
    PickListFixture f;
    QComboBox *combo = f.editor[0];
    combo->addItems(items);
    combo->setEditText(typed);

    const QString value = PickLists::AddToList(combo);
    QCOMPARE(f.items(combo), expected);
    QCOMPARE(value, PickLists::trimBlanks(typed));
    // The record is stored from the text exactly as typed.
    QCOMPARE(combo->currentText(), typed);
}

void TestPickLists::typedValuesJoinTheListOnce()
{
    PickListFixture f;
    f.editor[0]->addItem(u"Brown"_s);
    f.editor[0]->setEditText(u"Brown "_s); // already an entry once trimmed
    f.editor[3]->setEditText(u" History"_s);
    f.editor[4]->setEditText(u"penguin"_s); // case counts
    f.editor[4]->addItem(u"Penguin"_s);
    f.editor[4]->setEditText(u"penguin"_s);

    f.lists->addTypedValues();
    QCOMPARE(f.items(f.editor[0]), QStringList{u"Brown"_s});
    QCOMPARE(f.items(f.editor[3]), QStringList{u"History"_s});
    QCOMPARE(f.items(f.editor[4]), (QStringList{u"Penguin"_s, u"penguin"_s}));
    for (int number = 1; number <= PickLists::Count; ++number)
        QCOMPARE(f.items(f.main[number - 1]), f.items(f.editor[number - 1]));
    for (int number : {2, 3, 6, 7, 8, 9})
        QCOMPARE(f.editor[number - 1]->count(), 0);
    QCOMPARE(f.editor[3]->currentText(), u" History"_s); // what was typed stays in the box
}

void TestPickLists::loadingKeepsTypedText()
{
    PickListFixture f;
    f.editor[4]->setEditText(u"Typed"_s);
    TestSupport::writeAll(f.path(u"BOOKS.005"_s), "Penguin\r\nVintage\r\n");
    f.lists->LoadAllList();
    QCOMPARE(f.items(f.editor[4]), (QStringList{u"Penguin"_s, u"Vintage"_s}));
    QCOMPARE(f.editor[4]->currentText(), u"Typed"_s);
}

void TestPickLists::sorting_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("case ignored") << u"en_US"_s << QStringList{u"pear"_s, u"Apple"_s, u"banana"_s, u"Cherry"_s}
                                  << QStringList{u"Apple"_s, u"banana"_s, u"Cherry"_s, u"pear"_s};
    QTest::newRow("equal but for case keep their order")
        << u"en_US"_s << QStringList{u"b"_s, u"apple"_s, u"Apple"_s, u"APPLE"_s}
        << QStringList{u"apple"_s, u"Apple"_s, u"APPLE"_s, u"b"_s};
    QTest::newRow("accented letters among their base letters")
        << u"de_DE"_s << QStringList{u"Zebra"_s, u"Äpfel"_s, u"Birne"_s}
        << QStringList{u"Äpfel"_s, u"Birne"_s, u"Zebra"_s};
    QTest::newRow("blanks kept") << u"en_US"_s << QStringList{u" b"_s, u"a"_s} << QStringList{u" b"_s, u"a"_s};
}

void TestPickLists::sorting()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, expected);
    const QLocale previous;
    QLocale::setDefault(QLocale(locale));
    const QStringList result = PickLists::sorted(entries);
    QLocale::setDefault(previous);
    QCOMPARE(result, expected);
}

void TestPickLists::installDefaultsCopiesOnlyMissingFiles()
{
    PickListFixture f;
    const QString condition = f.programDirectory() + u"/CONDITION.LST"_s;
    TestSupport::writeAll(condition, "Mine\r\n");

    PickLists::installDefaults(f.programDirectory());
    QCOMPARE(TestSupport::readAll(condition), QByteArray("Mine\r\n"));
    QCOMPARE(QFileInfo(f.programDirectory() + u"/AUTHOR.LST"_s).size(), 0);
    QVERIFY(!PickLists::readFile(f.programDirectory() + u"/BOOKTYPE.LST"_s).isEmpty());

    // What was installed can be replaced by Save As Defaults.
    for (int number = 1; number <= PickLists::Count; ++number)
        f.editor[number - 1]->addItem(u"saved"_s);
    f.lists->SaveDefaultLists();
    for (int number = 1; number <= PickLists::Count; ++number)
        QCOMPARE(PickLists::readFile(f.lists->defaultListFile(number)), QStringList{u"saved"_s});
}

void TestPickLists::shippedDefaultsFitTheirFields()
{
    PickListFixture f;
    PickLists::installDefaults(f.programDirectory());
    for (const PickListInfo &list : PickLists::table()) {
        const QByteArray bytes = TestSupport::readAll(f.lists->defaultListFile(list.number));
        QCOMPARE(PickLists::format(PickLists::parse(bytes)), bytes);
        for (const QString &entry : PickLists::parse(bytes)) {
            QVERIFY2(entry.size() <= list.fieldWidth, qPrintable(entry));
            QCOMPARE(PickLists::trimBlanks(entry), entry);
        }
    }
}

void TestPickLists::defaultQuestions()
{
    MessageService::startRecording();
    const bool save = PickLists::confirmSaveDefaults(nullptr);
    MessageService::queueAnswer(MessageService::Yes);
    const bool load = PickLists::confirmLoadDefaults(nullptr);
    const QList<MessageService::Shown> shown = MessageService::shown();
    MessageService::stopRecording();

    QVERIFY(!save); // No is the default button
    QVERIFY(load);
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[0].text, u"Your current Data Lists will become your default list values.  These values will be "
                            u"used when new databases are created.  Previous default values will be lost.  Do you "
                            u"want to proceed?"_s);
    QCOMPARE(shown[1].text, u"Your current Data Lists will be overridden with your default list values. Previous  "
                            u"values will be lost.  Do you want to proceed?"_s);
    for (const MessageService::Shown &box : shown) {
        QCOMPARE(box.caption, u"Warning"_s);
        QCOMPARE(box.icon, MessageService::Icon::Question);
        QCOMPARE(box.buttons, MessageService::Yes | MessageService::No);
    }
}

void TestPickLists::tableMatchesRecordFields()
{
    for (const PickListInfo &list : PickLists::table()) {
        const CatalogField &field = CatalogFields::row(list.fieldRow);
        QVERIFY2(field.pickList, field.name);
        QCOMPARE(field.width, list.fieldWidth);
        QVERIFY(list.entryLimit >= list.fieldWidth);
        QCOMPARE(QString::fromLatin1(list.extension), u"%1"_s.arg(list.number, 3, 10, QLatin1Char('0')));
    }
}

SHELFMARK_TEST(TestPickLists)
#include "TestPickLists.moc"
