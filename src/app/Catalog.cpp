#include "Catalog.h"

#include "AppPaths.h"
#include "edit/PickLists.h"
#include "framework/Error.h"
#include "framework/FileNames.h"
#include "framework/WholeFile.h"
#include "storage/CatalogTable.h"
#include "storage/RecentFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

Catalog::Catalog(const QString &programDirectory, const QString &startDirectory, QObject *parent)
    : QObject(parent), m_programDirectory(programDirectory), m_settings(startDirectory)
{
    m_table.setObjectName(QStringLiteral("MyTable"));
    m_table.engine().setFilter([this](const DbfRecord &record) { return filter(record); });
    connect(&m_table, &MyTable::reset, this, &Catalog::countChanged);
}

Catalog::~Catalog() = default;

QString Catalog::tableName() const
{
    return QFileInfo(FileNames::base(path())).fileName();
}

// ---------------------------------------------------------------------------
// Settings

void Catalog::readGlobalSettings()
{
    m_settings.read(Settings::Mode::Global, QString());
    BuildSortString();
}

void Catalog::writeGlobalSettings() const
{
    m_settings.write(Settings::Mode::Global, QString());
}

void Catalog::readDatabaseSettings(const QString &iniPath)
{
    m_settings.read(Settings::Mode::Database, iniPath);
    if (m_browseMode) {
        m_savedFieldEditing = m_settings.fieldEditing;
        m_settings.fieldEditing = false;
    }
}

void Catalog::writeDatabaseSettings()
{
    // In browse mode in-place editing is off for the run only.
    const bool editing = m_settings.fieldEditing;
    if (m_browseMode)
        m_settings.fieldEditing = m_savedFieldEditing;
    const auto restore = qScopeGuard([&] { m_settings.fieldEditing = editing; });
    m_settings.write(Settings::Mode::Database, m_iniPath);
}

void Catalog::BuildSortString()
{
    m_sortString = CatalogTable::sortString(m_settings.sortLevels);
}

void Catalog::enterBrowseMode()
{
    m_browseMode = true;
    m_savedFieldEditing = m_settings.fieldEditing;
    m_settings.fieldEditing = false;
}

// ---------------------------------------------------------------------------
// Database lifecycle

bool Catalog::DBaseInUse(const QString &path)
{
    return DbfTable::inUse(path);
}

void Catalog::RemoveMDXByte(const QString &path)
{
    CatalogTable::clearProductionIndexFlag(path);
}

void Catalog::CheckDBaseFormat(const QString &path)
{
    CatalogTable::checkFormat(path);
}

void Catalog::setPathsFor(const QString &path)
{
    m_settings.lastDatabase = path;
    m_mdxPath = FileNames::companion(path, QStringLiteral("MDX"));
    m_iniPath = FileNames::companion(path, QStringLiteral("INI"));
    m_listBase = FileNames::base(path);
    if (m_lists)
        m_lists->setBase(m_listBase);
}

void Catalog::openAtStartup(const QString &path)
{
    m_table.close();
    setPathsFor(path);
    readDatabaseSettings(m_iniPath);
    BuildSortString();
    openWithIndex(/*rebuild*/ false);
}

void Catalog::openWithIndex(bool rebuild)
{
    // What killed copies of the program left half-written goes first.
    DbfTable::removeStaleTemporaries(path());
    for (const QString &companion : {m_iniPath, FileNames::companion(path(), QStringLiteral("DBT"))})
        WholeFile::removeLeftovers(companion);
    if (m_lists) {
        for (int number = 1; number <= PickLists::Count; ++number)
            WholeFile::removeLeftovers(m_lists->listFile(number));
    }
    // The existing "NewIndex" serves when it carries the sort string (and its
    // keys match the records); otherwise, or when asked to, it is built anew.
    // A table another program holds keeps its files as they are: the order
    // built for this view stays in memory.
    const bool held = DBaseInUse(path());
    if (!held && !QFileInfo::exists(m_mdxPath))
        RemoveMDXByte(path());
    const QString tag = m_sortString.isEmpty() ? QString() : CatalogTable::IndexTag;
    m_table.open(path(), DbfTable::Access::Shared, {tag, m_sortString, rebuild && !held, !held});
    const QString notSaved = m_table.engine().indexNotSaved();
    if (!notSaved.isEmpty())
        emit failed(QStringLiteral("The index of \"%1\" could not be saved: %2  The books are shown in their sort "
                                   "order all the same; the index will be built again when the database is next "
                                   "opened.")
                        .arg(QDir::toNativeSeparators(path()), notSaved));
}

