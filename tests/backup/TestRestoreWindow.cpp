#include "BackupFixture.h"

#include "app/MyTable.h"
#include "backup/TMyRestore.h"
#include "edit/PickLists.h"
#include "framework/FileNames.h"
#include "framework/dbase/FaultPoint.h"
#include "framework/ui/DialogService.h"
#include "reports/ReportDefinitionsFile.h"
#include "storage/CatalogTable.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <iostream>
#include <string>

using TestSupport::readAll;
using TestSupport::writeAll;
using namespace Qt::StringLiterals;

namespace {

const QString Completed = u"Restore completed successfully."_s;
const QString Failed = u"An error occurred during restore.  Restore not completed."_s;

// A catalog table at `path` holding one book by each author.
void makeTable(const QString &path, const QStringList &authors)
{
    CatalogTable::create(path);
    DbfTable table;
    table.open(path);
    for (const QString &author : authors) {
        table.append();
        table.setText(0, u"By "_s + author);
        table.setText(1, author);
        table.post();
    }
}

// Picks `chosen` in the open-file dialog of the kind of `radio`.
void restore(BackupFixture &s, const QString &radio, const QString &chosen)
{
    if (!s.window)
        s.open<TMyRestore>();
    DialogService::queueResult(chosen);
    s.click(radio);
    s.click(u"StartButton"_s);
}

QStringList temporaryFiles(const QString &folder)
{
    return QDir(folder).entryList({u"*.new~"_s}, QDir::Files | QDir::Hidden);
}

// Keeps the table of the first argument open until the parent writes a line.
int holdTableChild(const QStringList &arguments)
{
    DbfTable table;
    table.open(arguments.value(0));
    TestSupport::tellParent("ready");
    std::string line;
    std::getline(std::cin, line);
    return 0;
}
SHELFMARK_TEST_CHILD("hold-table", holdTableChild)

int indexCreations = 0;

// The first index written after it is installed cannot be created.
int firstIndexRefused(FaultPoint::Operation operation, const QString &path, std::uint64_t, std::size_t &)
{
    return operation == FaultPoint::Operation::Create && path.contains(u".MDX."_s) && indexCreations++ == 0 ? ENOSPC
                                                                                                            : 0;
}

} // namespace

