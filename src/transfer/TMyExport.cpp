#include "TMyExport.h"

#include "app/Catalog.h"
#include "app/MyTable.h"
#include "app/WindowLook.h"
#include "framework/Error.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/HelpService.h"
#include "framework/ui/MessageService.h"
#include "framework/ui/WaitCursor.h"
#include "framework/ui/WindowStyle.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <numeric>

using CatalogFields::Count;

namespace {

constexpr int FieldRole = Qt::UserRole;
// How often a running export lets the window paint and take a click on Cancel.
constexpr qint64 PaintInterval = 40;

const QString Yes = QStringLiteral("Yes");
const QString No = QStringLiteral("No");

QPushButton *makeButton(const QString &objectName, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    return button;
}

QLabel *makeLabel(const QString &objectName, const QString &caption, bool heading, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(objectName);
    if (heading) {
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        WindowStyle::markHeading(label);
    }
    return label;
}

QRadioButton *makeRadio(const QString &objectName, const QString &caption, QButtonGroup *group, QWidget *parent)
{
    auto *radio = new QRadioButton(caption, parent);
    radio->setObjectName(objectName);
    group->addButton(radio);
    return radio;
}

QTableWidgetItem *fixedItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

} // namespace

TMyExport::TMyExport(Catalog &catalog, const WindowLook &look, QWidget *parent)
    : QDialog(parent), m_catalog(catalog), m_look(look), m_settings(catalog.settings())
{
    setObjectName(QStringLiteral("MyExport"));
    setWindowTitle(QStringLiteral("Export"));

    m_choices = new QWidget(this);
    m_grid = new QTableWidget(Count, 2, m_choices);
    m_grid->setObjectName(QStringLiteral("ExportGrid"));
    m_grid->setHorizontalHeaderLabels({QStringLiteral("FIELD"), QStringLiteral("EXPORT IT")});
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setColumnWidth(0, 170);
    m_grid->setColumnWidth(1, 90);
    // Room for the vertical scroll bar beside the columns.
    m_grid->setFixedWidth(260 + 20 + 2 * m_grid->frameWidth());
    m_grid->setMinimumHeight(360);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, &TMyExport::ExportGridDblClick);

    auto *upButton = makeButton(QStringLiteral("UpButton"), QStringLiteral("&Up"), m_choices);
    connect(upButton, &QPushButton::clicked, this, [this] { moveRow(-1); });
    auto *downButton = makeButton(QStringLiteral("DownButton"), QStringLiteral("&Down"), m_choices);
    connect(downButton, &QPushButton::clicked, this, [this] { moveRow(1); });
    auto *defaultsButton = makeButton(QStringLiteral("DefaultsButton"), QStringLiteral("D&efaults"), m_choices);
    connect(defaultsButton, &QPushButton::clicked, this, &TMyExport::DefaultsButtonClick);
    auto *ordering = new QVBoxLayout;
    ordering->addWidget(makeLabel(QStringLiteral("FieldOrder1Label"), QStringLiteral("Field"), true, m_choices), 0,
                        Qt::AlignHCenter);
    ordering->addWidget(makeLabel(QStringLiteral("FieldOrder2Label"), QStringLiteral("Ordering"), true, m_choices), 0,
                        Qt::AlignHCenter);
    ordering->addWidget(upButton);
    ordering->addWidget(downButton);
    ordering->addWidget(defaultsButton);
    ordering->addStretch();

    auto *notes = makeLabel(QStringLiteral("Label1"),
                            QStringLiteral("To have a field included in the export, select \"Yes\".  To exclude it, "
                                           "select \"No\".  Double click on the field to toggle between Yes and No."),
                            false, m_choices);
    notes->setWordWrap(true);

    auto *scope = new QButtonGroup(this);
    m_exportEntire =
        makeRadio(QStringLiteral("ExportEntire"), QStringLiteral("Export Entire Database"), scope, m_choices);
    m_exportSearch =
        makeRadio(QStringLiteral("ExportSearch"), QStringLiteral("Export Search Criteria"), scope, m_choices);

    auto *format = new QButtonGroup(this);
    m_asciiFile =
        makeRadio(QStringLiteral("AsciiFile"), QStringLiteral("Ascii Delimited Text File"), format, m_choices);
    connect(m_asciiFile, &QRadioButton::clicked, this, [this] { FileTypeClick(true); });
    m_dbaseFile = makeRadio(QStringLiteral("DBaseFile"), QStringLiteral("DBase File (DBF)"), format, m_choices);
    connect(m_dbaseFile, &QRadioButton::clicked, this, [this] { FileTypeClick(false); });
    // FormCreate: the box shows the stored choice, and a click stores it at once.
    m_firstRow = new QCheckBox(QStringLiteral("&First Record Contains Field Names"), m_choices);
    m_firstRow->setObjectName(QStringLiteral("FirstRow"));
    m_firstRow->setChecked(m_settings.exportFirstRow);
    connect(m_firstRow, &QCheckBox::clicked, this, [this](bool checked) { m_settings.exportFirstRow = checked; });
    QSizePolicy keepPlace = m_firstRow->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    m_firstRow->setSizePolicy(keepPlace);

    auto *choices = new QVBoxLayout;
    choices->addWidget(makeLabel(QStringLiteral("NotesLabel"), QStringLiteral("NOTES"), true, m_choices));
    choices->addWidget(notes);
    choices->addSpacing(8);
    choices->addWidget(makeLabel(QStringLiteral("WhatLabel"), QStringLiteral("What to Export"), true, m_choices));
    choices->addWidget(m_exportEntire);
    choices->addWidget(m_exportSearch);
    choices->addSpacing(8);
    choices->addWidget(makeLabel(QStringLiteral("HowLabel"), QStringLiteral("How To Export"), true, m_choices));
    choices->addWidget(m_asciiFile);
    choices->addWidget(m_dbaseFile);
    choices->addWidget(m_firstRow);
    choices->addStretch();

    auto *startButton = makeButton(QStringLiteral("StartExportButton"), QStringLiteral("&Start Export"), m_choices);
    connect(startButton, &QPushButton::clicked, this, &TMyExport::StartExportButtonClick);
    auto *exitButton = makeButton(QStringLiteral("ExitButton"), QStringLiteral("E&xit"), m_choices);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::accept);
    auto *helpButton = makeButton(QStringLiteral("HelpButton"), QStringLiteral("&Help"), m_choices);
    connect(helpButton, &QPushButton::clicked, this,
            [this] { HelpService::showTopic(this, QStringLiteral("Export Window")); });
    auto *commands = new QHBoxLayout;
    commands->addStretch();
    commands->addWidget(startButton);
    commands->addWidget(exitButton);
    commands->addWidget(helpButton);

    auto *choicesLayout = new QGridLayout(m_choices);
    choicesLayout->setContentsMargins(0, 0, 0, 0);
    choicesLayout->addWidget(m_grid, 0, 0);
    choicesLayout->addLayout(ordering, 0, 1);
    choicesLayout->addLayout(choices, 0, 2);
    choicesLayout->addLayout(commands, 1, 0, 1, 3);
    choicesLayout->setColumnStretch(2, 1);

    m_gauge = new QProgressBar(this);
    m_gauge->setObjectName(QStringLiteral("MyGauge"));
    m_gauge->setRange(0, 1);
    m_gauge->setValue(0);
    QPalette red = m_gauge->palette();
    red.setColor(QPalette::Highlight, Qt::red);
    m_gauge->setPalette(red);
    m_cancelButton = makeButton(QStringLiteral("CancelButton"), QStringLiteral("&Cancel"), this);
    m_cancelButton->setEnabled(false);
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { m_cancelRequested = true; });
    auto *progress = new QHBoxLayout;
    progress->addWidget(makeLabel(QStringLiteral("GaugeLabel"), QStringLiteral("Export Progress"), true, this));
    progress->addWidget(m_gauge, 1);
    progress->addWidget(m_cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_choices);
    layout->addLayout(progress);
}

