#include "TMyRestore.h"

#include "BackupControls.h"
#include "FileCopier.h"
#include "app/Catalog.h"
#include "app/WindowLook.h"
#include "edit/PickLists.h"
#include "framework/Error.h"
#include "framework/FileNames.h"
#include "framework/ui/HelpService.h"
#include "framework/ui/MessageService.h"
#include "framework/ui/WaitCursor.h"
#include "framework/ui/WindowStyle.h"
#include "reports/ReportDefinitionsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <optional>

namespace {

const QString Identical = QStringLiteral(
    "Destination File and Source File are identical.  You cannot copy a file  over top of itself.  Please choose a "
    "different directory/folder to restore from.");
const QString Failed = QStringLiteral("An error occurred during restore.  Restore not completed.");
const QString NoRoom = QStringLiteral("There is not enough room on the destination drive to perform a restore.  You "
                                      "will need to free up hard drive space before completing the restore.");
const QString Completed = QStringLiteral("Restore completed successfully.");

// The file name up to its first point.
QString baseName(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    return name.left(name.indexOf(QLatin1Char('.')));
}

} // namespace

TMyRestore::TMyRestore(Catalog &catalog, const WindowLook &look, QWidget *parent)
    : QDialog(parent), m_catalog(catalog), m_look(look)
{
    setObjectName(QStringLiteral("MyRestore"));
    setWindowTitle(QStringLiteral("Restore"));

    using BackupControls::Choice;
    auto *what = BackupControls::choices(
        QStringLiteral("What To Restore"),
        {Choice{QStringLiteral("RestoreDBF"), QStringLiteral("&Database File (*.DBF)")},
         Choice{QStringLiteral("RestoreLST"), QStringLiteral("Data &Lists of a Database (*.0xx)")},
         Choice{QStringLiteral("RestoreINI"), QStringLiteral("Config &File of a Database (*.INI)")},
         Choice{QStringLiteral("RestoreURP"), QStringLiteral("Global &Report Definitions (*.URP)")}},
        m_kinds, this);

    const BackupControls::Commands commands = BackupControls::commands(QStringLiteral("&Start Restore"), this);
    m_cancelButton = commands.cancel;
    connect(commands.start, &QPushButton::clicked, this, &TMyRestore::StartButtonClick);
    connect(commands.cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(commands.help, &QPushButton::clicked, this, &TMyRestore::HelpButtonClick);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(what);
    layout->addLayout(commands.row);
}

DialogService::FileRequest TMyRestore::openRequest(Kind kind)
{
    DialogService::FileRequest request;
    request.mustExist = true;
    request.filter = QStringLiteral("DBase Files (*.DBF)");
    request.defaultSuffix = QStringLiteral("DBF");
    switch (kind) {
    case Kind::Database:
        request.caption = QStringLiteral("Restore Database File");
        break;
    case Kind::Lists:
        request.caption = QStringLiteral("Restore Data List Files");
        break;
    case Kind::Settings:
        request.caption = QStringLiteral("Restore Configuration File");
        break;
    case Kind::ReportDefinitions:
        request.caption = QStringLiteral("Restore URP File");
        request.filter = QStringLiteral("Reports Files (*.URP)");
        request.defaultSuffix = QStringLiteral("URP");
        request.directory = QDir::current().filePath(QString::fromLatin1(ReportDefinitionsFile::FileName));
        break;
    }
    return request;
}

void TMyRestore::showEvent(QShowEvent *event)
{
    if (!event->spontaneous() && !m_formShown) {
        m_formShown = true;
        FormShow();
    }
    QDialog::showEvent(event);
}

void TMyRestore::FormShow()
{
    WindowStyle::applyFonts(this, m_look.fonts());
    adjustSize();
    WindowStyle::scale(this, m_look.scaleFactor());
    WindowStyle::centre(this);
    SetColors();
    m_kinds[0]->setChecked(true);
}

void TMyRestore::SetColors()
{
    // The panel takes the window's background with it.
    WindowStyle::applyColors(this, m_look.colors(WindowLook::Group::Configure));
}

void TMyRestore::HelpButtonClick()
{
    HelpService::showTopic(this, QStringLiteral("Backup and Restore"));
}

void TMyRestore::StartButtonClick()
{
    Kind kind = Kind::Database;
    for (std::size_t i = 0; i < m_kinds.size(); ++i) {
        if (m_kinds[i]->isChecked())
            kind = Kind(i);
    }
    const QString chosen = DialogService::openFile(this, openRequest(kind));
    if (chosen.isEmpty())
        return;
    switch (kind) {
    case Kind::Database:
        restoreDatabase(chosen);
        break;
    case Kind::Lists:
        restoreLists(chosen);
        break;
    case Kind::Settings:
        restoreSettings(chosen);
        break;
    case Kind::ReportDefinitions:
        restoreReportDefinitions(chosen);
        break;
    }
}

bool TMyRestore::copied(const QString &source, const QString &destination)
{
    try {
        WaitCursor wait;
        FileCopier::copy(source, destination);
        return true;
    } catch (const Error &) {
        MessageService::error(this, Failed);
        return false;
    }
}

void TMyRestore::completed(const QString &notice)
{
    if (!notice.isEmpty())
        MessageService::inform(this, QStringLiteral("Notice"), notice);
    m_cancelButton->setText(QStringLiteral("&Close"));
    m_cancelButton->setFocus();
}

void TMyRestore::missing(const QString &fileName)
{
    MessageService::show(
        this, QStringLiteral("Warning"),
        QStringLiteral("The following file \"%1\" could not be located on the specified source drive.").arg(fileName),
        MessageService::Icon::Warning, MessageService::Ok, MessageService::Ok);
}

void TMyRestore::restoreDatabase(const QString &chosen)
{
    if (FileCopier::identical(chosen, m_catalog.path())) {
        MessageService::error(this, Identical);
        return;
    }
    try {
        Catalog::CheckDBaseFormat(chosen);
    } catch (const Error &e) {
        MessageService::error(this, e.message());
        return;
    }
    if (m_catalog.searchOn())
        m_catalog.DoEndSearch();
    // A file of the open database's name replaces the open database's file,
    // whatever the case of the names.
    QString destination = QDir(m_catalog.programDirectory()).filePath(QFileInfo(chosen).fileName());
    const bool ownFile = FileCopier::identical(destination, m_catalog.path());
    if (ownFile)
        destination = m_catalog.path();
    // Nobody may have the file that is replaced open; the open database is
    // held exclusively until the copy has replaced it.
    bool inUse = false;
    if (ownFile) {
        try {
            m_catalog.reopenTable(DbfTable::Access::Exclusive);
        } catch (const Error &) {
            inUse = true;
            m_catalog.reopenTable();
        }
    } else {
        inUse = QFileInfo::exists(destination) && Catalog::DBaseInUse(destination);
    }
    if (inUse) {
        MessageService::show(this, QCoreApplication::applicationName(),
                             QStringLiteral("Unable to restore the database.  Make sure the database is not in use by "
                                            "any other users or by another copy of the software."),
                             MessageService::Icon::Information, MessageService::Ok, MessageService::Ok);
        return;
    }
    if (!FileCopier::hasRoomFor(chosen, destination)) {
        MessageService::error(this, NoRoom);
        if (ownFile)
            m_catalog.reopenTable();
        return;
    }
    std::optional<KeptFile> previous;
    try {
        WaitCursor wait;
        previous.emplace(destination);
        FileCopier::copy(chosen, destination);
    } catch (const Error &) {
        MessageService::error(this, Failed);
        if (ownFile)
            m_catalog.reopenTable();
        return;
    }
    if (takeIntoUse(destination, ownFile)) {
        previous.reset();
        completed(Completed);
        return;
    }
    // The restored file cannot be opened: the file it replaced comes back.
    try {
        previous->putBack();
    } catch (const Error &e) {
        MessageService::error(this, e.message());
    }
    if (ownFile) {
        try {
            m_catalog.reopenWithNewIndex();
        } catch (const Error &e) {
            MessageService::error(this, e.message());
        }
    }
    MessageService::error(this, Failed);
}

bool TMyRestore::takeIntoUse(const QString &path, bool ownFile)
{
    WaitCursor wait;
    try {
        // The index is built anew: one left beside the file belongs to the file replaced.
        const QString mdx = FileNames::companion(path, QStringLiteral("MDX"));
        if (QFileInfo::exists(mdx))
            QFile::remove(mdx);
        Catalog::RemoveMDXByte(path);
        if (!ownFile)
            return m_catalog.switchDatabase(path, Catalog::SwitchKind::Open);
        m_catalog.reopenWithNewIndex();
        return true;
    } catch (const Error &) {
        return false;
    }
}

void TMyRestore::restoreLists(const QString &chosen)
{
    // The lists named after the open database, whatever file was picked.
    const QString sources = QFileInfo(chosen).dir().filePath(m_catalog.tableName() + QStringLiteral(".DBF"));
    bool complete = true;
    bool restored = false;
    bool stopped = false;
    {
        WaitCursor wait;
        for (const PickListInfo &list : PickLists::table()) {
            const QString extension = QString::fromLatin1(list.extension);
            const QString source = FileNames::companion(sources, extension);
            const QString destination = FileNames::companion(m_catalog.path(), extension);
            if (FileCopier::identical(source, destination)) {
                MessageService::error(this, Identical);
                stopped = true;
                break;
            }
            if (!QFileInfo::exists(source)) {
                missing(m_catalog.tableName() + QLatin1Char('.') + extension);
                complete = false;
                continue;
            }
            if (!copied(source, destination)) {
                stopped = true;
                break;
            }
            restored = true;
        }
    }
    if (!stopped)
        MessageService::inform(this, QStringLiteral("Notice"),
                               complete ? QStringLiteral("ALL proper \"Data List\" files restored successfully.")
                                        : QStringLiteral("One or more files were not restored.  Restore may not have "
                                                         "completed successfully."));
    // The lists in memory follow the files, also after a copy that stopped
    // half-way, so that they do not overwrite what was restored.
    if (PickLists *lists = m_catalog.pickLists(); lists && (restored || !stopped)) {
        try {
            lists->LoadAllList();
        } catch (const Error &e) {
            MessageService::error(this, e.message());
        }
    }
    if (!stopped)
        completed(QString());
}

void TMyRestore::restoreSettings(const QString &chosen)
{
    const QString base = baseName(chosen);
    const bool openDatabase = base == m_catalog.tableName();
    const QString source = FileNames::companion(chosen, QStringLiteral("INI"));
    const QString destination =
        openDatabase ? m_catalog.iniPath() : QDir(m_catalog.programDirectory()).filePath(base + QStringLiteral(".INI"));
    if (FileCopier::identical(source, destination)) {
        MessageService::error(this, Identical);
        return;
    }
    if (!QFileInfo::exists(source)) {
        missing(base + QStringLiteral(".INI"));
        completed(QString());
        return;
    }
    if (!copied(source, destination))
        return;
    if (openDatabase)
        m_catalog.reloadDatabaseSettings();
    completed(QStringLiteral("Configuration File restored successfully."));
}

void TMyRestore::restoreReportDefinitions(const QString &chosen)
{
    // SHMKLIB.URP of the folder, whichever of its files was picked.
    const QString fileName = QString::fromLatin1(ReportDefinitionsFile::FileName);
    const QString source = FileNames::companion(QFileInfo(chosen).dir().filePath(fileName), QStringLiteral("URP"));
    const QString destination = ReportDefinitionsFile(m_catalog.programDirectory()).path();
    if (FileCopier::identical(source, destination)) {
        MessageService::error(this, Identical);
        return;
    }
    if (!QFileInfo(source).isFile()) {
        MessageService::error(this, QStringLiteral("The Report Definitions file \"SHMKLIB.URP\" could not be  located "
                                                   "on the specified source drive."));
        return;
    }
    if (!FileCopier::hasRoomFor(source, destination)) {
        MessageService::error(this, NoRoom);
        return;
    }
    if (!copied(source, destination))
        return;
    emit reportDefinitionsRestored();
    completed(Completed);
}