void Catalog::listOperation(const std::function<void(PickLists &)> &operation)
{
    if (!m_lists)
        return;
    try {
        operation(*m_lists);
    } catch (const Error &e) {
        emit failed(e.message());
    }
}

bool Catalog::switchDatabase(const QString &path, SwitchKind kind)
{
    const QString previous = this->path();
    const QString previousIni = m_iniPath;
    m_table.close();
    // The database being left keeps its settings and its pick lists.
    try {
        writeDatabaseSettings();
    } catch (const Error &e) {
        emit failed(e.message());
    }
    listOperation([](PickLists &lists) { lists.SaveAllLists(); });
    setPathsFor(path);
    listOperation([kind](PickLists &lists) {
        if (kind == SwitchKind::New)
            lists.LoadDefaultList();
        else
            lists.LoadAllList();
    });
    readDatabaseSettings(kind == SwitchKind::New ? AppPaths::globalSettingsFile() : m_iniPath);
    BuildSortString();
    bool opened = true;
    try {
        openWithIndex(/*rebuild*/ true);
        RecentFiles::update(m_settings.lastFiles, previous, path);
    } catch (const Error &e) {
        // The new database cannot be opened: back to the one that was open.
        emit failed(e.message());
        opened = false;
        setPathsFor(previous);
        listOperation([](PickLists &lists) { lists.LoadAllList(); });
        readDatabaseSettings(previousIni);
        BuildSortString();
        try {
            openWithIndex(false);
        } catch (const Error &again) {
            emit failed(again.message());
        }
    }
    emit databaseChanged();
    emit reopened();
    return opened;
}

void Catalog::openShared()
{
    try {
        m_table.open(path());
    } catch (const Error &e) {
        emit failed(e.message());
    }
}

void Catalog::reopenTable(DbfTable::Access access)
{
    m_table.close();
    if (access == DbfTable::Access::Shared)
        openShared();
    else
        m_table.open(path(), access);
    emit reopened();
}

void Catalog::closeTable()
{
    m_table.close();
}

void Catalog::reopenWithNewIndex()
{
    m_table.close();
    openWithIndex(/*rebuild*/ true);
    emit reopened();
}

void Catalog::reloadDatabaseSettings()
{
    m_table.close();
    readDatabaseSettings(m_iniPath);
    BuildSortString();
    try {
        openWithIndex(/*rebuild*/ false);
    } catch (const Error &e) {
        emit failed(e.message());
    }
    emit databaseChanged();
    emit reopened();
}

// ---------------------------------------------------------------------------
// Search-on state

void Catalog::setSearchTest(std::function<bool(const DbfRecord &)> test)
{
    m_searchTest = std::move(test);
}

bool Catalog::filter(const DbfRecord &record) const
{
    return !m_searchOn || !m_searchTest || m_searchTest(record);
}

void Catalog::EnableEndSearch()
{
    m_searchOn = true;
    emit searchStateChanged(true);
}

void Catalog::DisableEndSearch()
{
    m_searchOn = false;
    emit searchStateChanged(false);
}

void Catalog::DoEndSearch()
{
    DisableEndSearch();
    reopenTable();
}

Catalog::SearchSuspension::SearchSuspension(Catalog &catalog, bool entireDatabase)
    : m_catalog(catalog), m_suspended(entireDatabase && catalog.searchOn())
{
    if (m_suspended)
        m_catalog.DoEndSearch();
}

Catalog::SearchSuspension::~SearchSuspension()
{
    if (!m_suspended)
        return;
    m_catalog.EnableEndSearch();
    m_catalog.reopenTable();
}