void TMyExport::showEvent(QShowEvent *event)
{
    if (!event->spontaneous() && !m_formShown) {
        m_formShown = true;
        FormShow();
    }
    QDialog::showEvent(event);
}

void TMyExport::FormShow()
{
    fillGrid(ExportRun::orderedRows(m_settings), m_settings.exportFields);

    const bool searching = m_catalog.searchOn();
    m_exportSearch->setEnabled(searching);
    (searching ? m_exportSearch : m_exportEntire)->setChecked(true);
    const bool text = m_settings.exportFileType != 2;
    (text ? m_asciiFile : m_dbaseFile)->setChecked(true);
    FileTypeClick(text);

    WindowStyle::applyFonts(this, m_look.fonts());
    adjustSize();
    WindowStyle::scale(this, m_look.scaleFactor());
    WindowStyle::centre(this, true);
    SetColors();
}

void TMyExport::SetColors()
{
    WindowStyle::applyColors(this, m_settings.configureColors);
}

void TMyExport::done(int result)
{
    if (m_running) {
        m_cancelRequested = true;
        return;
    }
    FormClose();
    QDialog::done(result);
}

void TMyExport::FormClose()
{
    m_settings.exportFileType = m_asciiFile->isChecked() ? 1 : 2;
    UpdateConfigs();
}

// Each grid row carries its field's row number, so that the order is read back
// whatever the display names are.
void TMyExport::fillGrid(const std::array<int, Count> &rows, const std::array<bool, Count> &exported)
{
    for (int i = 0; i < Count; ++i) {
        const int row = rows[std::size_t(i)];
        QTableWidgetItem *name = fixedItem(m_settings.displayNames[std::size_t(row - 1)]);
        name->setData(FieldRole, row);
        m_grid->setItem(i, 0, name);
        m_grid->setItem(i, 1, fixedItem(exported[std::size_t(row - 1)] ? Yes : No));
    }
    m_grid->setCurrentCell(0, 0);
}

