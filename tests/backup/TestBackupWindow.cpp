#include "BackupFixture.h"

#include "app/MyTable.h"
#include "backup/FileCopier.h"
#include "backup/TMyBackup.h"
#include "edit/PickLists.h"
#include "framework/Error.h"
#include "framework/dbase/FaultPoint.h"
#include "framework/ui/DriveLists.h"
#include "reports/ReportDefinitionsFile.h"

#include <QFileSystemModel>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStorageInfo>
#include <cstring>

using TestSupport::readAll;
using TestSupport::writeAll;
using namespace Qt::StringLiterals;

namespace {

const QString Completed = u"Backup completed successfully."_s;
const QString Failed = u"An error occurred during backup.  Backup not completed."_s;

void interruptAtSecondBlock(const char *point)
{
    static int blocks = 0;
    if (std::strcmp(point, "copy:block-written") == 0 && ++blocks % 2 == 0)
        throw DbfError(u"interrupted"_s);
}

// Backs up the kind of `radio` into `folder`.
void backUp(BackupFixture &s, const QString &radio, const QString &folder)
{
    if (!s.window)
        s.open<TMyBackup>();
    s.child<DirectoryListBox>(u"DirBox"_s)->setDirectory(folder);
    s.click(radio);
    s.click(u"StartButton"_s);
}

} // namespace