class TestRestoreWindow : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { FaultPoint::setFailureHook(nullptr); }

    void cancelledDialogChangesNothing()
    {
        BackupFixture s;
        s.open<TMyRestore>();
        QCOMPARE(s.window->windowTitle(), u"Restore"_s);
        QVERIFY(s.child<QRadioButton>(u"RestoreDBF"_s)->isChecked());
        for (const QString &radio : {u"RestoreDBF"_s, u"RestoreLST"_s, u"RestoreINI"_s, u"RestoreURP"_s}) {
            s.click(radio);
            s.click(u"StartButton"_s);
        }
        QCOMPARE(DialogService::requests().mid(DialogService::requests().size() - 4),
                 QStringList({u"Restore Database File"_s, u"Restore Data List Files"_s, u"Restore Configuration File"_s,
                              u"Restore URP File"_s}));
        QVERIFY(MessageService::shown().isEmpty());
        QCOMPARE(s.child<QPushButton>(u"CancelButton"_s)->text(), u"&Cancel"_s);
    }

    void openDatabasesOwnFileRefusedBeforeAnythingCloses()
    {
        BackupFixture s;
        s.search();
        QSignalSpy reopened(&s.catalog(), &Catalog::reopened);
        restore(s, u"RestoreDBF"_s, s.database);
        QCOMPARE(s.caption(), u"Error"_s);
        QCOMPARE(s.message(), u"Destination File and Source File are identical.  You cannot copy a file  over top of "
                              "itself.  Please choose a different directory/folder to restore from."_s);
        QCOMPARE(reopened.count(), 0);
        QVERIFY(s.catalog().searchOn());
    }

    void restoresOverTheOpenDatabaseWithANewIndex()
    {
        BackupFixture s(true, /*inProgramDirectory*/ true);
        makeTable(s.inStick(u"BOOKS.DBF"_s), {u"Woolf"_s, u"Joyce"_s});
        const QByteArray backup = readAll(s.inStick(u"BOOKS.DBF"_s));
        QVERIFY(QFile::exists(s.catalog().mdxPath()));
        s.search();
        Settings &settings = s.catalog().settings();
        settings.sortLevels = {1, 0, 0, 0}; // by title, which the stored index is not
        s.catalog().BuildSortString();

        restore(s, u"RestoreDBF"_s, s.inStick(u"BOOKS.DBF"_s));
        QCOMPARE(s.caption(), u"Notice"_s);
        QCOMPARE(s.message(), Completed);
        QCOMPARE(MessageService::shown().size(), 1);
        QVERIFY(!s.catalog().searchOn());
        const MyTable &table = s.catalog().table();
        QCOMPARE(table.path(), s.database);
        QCOMPARE(table.indexName(), CatalogTable::IndexTag);
        QCOMPARE(table.engine().tagExpression(CatalogTable::IndexTag), u"Upper(Left(Title,80))"_s);
        QCOMPARE(s.f.shown(2), QStringList({u"Joyce"_s, u"Woolf"_s}));
        QCOMPARE(s.f.countText(), u"2"_s);
        QCOMPARE(readAll(s.inStick(u"BOOKS.DBF"_s)), backup);
        QCOMPARE(temporaryFiles(s.f.dataDir()), QStringList());
        QCOMPARE(s.child<QPushButton>(u"CancelButton"_s)->text(), u"&Close"_s);
    }

    void refusedWhileAnotherProgramHoldsTheDatabase()
    {
        BackupFixture s(true, /*inProgramDirectory*/ true);
        makeTable(s.inStick(u"BOOKS.DBF"_s), {u"Woolf"_s});
        const QByteArray before = readAll(s.database);
        const auto holder = TestSupport::startChild(u"hold-table"_s, {s.database});
        QByteArray output;
        while (!output.contains("ready\n") && holder->waitForReadyRead(20000))
            output += holder->readAllStandardOutput();
        QVERIFY(output.contains("ready\n"));

        restore(s, u"RestoreDBF"_s, s.inStick(u"BOOKS.DBF"_s));
        QCOMPARE(s.caption(), QCoreApplication::applicationName());
        QCOMPARE(s.message(), u"Unable to restore the database.  Make sure the database is not in use by any other "
                              "users or by another copy of the software."_s);
        QVERIFY(s.catalog().table().isOpen());
        QCOMPARE(s.f.shown(2), QStringList({u"Austen"_s, u"Mann"_s, u"Musil"_s}));
        QCOMPARE(readAll(s.database), before);
        holder->write("\n");
        QVERIFY(holder->waitForFinished(20000));
    }

    void restoredFileWhoseIndexCannotBeSavedIsShownAllTheSame()
    {
        BackupFixture s(true, /*inProgramDirectory*/ true);
        makeTable(s.inStick(u"BOOKS.DBF"_s), {u"Woolf"_s});
        indexCreations = 0;
        FaultPoint::setFailureHook(firstIndexRefused);

        restore(s, u"RestoreDBF"_s, s.inStick(u"BOOKS.DBF"_s));
        const auto shown = MessageService::shown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.last().text, Completed);
        QVERIFY2(shown.first().text.contains(u"could not be saved"_s), qPrintable(shown.first().text));
        QCOMPARE(s.f.shown(2), QStringList({u"Woolf"_s}));
        QCOMPARE(temporaryFiles(s.f.dataDir()), QStringList());
    }

    void databaseOfAnotherNameIsOpenedWithItsOwnSettings()
    {
        BackupFixture s;
        makeTable(s.inStick(u"OTHER.DBF"_s), {u"Woolf"_s, u"Joyce"_s});
        writeAll(s.programFile(u"OTHER.INI"_s), "[Field Names]\r\nAuthor=Writer\r\n");
        s.catalog().settings().displayNames[0] = u"Name"_s;

        restore(s, u"RestoreDBF"_s, s.inStick(u"OTHER.DBF"_s));
        QCOMPARE(s.message(), Completed);
        const QString restored = s.programFile(u"OTHER.DBF"_s);
        QCOMPARE(s.catalog().path(), restored);
        QCOMPARE(s.main->windowTitle(), u"Shelfmark Books 97 (OTHER)"_s);
        QCOMPARE(s.catalog().settings().lastFiles[0], s.database);
        QCOMPARE(s.catalog().settings().displayNames[1], u"Writer"_s);
        QVERIFY(readAll(FileNames::companion(s.database, u"INI"_s)).contains("Title=Name\r\n"));
        QCOMPARE(s.f.countText(), u"2"_s);
        QCOMPARE(s.f.shown(2), QStringList({u"Joyce"_s, u"Woolf"_s}));
    }

    void listsOfTheOpenDatabaseFromAFolderHoldingTwo()
    {
        BackupFixture s;
        writeAll(s.inStick(u"BOOKS.001"_s), "Zweig\r\n");
        writeAll(s.inStick(u"BOOKS.005"_s), "Penguin\r\n");
        makeTable(s.inStick(u"OTHER.DBF"_s), {}); // whichever database is picked

        restore(s, u"RestoreLST"_s, s.inStick(u"OTHER.DBF"_s));
        const QList<MessageService::Shown> &shown = MessageService::shown();
        QCOMPARE(shown.size(), 8);
        QStringList warnings;
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(shown[i].caption, u"Warning"_s);
            warnings << shown[i].text;
        }
        QCOMPARE(warnings.first(), u"The following file \"BOOKS.002\" could not be located on the specified source "
                                   "drive."_s);
        QVERIFY(warnings.last().contains(u"\"BOOKS.009\""_s));
        QCOMPARE(s.caption(), u"Notice"_s);
        QCOMPARE(s.message(), u"One or more files were not restored.  Restore may not have completed successfully."_s);
        QCOMPARE(readAll(FileNames::companion(s.database, u"005"_s)), "Penguin\r\n");
        QCOMPARE(s.catalog().pickLists()->entries(1), QStringList{u"Zweig"_s});
        QCOMPARE(s.catalog().pickLists()->entries(5), QStringList{u"Penguin"_s});
        QCOMPARE(s.child<QPushButton>(u"CancelButton"_s)->text(), u"&Close"_s);

        for (int number = 1; number <= PickLists::Count; ++number)
            writeAll(s.inStick(u"BOOKS.00%1"_s.arg(number)), "Entry " + QByteArray::number(number) + "\r\n");
        MessageService::clearShown();
        restore(s, u"RestoreLST"_s, s.inStick(u"BOOKS.DBF"_s));
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(s.message(), u"ALL proper \"Data List\" files restored successfully."_s);
        QCOMPARE(s.catalog().pickLists()->entries(9), QStringList{u"Entry 9"_s});
    }

    void settingsFileOfTheOpenDatabaseTakesEffect()
    {
        BackupFixture s;
        writeAll(s.inStick(u"BOOKS.INI"_s), "[Field Names]\r\nAuthor=Writer\r\n[Sort Order]\r\nPrimary Sort=1\r\n");
        restore(s, u"RestoreINI"_s, s.inStick(u"BOOKS.DBF"_s));
        QCOMPARE(s.caption(), u"Notice"_s);
        QCOMPARE(s.message(), u"Configuration File restored successfully."_s);
        QCOMPARE(readAll(s.catalog().iniPath()), readAll(s.inStick(u"BOOKS.INI"_s)));
        QCOMPARE(FileNames::base(s.catalog().iniPath()), FileNames::base(s.database));
        QCOMPARE(s.catalog().settings().displayNames[1], u"Writer"_s);
        QVERIFY(s.f.columnLabels().contains(u"Writer"_s));
        QCOMPARE(s.catalog().table().engine().indexExpression(), u"Upper(Left(Title,80))"_s);
    }

    void settingsFileOfAnotherDatabaseGoesToTheProgramDirectory()
    {
        BackupFixture s;
        writeAll(s.inStick(u"AB.INI"_s), "[Field Names]\r\nAuthor=Writer\r\n");
        const Settings before = s.catalog().settings();
        restore(s, u"RestoreINI"_s, s.inStick(u"AB.DBF"_s));
        QCOMPARE(s.message(), u"Configuration File restored successfully."_s);
        QCOMPARE(readAll(s.programFile(u"AB.INI"_s)), readAll(s.inStick(u"AB.INI"_s)));
        QVERIFY(s.catalog().settings() == before);

        MessageService::clearShown();
        s.window.reset();
        restore(s, u"RestoreINI"_s, s.inStick(u"CD.DBF"_s));
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(s.caption(), u"Warning"_s);
        QCOMPARE(s.message(), u"The following file \"CD.INI\" could not be located on the specified source drive."_s);
        QCOMPARE(s.child<QPushButton>(u"CancelButton"_s)->text(), u"&Close"_s);
    }

    void reportDefinitionsFromAnyFileOfTheirFolder()
    {
        BackupFixture s;
        ReportDefinitionsFile backup(s.stick);
        QVERIFY(backup.createDefaults());
        backup.remove(0);
        auto &window = s.open<TMyRestore>();
        QSignalSpy reload(&window, &TMyRestore::reportDefinitionsRestored);

        restore(s, u"RestoreURP"_s, s.programFile(u"SHMKLIB.URP"_s));
        QCOMPARE(s.message(), u"Destination File and Source File are identical.  You cannot copy a file  over top of "
                              "itself.  Please choose a different directory/folder to restore from."_s);
        restore(s, u"RestoreURP"_s, s.f.path(u"NOTHING.URP"_s));
        QCOMPARE(s.message(), u"The Report Definitions file \"SHMKLIB.URP\" could not be  located on the specified "
                              "source drive."_s);
        QCOMPARE(reload.count(), 0);

        writeAll(s.inStick(u"OLD.URP"_s), "another file");
        restore(s, u"RestoreURP"_s, s.inStick(u"OLD.URP"_s));
        QCOMPARE(s.message(), Completed);
        QCOMPARE(readAll(s.programFile(u"SHMKLIB.URP"_s)), readAll(backup.path()));
        QCOMPARE(ReportDefinitionsFile(s.f.dataDir()).list().size(), 7);
        QCOMPARE(reload.count(), 1);
    }
};

SHELFMARK_TEST(TestRestoreWindow)
#include "TestRestoreWindow.moc"