void TMyExport::ExportGridDblClick(int row, int column)
{
    if (column != 1)
        return;
    QTableWidgetItem *cell = m_grid->item(row, 1);
    cell->setText(cell->text() == Yes ? No : Yes);
}

void TMyExport::moveRow(int step)
{
    const int row = m_grid->currentRow();
    const int other = row + step;
    if (row < 0 || other < 0 || other >= Count)
        return;
    for (int column = 0; column < 2; ++column) {
        QTableWidgetItem *moving = m_grid->takeItem(row, column);
        m_grid->setItem(row, column, m_grid->takeItem(other, column));
        m_grid->setItem(other, column, moving);
    }
    m_grid->setCurrentCell(other, std::max(0, m_grid->currentColumn()));
}

void TMyExport::DefaultsButtonClick()
{
    if (!MessageService::ask(this, QStringLiteral("Re-Order"),
                             QStringLiteral("This will set the order of fields to the program defaults.  Continue?")))
        return;
    std::array<int, Count> rows;
    std::iota(rows.begin(), rows.end(), 1);
    std::array<bool, Count> all;
    all.fill(true);
    fillGrid(rows, all);
}

void TMyExport::FileTypeClick(bool text)
{
    m_firstRow->setVisible(text);
    m_firstRow->setEnabled(text);
}

void TMyExport::UpdateConfigs()
{
    for (int i = 0; i < Count; ++i) {
        const std::size_t field = std::size_t(m_grid->item(i, 0)->data(FieldRole).toInt() - 1);
        m_settings.exportOrder[field] = i + 1;
        m_settings.exportFields[field] = m_grid->item(i, 1)->text() == Yes;
    }
}

std::vector<ExportField> TMyExport::CalcIndexOrder()
{
    UpdateConfigs();
    return ExportRun::exportList(m_settings);
}

void TMyExport::StartExportButtonClick()
{
    const std::vector<ExportField> fields = CalcIndexOrder();
    if (fields.empty()) {
        MessageService::error(this, QStringLiteral("No fields selected for export."));
        return;
    }
    if (m_asciiFile->isChecked())
        DoAscii(fields);
    else
        DoDBase(fields);
}

void TMyExport::DoAscii(const std::vector<ExportField> &fields)
{
    DialogService::FileRequest request;
    request.caption = QStringLiteral("Export Data");
    request.filter = QStringLiteral("Ascii Delimited Text (*.TXT)");
    request.defaultSuffix = QStringLiteral("TXT");
    request.mustExist = false;
    const QString path = DialogService::saveFile(this, request);
    if (!path.isEmpty())
        runExport(fields, path, true);
}

void TMyExport::DoDBase(const std::vector<ExportField> &fields)
{
    DialogService::FileRequest request;
    request.caption = QStringLiteral("Export Data");
    request.filter = QStringLiteral("DBase (*.DBF)");
    request.defaultSuffix = QStringLiteral("DBF");
    request.mustExist = false;
    const QString path = DialogService::saveFile(this, request);
    if (path.isEmpty())
        return;
    if (path.right(4).toUpper() != QLatin1String(".DBF")) {
        MessageService::error(this, QStringLiteral("Invalid file type selected."));
        return;
    }
    runExport(fields, path, false);
}

void TMyExport::runExport(const std::vector<ExportField> &fields, const QString &path, bool text)
{
    bool complete = false;
    QString failure;
    {
        WaitCursor wait;
        setRunning(true);
        {
            Catalog::SearchSuspension suspension(m_catalog, m_exportEntire->isChecked());
            m_gauge->setRange(0, std::max(1, m_catalog.table().recordCount()));
            try {
                ExportRun run(m_catalog.table().engine(), fields);
                run.setProgress([this](int written) { return showProgress(written); });
                complete = text ? run.writeText(path, m_settings.exportFirstRow) : run.writeTable(path);
            } catch (const Error &e) {
                failure = e.message();
            }
        }
        setRunning(false);
    }
    if (!failure.isEmpty())
        MessageService::error(this, failure);
    else if (complete)
        MessageService::inform(this, QStringLiteral("Ok"), QStringLiteral("Export Complete."));
    m_gauge->setValue(0);
    if (complete)
        accept();
}

void TMyExport::setRunning(bool running)
{
    m_running = running;
    m_cancelRequested = false;
    m_choices->setEnabled(!running);
    m_cancelButton->setEnabled(running);
    m_sincePaint.invalidate();
}

bool TMyExport::showProgress(int written)
{
    if (!m_sincePaint.isValid() || m_sincePaint.elapsed() >= PaintInterval || written >= m_gauge->maximum()) {
        m_gauge->setValue(written);
        QCoreApplication::processEvents();
        m_sincePaint.start();
    }
    return !m_cancelRequested;
}
