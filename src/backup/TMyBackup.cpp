#include "TMyBackup.h"

#include "BackupControls.h"
#include "FileCopier.h"
#include "app/Catalog.h"
#include "app/WindowLook.h"
#include "edit/PickLists.h"
#include "framework/Error.h"
#include "framework/FileNames.h"
#include "framework/ui/DriveLists.h"
#include "framework/ui/HelpService.h"
#include "framework/ui/MessageService.h"
#include "framework/ui/WaitCursor.h"
#include "framework/ui/WindowStyle.h"
#include "reports/ReportDefinitionsFile.h"

#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

const QString Identical = QStringLiteral(
    "Destination File and Source File are identical.  You cannot copy a file  over top of itself.  Please choose a "
    "different directory/folder to backup to.");
const QString Failed = QStringLiteral("An error occurred during backup.  Backup not completed.");

} // namespace

TMyBackup::TMyBackup(Catalog &catalog, const WindowLook &look, QWidget *parent)
    : QDialog(parent), m_catalog(catalog), m_look(look)
{
    setObjectName(QStringLiteral("MyBackup"));
    setWindowTitle(QStringLiteral("Backup"));

    using BackupControls::Choice;
    auto *what = BackupControls::choices(
        QStringLiteral("What To Back Up"),
        {Choice{QStringLiteral("BackDBF"), QStringLiteral("Current &Database (*.DBF)")},
         Choice{QStringLiteral("BackLST"), QStringLiteral("Data &Lists of Current Database (*.0xx)")},
         Choice{QStringLiteral("BackINI"), QStringLiteral("Config &File of Current Database (*.INI)")},
         Choice{QStringLiteral("BackURP"), QStringLiteral("Global &Report Definitions (*.URP)")}},
        m_kinds, this);

    auto *where = BackupControls::panel(QStringLiteral("Panel2"), this);
    m_driveBox = new DriveComboBox(m_catalog.programDirectory(), where);
    m_driveBox->setObjectName(QStringLiteral("DriveBox"));
    m_dirBox = new DirectoryListBox(where);
    m_dirBox->setObjectName(QStringLiteral("DirBox"));
    m_dirBox->setMinimumSize(280, 220);
    auto *whereLayout = new QVBoxLayout(where);
    whereLayout->addWidget(
        BackupControls::heading(QStringLiteral("Label2"), QStringLiteral("Where To Back Up To"), where));
    whereLayout->addWidget(m_driveBox);
    whereLayout->addWidget(m_dirBox, 1);
    connect(m_driveBox, &DriveComboBox::driveChanged, this, &TMyBackup::DriveBoxChange);

    const BackupControls::Commands commands = BackupControls::commands(QStringLiteral("&Start Back Up"), this);
    m_cancelButton = commands.cancel;
    connect(commands.start, &QPushButton::clicked, this, &TMyBackup::StartButtonClick);
    connect(commands.cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(commands.help, &QPushButton::clicked, this, &TMyBackup::HelpButtonClick);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(what);
    layout->addWidget(where, 1);
    layout->addLayout(commands.row);
}

void TMyBackup::showEvent(QShowEvent *event)
{
    if (!event->spontaneous() && !m_formShown) {
        m_formShown = true;
        FormShow();
    }
    QDialog::showEvent(event);
}

void TMyBackup::FormShow()
{
    WindowStyle::applyFonts(this, m_look.fonts());
    adjustSize();
    WindowStyle::scale(this, m_look.scaleFactor());
    WindowStyle::centre(this);
    SetColors();
    m_kinds[0]->setChecked(true);
    m_driveBox->setDrive(m_catalog.programDirectory());
    m_dirBox->setDrive(m_driveBox->drive());
}

void TMyBackup::SetColors()
{
    // The panels take the window's background with it.
    WindowStyle::applyColors(this, m_look.colors(WindowLook::Group::Configure));
}

void TMyBackup::DriveBoxChange(const QString &root)
{
    m_dirBox->setDrive(root);
}

void TMyBackup::HelpButtonClick()
{
    HelpService::showTopic(this, QStringLiteral("Backup and Restore"));
}

void TMyBackup::StartButtonClick()
{
    const QString directory = m_dirBox->directory();
    if (m_kinds[0]->isChecked())
        backUpDatabase(directory);
    else if (m_kinds[1]->isChecked())
        backUpLists(directory);
    else if (m_kinds[2]->isChecked())
        backUpSettings(directory);
    else
        backUpReportDefinitions(directory);
}

bool TMyBackup::copied(const QString &source, const QString &destination)
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

void TMyBackup::completed()
{
    MessageService::inform(this, QStringLiteral("Notice"), QStringLiteral("Backup completed successfully."));
    m_cancelButton->setText(QStringLiteral("&Close"));
    m_cancelButton->setFocus();
}

void TMyBackup::backUpDatabase(const QString &directory)
{
    const QString source = m_catalog.path();
    const QString destination = QDir(directory).filePath(m_catalog.tableName() + QStringLiteral(".DBF"));
    if (FileCopier::identical(source, destination)) {
        MessageService::error(this, Identical);
        return;
    }
    const bool searched = m_catalog.searchOn();
    if (searched)
        m_catalog.DoEndSearch();
    const auto resume = [this, searched] {
        if (searched)
            m_catalog.EnableEndSearch();
        m_catalog.reopenTable();
    };
    // The table is held exclusively during the copy, so that no other program
    // changes it half-way. A table that may not be written cannot be held so:
    // it is copied when nobody else has it open.
    bool inUse = false;
    try {
        m_catalog.reopenTable(DbfTable::Access::Exclusive);
    } catch (const DbfInUseError &) {
        inUse = true;
    } catch (const Error &) {
        inUse = Catalog::DBaseInUse(source);
    }
    if (inUse) {
        MessageService::error(
            this, QStringLiteral("Backing up the database requires exclusive use of the DBase File.  Make sure that "
                                 "the DBase File is not in use by another program  or that no other users are running "
                                 "the software or that no other copies of the software are in use."));
        resume();
        return;
    }
    if (!FileCopier::hasRoomFor(source, destination)) {
        MessageService::error(
            this, QStringLiteral("There is not enough room on the destination drive to perform a backup.  If you are "
                                 "already using blank empty media, then you will need to use the ASCII Delimited "
                                 "Import/Export functions for backup and restore purposes."));
        resume();
        return;
    }
    const bool done = copied(source, destination);
    resume();
    if (done)
        completed();
}

void TMyBackup::backUpLists(const QString &directory)
{
    // What is copied matches the lists in memory.
    if (PickLists *lists = m_catalog.pickLists()) {
        try {
            WaitCursor wait;
            lists->SaveAllLists();
        } catch (const Error &) {
            MessageService::error(this, Failed);
            return;
        }
    }
    for (const PickListInfo &list : PickLists::table()) {
        const QString extension = QString::fromLatin1(list.extension);
        const QString source = FileNames::companion(m_catalog.path(), extension);
        if (!QFileInfo::exists(source))
            continue;
        const QString destination = QDir(directory).filePath(m_catalog.tableName() + QLatin1Char('.') + extension);
        if (FileCopier::identical(source, destination)) {
            MessageService::error(this, Identical);
            return;
        }
        if (!copied(source, destination))
            return;
    }
    completed();
}

void TMyBackup::backUpSettings(const QString &directory)
{
    {
        WaitCursor wait;
        m_catalog.writeDatabaseSettings();
    }
    const QString source = m_catalog.iniPath();
    if (!QFileInfo::exists(source)) {
        completed();
        return;
    }
    const QString destination = QDir(directory).filePath(m_catalog.tableName() + QStringLiteral(".INI"));
    if (FileCopier::identical(source, destination)) {
        MessageService::error(this, Identical);
        return;
    }
    if (copied(source, destination))
        completed();
}

void TMyBackup::backUpReportDefinitions(const QString &directory)
{
    const QString source = ReportDefinitionsFile(m_catalog.programDirectory()).path();
    const QString destination = QDir(directory).filePath(QString::fromLatin1(ReportDefinitionsFile::FileName));
    if (FileCopier::identical(source, destination)) {
        MessageService::error(this, QStringLiteral("Destination File and Source File are identical.  You cannot copy "
                                                   "a file  over top of itself.  Please choose a different directory "
                                                   "to backup to."));
        return;
    }
    // Without report definitions there is nothing to back up, and an older
    // copy at the destination stays.
    if (!QFileInfo(source).isFile()) {
        MessageService::error(this, Failed);
        return;
    }
    if (!FileCopier::hasRoomFor(source, destination)) {
        MessageService::error(
            this, QStringLiteral("There is not enough room on the destination drive to backup this file.  You will "
                                 "need to free up space on the destination drive or use an alternative method to "
                                 "backup the \"SHMKLIB.URP\" file."));
        return;
    }
    if (copied(source, destination))
        completed();
}
