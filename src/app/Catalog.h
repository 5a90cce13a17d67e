#pragma once

#include "MyTable.h"
#include "Settings.h"

#include <QObject>
#include <functional>

class DbfRecord;
class Error;
class PickLists;

// The open database: its catalog table, the paths of the table and its
// companions, the settings in memory (global and per-database), the sort string
// of its "NewIndex" tag, browse mode and the search-on state with the record
// test of the last search. Every window that works on the books is given this
// object; the views learn what changed through its signals.
//
// Operations that fail throw Error, except where noted: failures that do not end
// the operation (a list file that cannot be written while switching, a shared
// reopen that fails) are announced through failed() and the operation goes on.
class Catalog : public QObject
{
    Q_OBJECT

public:
    // `programDirectory` holds MASTER.DBF and the default lists; `startDirectory`
    // is the default of the last import and export files.
    Catalog(const QString &programDirectory, const QString &startDirectory, QObject *parent = nullptr);
    ~Catalog() override;

    MyTable &table() { return m_table; }
    const MyTable &table() const { return m_table; }
    Settings &settings() { return m_settings; }
    const Settings &settings() const { return m_settings; }

    const QString &programDirectory() const { return m_programDirectory; }
    // The open database's table file, its index and settings file, and its base
    // (directory and table name without extension), which the list files extend.
    const QString &path() const { return m_settings.lastDatabase; }
    const QString &mdxPath() const { return m_mdxPath; }
    const QString &iniPath() const { return m_iniPath; }
    const QString &listBase() const { return m_listBase; }
    // The table name without directory and extension, as the window title shows it.
    QString tableName() const;

    // The pick lists of the open database, which live in the record editor's
    // combo boxes; they follow the catalog when it switches databases.
    void setPickLists(PickLists *lists) { m_lists = lists; }
    PickLists *pickLists() const { return m_lists; }

    // Settings files. Writing the per-database file in browse mode keeps the
    // in-place editing flag the file had. A write that fails throws FileError.
    void readGlobalSettings();
    void writeGlobalSettings() const;
    void readDatabaseSettings(const QString &iniPath);
    void writeDatabaseSettings();

    // The index expression of the four sort levels; empty when none is chosen.
    void BuildSortString();
    const QString &sortString() const { return m_sortString; }

    // Browse mode: nothing may be changed, in-place editing is off for the run.
    void enterBrowseMode();
    bool browseMode() const { return m_browseMode; }

    // Database lifecycle.
    static bool DBaseInUse(const QString &path);
    static void RemoveMDXByte(const QString &path);
    // Throws DbfError with the refusal when the file is not a catalog table.
    static void CheckDBaseFormat(const QString &path);

    // Opens `path` with its settings and its "NewIndex" (the stored one when it
    // carries the sort string). Throws when the table cannot be opened.
    void openAtStartup(const QString &path);
    // Leaves the open database (its settings and lists written) for `path`: a new
    // database takes the default lists and the global file's database sections,
    // an opened one its own. The tag is rebuilt unless another program holds the
    // table. When the new table cannot be opened, the failure is announced, the
    // previous database is opened again and the answer is false.
    enum class SwitchKind { New, Open };
    bool switchDatabase(const QString &path, SwitchKind kind);
    // Closes the table and opens it again with its index: shared (a failure is
    // announced through failed()), or exclusive for work that needs the table to
    // itself (throws DbfError when another program holds it).
    void reopenTable(DbfTable::Access access = DbfTable::Access::Shared);
    void closeTable();
    // After the table file was replaced: opens it shared with "NewIndex" built
    // anew from its records. Throws when it cannot be opened.
    void reopenWithNewIndex();
    // Reads the per-database settings file again and takes it into use: the
    // sort order with its index, and what the windows show (databaseChanged).
    void reloadDatabaseSettings();

    // Search-on state. The record test is consulted only while the state holds;
    // ending the search reopens the table without it.
    bool searchOn() const { return m_searchOn; }
    void setSearchTest(std::function<bool(const DbfRecord &)> test);
    void EnableEndSearch();
    void DisableEndSearch();
    void DoEndSearch();

    // While work runs over the entire database the search is ended; afterwards
    // the search-on state comes back and the table is filtered again, however
    // the work ends.
    class SearchSuspension
    {
    public:
        SearchSuspension(Catalog &catalog, bool entireDatabase);
        ~SearchSuspension();
        SearchSuspension(const SearchSuspension &) = delete;
        SearchSuspension &operator=(const SearchSuspension &) = delete;

    private:
        Catalog &m_catalog;
        bool m_suspended;
    };

signals:
    // The table was opened again (another database, another access, another
    // order): views take their options anew.
    void reopened();
    // The books in view may have changed in number.
    void countChanged();
    void searchStateChanged(bool on);
    // Another database is open (title, recent files).
    void databaseChanged();
    // A failure that did not end the operation, to be shown to the user.
    void failed(const QString &message);

private:
    void setPathsFor(const QString &path);
    void openWithIndex(bool rebuild);
    void openShared();
    void listOperation(const std::function<void(PickLists &)> &operation);
    bool filter(const DbfRecord &record) const;

    QString m_programDirectory;
    Settings m_settings;
    MyTable m_table;
    PickLists *m_lists = nullptr;
    QString m_mdxPath;
    QString m_iniPath;
    QString m_listBase;
    QString m_sortString;
    bool m_browseMode = false;
    bool m_savedFieldEditing = false;
    bool m_searchOn = false;
    std::function<bool(const DbfRecord &)> m_searchTest;
};