class TestBackupWindow : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        FaultPoint::setHook(nullptr);
        FileCopier::setFreeBytes({});
    }

    void showsTheProgramDirectorysVolumeAndBacksUpTheDatabase()
    {
        BackupFixture s;
        s.open<TMyBackup>();
        QCOMPARE(s.window->windowTitle(), u"Backup"_s);
        QVERIFY(s.child<QRadioButton>(u"BackDBF"_s)->isChecked());
        auto *drives = s.child<DriveComboBox>(u"DriveBox"_s);
        const QString volume = QStorageInfo(s.f.dataDir()).rootPath();
        QCOMPARE(drives->drive(), volume);
        QCOMPARE(drives->itemData(0).toString(), volume);
        QVERIFY(s.child<DirectoryListBox>(u"DirBox"_s)->directory().startsWith(volume));

        backUp(s, u"BackDBF"_s, s.stick);
        QCOMPARE(s.caption(), u"Notice"_s);
        QCOMPARE(s.message(), Completed);
        QCOMPARE(readAll(s.inStick(u"BOOKS.DBF"_s)), readAll(s.database));
        QVERIFY(QFile::exists(s.catalog().mdxPath()));
        QCOMPARE(QDir(s.stick).entryList(QDir::Files), QStringList{u"BOOKS.DBF"_s}); // no index, nothing left over
        QCOMPARE(s.child<QPushButton>(u"CancelButton"_s)->text(), u"&Close"_s);
        QVERIFY(s.child<QPushButton>(u"CancelButton"_s)->hasFocus());
        QCOMPARE(s.catalog().table().access(), DbfTable::Access::Shared);
        QCOMPARE(s.f.countText(), u"3"_s);
    }

    void theFolderClickedIsTheDestination()
    {
        BackupFixture s;
        s.open<TMyBackup>();
        auto *tree = s.child<DirectoryListBox>(u"DirBox"_s);
        tree->setDirectory(s.f.path(QString()));
        const auto *model = static_cast<const QFileSystemModel *>(tree->model());
        QModelIndex stick;
        QTRY_VERIFY((stick = model->index(s.stick)).isValid() && tree->visualRect(stick).isValid());
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(stick).center());
        QCOMPARE(tree->directory(), s.stick);
        s.click(u"StartButton"_s);
        QCOMPARE(s.message(), Completed);
        QVERIFY(QFile::exists(s.inStick(u"BOOKS.DBF"_s)));
    }

    void ownFolderRefusedBeforeTheTableCloses()
    {
        BackupFixture s;
        s.search();
        QSignalSpy reopened(&s.catalog(), &Catalog::reopened);
        backUp(s, u"BackDBF"_s, QFileInfo(s.database).path());
        QCOMPARE(s.caption(), u"Error"_s);
        QCOMPARE(s.message(), u"Destination File and Source File are identical.  You cannot copy a file  over top of "
                              "itself.  Please choose a different directory/folder to backup to."_s);
        QCOMPARE(reopened.count(), 0);
        QVERIFY(s.catalog().searchOn());
        QCOMPARE(s.child<QPushButton>(u"CancelButton"_s)->text(), u"&Cancel"_s);
    }

    // Whatever the outcome, the table is open again afterwards under the
    // search that was on, and an older backup is replaced whole or not at all.
    void searchOnAgainAfterEveryOutcome_data()
    {
        QTest::addColumn<QString>("outcome");
        QTest::newRow("copied") << u"copied"_s;
        QTest::newRow("too small a destination") << u"no room"_s;
        QTest::newRow("copy interrupted") << u"interrupted"_s;
        QTest::newRow("held by another program") << u"held"_s;
    }

    void searchOnAgainAfterEveryOutcome()
    {
        QFETCH(QString, outcome);
        BackupFixture s;
        s.search();
        const QByteArray older = "an older backup";
        writeAll(s.inStick(u"BOOKS.DBF"_s), older);
        DbfTable other;
        if (outcome == u"no room")
            FileCopier::setFreeBytes([](const QString &) { return qint64(100); });
        else if (outcome == u"interrupted")
            FaultPoint::setHook(interruptAtSecondBlock);
        else if (outcome == u"held")
            other.open(s.database, DbfTable::Access::Shared);

        backUp(s, u"BackDBF"_s, s.stick);
        if (outcome == u"copied") {
            QCOMPARE(s.message(), Completed);
            QCOMPARE(readAll(s.inStick(u"BOOKS.DBF"_s)), readAll(s.database));
        } else {
            QCOMPARE(s.caption(), u"Error"_s);
            QCOMPARE(readAll(s.inStick(u"BOOKS.DBF"_s)), older);
            QCOMPARE(QDir(s.stick).entryList(QDir::Files), QStringList{u"BOOKS.DBF"_s});
            QCOMPARE(s.child<QPushButton>(u"CancelButton"_s)->text(), u"&Cancel"_s);
        }
        if (outcome == u"no room")
            QCOMPARE(s.message(), u"There is not enough room on the destination drive to perform a backup.  If you "
                                  "are already using blank empty media, then you will need to use the ASCII Delimited "
                                  "Import/Export functions for backup and restore purposes."_s);
        else if (outcome == u"interrupted")
            QCOMPARE(s.message(), Failed);
        else if (outcome == u"held")
            QCOMPARE(s.message(), u"Backing up the database requires exclusive use of the DBase File.  Make sure that "
                                  "the DBase File is not in use by another program  or that no other users are "
                                  "running the software or that no other copies of the software are in use."_s);
        QCOMPARE(MessageService::shown().size(), 1);
        QVERIFY(s.catalog().searchOn());
        QVERIFY(s.catalog().table().isOpen());
        QCOMPARE(s.catalog().table().access(), DbfTable::Access::Shared);
        QCOMPARE(s.f.shown(2), QStringList({u"Mann"_s, u"Musil"_s}));
    }

    void listsBackedUpAsTheyAreInMemory()
    {
        BackupFixture s;
        PickLists &lists = *s.catalog().pickLists();
        lists.setEntries(1, {u"Austen"_s, u"Mann"_s});
        backUp(s, u"BackLST"_s, s.stick);
        QCOMPARE(s.message(), Completed);
        QCOMPARE(PickLists::readFile(s.inStick(u"BOOKS.001"_s)), QStringList({u"Austen"_s, u"Mann"_s}));
        for (int number = 1; number <= PickLists::Count; ++number)
            QCOMPARE(readAll(s.inStick(u"BOOKS.00%1"_s.arg(number))), readAll(lists.listFile(number)));
    }

    void onlyTheListFilesThatExistAreCopied()
    {
        BackupFixture s(/*mainWindow*/ false);
        const QString base = QFileInfo(s.database).path() + u"/BOOKS."_s;
        for (const char *extension : {"001", "004", "009"})
            writeAll(base + QLatin1String(extension), "Entry " + QByteArray(extension) + "\r\n");
        backUp(s, u"BackLST"_s, s.stick);
        QCOMPARE(s.message(), Completed);
        QCOMPARE(QDir(s.stick).entryList(QDir::Files), QStringList({u"BOOKS.001"_s, u"BOOKS.004"_s, u"BOOKS.009"_s}));
        QCOMPARE(readAll(s.inStick(u"BOOKS.004"_s)), "Entry 004\r\n");
    }

    void settingsWrittenBeforeTheyAreCopied()
    {
        BackupFixture s;
        s.catalog().settings().displayNames[0] = u"Name"_s;
        backUp(s, u"BackINI"_s, s.stick);
        QCOMPARE(s.message(), Completed);
        QVERIFY(readAll(s.inStick(u"BOOKS.INI"_s)).contains("Title=Name\r\n"));
        QCOMPARE(readAll(s.inStick(u"BOOKS.INI"_s)), readAll(s.catalog().iniPath()));
    }

    void reportDefinitions()
    {
        BackupFixture s;
        const QString urp = ReportDefinitionsFile(s.f.dataDir()).path();
        backUp(s, u"BackURP"_s, s.f.dataDir());
        QCOMPARE(s.message(), u"Destination File and Source File are identical.  You cannot copy a file  over top of "
                              "itself.  Please choose a different directory to backup to."_s);

        FileCopier::setFreeBytes([](const QString &) { return qint64(0); });
        backUp(s, u"BackURP"_s, s.stick);
        QCOMPARE(s.message(), u"There is not enough room on the destination drive to backup this file.  You will need "
                              "to free up space on the destination drive or use an alternative method to backup the "
                              "\"SHMKLIB.URP\" file."_s);
        QVERIFY(!QFile::exists(s.inStick(u"SHMKLIB.URP"_s)));

        FileCopier::setFreeBytes({});
        backUp(s, u"BackURP"_s, s.stick);
        QCOMPARE(s.message(), Completed);
        QCOMPARE(readAll(s.inStick(u"SHMKLIB.URP"_s)), readAll(urp));

        // Without report definitions nothing is backed up and the older copy stays.
        QFile::remove(urp);
        writeAll(s.inStick(u"SHMKLIB.URP"_s), "older reports");
        backUp(s, u"BackURP"_s, s.stick);
        QCOMPARE(s.caption(), u"Error"_s);
        QCOMPARE(s.message(), Failed);
        QCOMPARE(readAll(s.inStick(u"SHMKLIB.URP"_s)), "older reports");
    }

    void menuItemOpensTheWindow()
    {
        BackupFixture s;
        QTimer::singleShot(0, [&s] {
            auto *backup = s.main->findChild<TMyBackup *>();
            QVERIFY(backup && backup->isVisible());
            QCOMPARE(backup->findChild<QLabel *>(u"Label2"_s)->text(), u"Where To Back Up To"_s);
            backup->reject();
        });
        s.main->findChild<QAction *>(u"MenuBackup"_s)->trigger();
        QVERIFY(!s.main->findChild<TMyBackup *>());
    }
};

SHELFMARK_TEST(TestBackupWindow)
#include "TestBackupWindow.moc"
