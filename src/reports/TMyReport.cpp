#include "TMyReport.h"

#include "BuiltInReports.h"
#include "PrintDestination.h"
#include "ReportDefinitionsFile.h"
#include "TMyPreview.h"
#include "TPrintSelect.h"
#include "TReportForm.h"
#include "TUserReport.h"
#include "app/Catalog.h"
#include "app/WindowLook.h"
#include "framework/Error.h"
#include "framework/report/ReportRecording.h"
#include "framework/report/TReportFiler.h"
#include "framework/report/TReportPrinter.h"
#include "framework/ui/Controls.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/HelpService.h"
#include "framework/ui/MessageService.h"

#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

TMyReport::TMyReport(Catalog &catalog, const WindowLook &look, QWidget *parent)
    : QDialog(parent), m_catalog(catalog), m_look(look)
{
    setObjectName(QStringLiteral("MyReport"));
    setWindowTitle(QStringLiteral("Reports"));
    m_printSelect = new TPrintSelect(catalog.settings(), look, this);

    m_sortOrderLabel = Controls::label(this, QStringLiteral("SortOrderLabel"), QString());
    m_sortOrderLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_sortOrderLabel->setMinimumHeight(m_sortOrderLabel->fontMetrics().height() + 8);
    m_exportEntire = Controls::radio(this, QStringLiteral("ExportEntire"), QStringLiteral("Print Entire Database"));
    m_exportSearch = Controls::radio(this, QStringLiteral("ExportSearch"), QStringLiteral("Print Search Criteria"));
    m_reportBox = new QListWidget(this);
    m_reportBox->setObjectName(QStringLiteral("ReportBox"));
    m_reportBox->setMinimumSize(260, 160);
    connect(m_reportBox, &QListWidget::itemDoubleClicked, this, &TMyReport::ViewButtonClick);

    const auto button = [this](const char *name, const char *caption, void (TMyReport::*click)()) {
        QPushButton *b = Controls::button(this, QString::fromLatin1(name), QString::fromLatin1(caption));
        connect(b, &QPushButton::clicked, this, click);
        return b;
    };
    QPushButton *viewButton = button("ViewButton", "&View", &TMyReport::ViewButtonClick);
    viewButton->setDefault(true);
    auto *commands = new QVBoxLayout;
    commands->addWidget(viewButton);
    commands->addWidget(button("PrintButton", "&Print", &TMyReport::PrintButtonClick));
    commands->addWidget(button("FileButton", "Print To &File", &TMyReport::FileButtonClick));
    commands->addSpacing(12);
    commands->addWidget(button("ModifyButton", "&Modify Report", &TMyReport::ModifyButtonClick));
    commands->addWidget(button("NewButton", "&New Report", &TMyReport::NewButtonClick));
    commands->addSpacing(12);
    commands->addWidget(button("HelpButton", "&Help", &TMyReport::HelpButtonClick));
    QPushButton *exitButton = Controls::button(this, QStringLiteral("ExitButton"), QStringLiteral("E&xit"));
    connect(exitButton, &QPushButton::clicked, this, &QDialog::accept);
    commands->addWidget(exitButton);
    commands->addStretch();

    auto *choices = new QVBoxLayout;
    choices->addWidget(Controls::label(this, QStringLiteral("SortLabel"), QStringLiteral("Current Sort Order")));
    choices->addWidget(m_sortOrderLabel);
    choices->addSpacing(8);
    choices->addWidget(Controls::label(this, QStringLiteral("WhatLabel"), QStringLiteral("What to Print"), true));
    choices->addWidget(m_exportEntire);
    choices->addWidget(m_exportSearch);
    choices->addSpacing(8);
    choices->addWidget(
        Controls::label(this, QStringLiteral("SelectionLabel"), QStringLiteral("Report Selection"), true));
    choices->addWidget(m_reportBox, 1);

    auto *layout = new QGridLayout(this);
    createMenu();
    layout->addLayout(choices, 0, 0);
    layout->addLayout(commands, 0, 1);
    layout->setColumnStretch(0, 1);
    LoadReportBox(-1);
}

void TMyReport::createMenu()
{
    auto *bar = new QMenuBar(this);
    layout()->setMenuBar(bar);
    const auto item = [this](QMenu *menu, const char *name, const char *caption, const char *keys,
                             void (TMyReport::*click)()) {
        connect(Controls::menuItem(menu, QString::fromLatin1(name), QString::fromLatin1(caption),
                                   QString::fromLatin1(keys)),
                &QAction::triggered, this, click);
    };
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("MenuFile"));
    item(file, "MenuView", "&View", "Ctrl+V", &TMyReport::ViewButtonClick);
    item(file, "MenuPrint", "&Print", "Ctrl+P", &TMyReport::PrintButtonClick);
    item(file, "MenuPrintToFile", "Print To &File", "Ctrl+F", &TMyReport::FileButtonClick);
    file->addSeparator();
    item(file, "MenuPrinterSetup", "Printer &Setup", "Ctrl+S", &TMyReport::MenuPrinterSetupClick);
    file->addSeparator();
    connect(Controls::menuItem(file, QStringLiteral("MenuExit"), QStringLiteral("E&xit"), QStringLiteral("Ctrl+X")),
            &QAction::triggered, this, &QDialog::accept);
    QMenu *options = bar->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("MenuOptions"));
    item(options, "MenuModify", "&Modify Report", "Ctrl+M", &TMyReport::ModifyButtonClick);
    item(options, "MenuNew", "&New Report", "Ctrl+N", &TMyReport::NewButtonClick);
    QAction *help = bar->addAction(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("MenuHelp"));
    connect(help, &QAction::triggered, this, &TMyReport::HelpButtonClick);
}

void TMyReport::LoadReportBox(int select)
{
    m_reportBox->clear();
    m_reportBox->addItems(ReportDefinitionsFile(m_catalog.programDirectory()).list());
    selectReport(select);
}

void TMyReport::selectReport(int select)
{
    if (select >= 0 && select < m_reportBox->count())
        m_reportBox->setCurrentRow(select);
    else
        m_reportBox->clearSelection();
}

// The list's current row may be unselected (it goes to the first row when the
// list takes the focus): only a selected row counts.
int TMyReport::selectedReport() const
{
    const QList<QListWidgetItem *> selected = m_reportBox->selectedItems();
    return selected.isEmpty() ? -1 : m_reportBox->row(selected.first());
}

// ---------------------------------------------------------------------------
// Showing and closing

void TMyReport::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TMyReport::FormShow()
{
    m_dimensions.show(this, m_look.fonts(), m_look.scaleFactor());
    SetColors();

    const bool searching = m_catalog.searchOn();
    m_exportSearch->setEnabled(searching);
    (searching ? m_exportSearch : m_exportEntire)->setChecked(true);
    selectReport(m_catalog.settings().lastReport);
    m_reportBox->setFocus();

    const Settings &settings = m_catalog.settings();
    QStringList levels;
    for (int row : settings.sortLevels) {
        if (row >= 1 && row <= CatalogFields::Count)
            levels.append(settings.displayNames[std::size_t(row - 1)]);
    }
    m_sortOrderLabel->setText(levels.isEmpty() ? QStringLiteral("No Sort Order Selected")
                                               : levels.join(QStringLiteral(", ")));
}

void TMyReport::SetColors()
{
    WindowStyle::applyColors(this, m_look.colors(WindowLook::Group::Report));
}

void TMyReport::done(int result)
{
    m_catalog.settings().lastReport = selectedReport();
    QDialog::done(result);
}

// ---------------------------------------------------------------------------
// Commands

bool TMyReport::reportSelected()
{
    if (selectedReport() >= 0)
        return true;
    MessageService::show(this, QStringLiteral("Error"),
                         QStringLiteral("No Report has been selected.  Please choose one."),
                         MessageService::Icon::Warning, MessageService::Ok, MessageService::Ok);
    m_reportBox->setFocus();
    return false;
}

void TMyReport::ViewButtonClick()
{
    run(ReportGenerator::Mode::View);
}

void TMyReport::PrintButtonClick()
{
    run(ReportGenerator::Mode::Print);
}

void TMyReport::FileButtonClick()
{
    run(ReportGenerator::Mode::File);
}

void TMyReport::HelpButtonClick()
{
    HelpService::showTopic(this, QStringLiteral("Report Window"));
}

void TMyReport::MenuPrinterSetupClick()
{
    m_printSelect->exec();
}

void TMyReport::ModifyButtonClick()
{
    if (!reportSelected())
        return;
    const int index = selectedReport();
    // A report that cannot be read leaves the designer on the report held before.
    ReportDefinitionsFile(m_catalog.programDirectory()).load(index, m_current);
    design(false, index);
}

void TMyReport::NewButtonClick()
{
    m_current = BuiltInReports::newReport();
    design(true, -1);
}

void TMyReport::design(bool newMode, int index)
{
    TUserReport designer(m_current, m_catalog, m_look, newMode, index, this);
    designer.exec();
    if (designer.saved() || designer.deleted())
        LoadReportBox(designer.saved() ? designer.recordIndex() : -1);
}

// ---------------------------------------------------------------------------
// Running a report

void TMyReport::run(ReportGenerator::Mode mode)
{
    if (!reportSelected())
        return;
    QString textPath;
    if (mode == ReportGenerator::Mode::File) {
        DialogService::FileRequest request;
        request.caption = QStringLiteral("Save Report As a Text File");
        request.directory = QDir::homePath();
        request.filter = QStringLiteral("Text Files (*.TXT)");
        request.defaultSuffix = QStringLiteral("TXT");
        textPath = DialogService::saveFile(this, request);
        if (textPath.isEmpty())
            return;
    }
    if (!ReportDefinitionsFile(m_catalog.programDirectory()).load(selectedReport(), m_current)) {
        MessageService::show(this, QStringLiteral("Error"), QStringLiteral("Report format could not be located."),
                             MessageService::Icon::Warning, MessageService::Ok, MessageService::Ok);
        m_reportBox->setFocus();
        return;
    }
    try {
        runReport(mode, textPath);
    } catch (const Error &e) {
        MessageService::error(this, e.message());
    }
}

void TMyReport::runReport(ReportGenerator::Mode mode, const QString &textPath)
{
    const Settings &settings = m_catalog.settings();
    QPrinter printer(QPrinter::HighResolution);
    if (mode == ReportGenerator::Mode::Print && !PrintDestination::prepare(printer, settings, this))
        return;
    // A report of the entire database is made with the search ended; the
    // search is in effect again afterwards, however the run ends.
    Catalog::SearchSuspension suspension(m_catalog, m_exportEntire->isChecked());
    ReportRecording recording;
    std::unique_ptr<TBaseReport> engine;
    if (mode == ReportGenerator::Mode::Print)
        engine = std::make_unique<TReportPrinter>(printer);
    else
        engine = std::make_unique<TReportFiler>(recording);
    engine->selectPrinter(settings.defaultPrinter ? -1 : settings.printerIndex);
    ReportGenerator generator(m_current, mode, m_catalog.table().engine(), settings);
    if (mode == ReportGenerator::Mode::File)
        generator.setTextFile(textPath);
    TReportForm form(generator, *engine, m_look, this);
    form.exec();
    if (mode == ReportGenerator::Mode::View && !form.aborted()) {
        TMyPreview preview(recording, m_current.name, m_catalog.settings(), m_look, this);
        preview.exec();
    }
}
