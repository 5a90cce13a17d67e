#include "TMyImport.h"

#include "ImportRun.h"
#include "app/Catalog.h"
#include "app/MyTable.h"
#include "app/WindowLook.h"
#include "framework/Error.h"
#include "framework/dbase/DbfTable.h"
#include "framework/ui/HelpService.h"
#include "framework/ui/MessageService.h"
#include "framework/ui/WaitCursor.h"
#include "framework/ui/WindowStyle.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

namespace {

constexpr int BookColumn = 0;
constexpr int SourceColumn = 1;
constexpr int UseColumn = 2;

QPushButton *makeButton(const QString &objectName, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    return button;
}

QLabel *makeHeading(const QString &objectName, const QString &caption, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(objectName);
    label->setAlignment(Qt::AlignHCenter);
    WindowStyle::markHeading(label);
    return label;
}

QTableWidgetItem *fixedItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

} // namespace

TMyImport::TMyImport(Catalog &catalog, const WindowLook &look, Format format, const QString &path, QWidget *parent)
    : QDialog(parent), m_catalog(catalog), m_look(look), m_format(format), m_path(path)
{
    setObjectName(QStringLiteral("MyImport"));

    m_grid = new QTableWidget(0, 3, this);
    m_grid->setObjectName(QStringLiteral("ImportGrid"));
    m_grid->setHorizontalHeaderLabels(
        {QStringLiteral("SHELFMARK FIELDS"), QStringLiteral("IMPORT FIELDS"), QStringLiteral("USE")});
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setTabKeyNavigation(true);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int widths[] = {179, 179, 38};
    for (int c = 0; c < 3; ++c)
        m_grid->setColumnWidth(c, widths[c]);
    m_grid->setFixedWidth(420 + 2 * m_grid->frameWidth());
    m_grid->verticalHeader()->setDefaultSectionSize(22);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, &TMyImport::ImportGridDblClick);

    auto *up = makeButton(QStringLiteral("UpButton"), QStringLiteral("&Up"), this);
    auto *down = makeButton(QStringLiteral("DownButton"), QStringLiteral("&Down"), this);
    m_skipFirst = new QCheckBox(QStringLiteral("Skip First Record"), this);
    m_skipFirst->setObjectName(QStringLiteral("SkipFirst"));
    m_skipFirst->setChecked(catalog.settings().importSkipFirst);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("ImportCount"));
    m_count->setAlignment(Qt::AlignHCenter);
    auto *start = makeButton(QStringLiteral("StartButton"), QStringLiteral("&Start Import"), this);
    m_cancelButton = makeButton(QStringLiteral("CancelButton"), QStringLiteral("&Cancel"), this);
    m_cancelButton->hide();
    auto *exit = makeButton(QStringLiteral("ExitButton"), QStringLiteral("E&xit"), this);
    auto *help = makeButton(QStringLiteral("HelpButton"), QStringLiteral("&Help"), this);
    auto *instructions = new QLabel(
        QStringLiteral(
            "Use the \"Up\" and \"Down\" buttons to match up the Shelfmark fields with the Import Fields.  "
            "Select \"Yes\"  to include it.  Double click on the \"USE\" field to toggle between Yes and No."),
        this);
    instructions->setObjectName(QStringLiteral("Label1"));
    instructions->setWordWrap(true);
    m_idleControls = {m_grid, up, down, start, exit, help};

    auto *side = new QVBoxLayout;
    side->addWidget(makeHeading(QStringLiteral("FieldHeading"), QStringLiteral("Field"), this));
    side->addWidget(makeHeading(QStringLiteral("AlignmentHeading"), QStringLiteral("Alignment"), this));
    side->addWidget(up);
    side->addWidget(down);
    side->addSpacing(12);
    side->addWidget(m_skipFirst);
    side->addSpacing(12);
    side->addWidget(makeHeading(QStringLiteral("ImportHeading"), QStringLiteral("Import"), this));
    side->addWidget(makeHeading(QStringLiteral("CountHeading"), QStringLiteral("Count"), this));
    side->addWidget(m_count);
    side->addStretch();
    side->addWidget(start);
    side->addWidget(m_cancelButton);
    side->addWidget(exit);
    side->addWidget(help);
    auto *layout = new QGridLayout(this);
    layout->addWidget(m_grid, 0, 0);
    layout->addLayout(side, 0, 1);
    layout->addWidget(instructions, 1, 0, 1, 2);
    resize(560, 440);

    connect(up, &QPushButton::clicked, this, &TMyImport::UpButtonClick);
    connect(down, &QPushButton::clicked, this, &TMyImport::DownButtonClick);
    connect(m_skipFirst, &QCheckBox::clicked, this, &TMyImport::SkipFirstClick);
    connect(start, &QPushButton::clicked, this, &TMyImport::StartButtonClick);
    connect(m_cancelButton, &QPushButton::clicked, this, &TMyImport::CancelButtonClick);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &TMyImport::HelpButtonClick);
}

DelimitedReader::Header::Error TMyImport::GetFirstLine()
{
    const MappedFile file(m_path);
    DelimitedReader::Header header = DelimitedReader::readHeader(file.bytes());
    m_names = header.names;
    return header.error;
}

void TMyImport::GetDBFInfo()
{
    DbfTable source;
    source.open(m_path, DbfTable::Access::ReadOnly);
    m_names.clear();
    for (const FieldDef &field : source.fields())
        m_names.append(field.name.left(DelimitedReader::MaxNameLength));
}

void TMyImport::showEvent(QShowEvent *event)
{
    if (!event->spontaneous() && !m_formShown) {
        m_formShown = true;
        FormShow();
    }
    QDialog::showEvent(event);
}

void TMyImport::FormShow()
{
    WindowStyle::applyFonts(this, m_look.fonts());
    WindowStyle::scale(this, m_look.scaleFactor());
    WindowStyle::centre(this, true);
    const bool text = m_format == Format::Ascii;
    setWindowTitle(text ? QStringLiteral("Ascii Delimited Text Import") : QStringLiteral("DBase File Import"));
    m_skipFirst->setVisible(text);
    m_skipFirst->setEnabled(text);
    fillGrid();
    SetColors();
}

void TMyImport::fillGrid()
{
    const Settings &settings = m_catalog.settings();
    const int rows = std::max(int(CatalogFields::Count), int(m_names.size()));
    m_grid->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        const bool source = row < m_names.size();
        m_grid->setItem(row, BookColumn,
                        fixedItem(row < CatalogFields::Count ? settings.displayNames[std::size_t(row)] : QString()));
        m_grid->setItem(row, SourceColumn, fixedItem(source ? m_names[row] : QStringLiteral("<EMPTY>")));
        m_grid->setItem(row, UseColumn, fixedItem(source ? QStringLiteral("Yes") : QString()));
    }
    m_grid->setCurrentCell(0, SourceColumn);
}

void TMyImport::SetColors()
{
    WindowStyle::applyColors(this, m_catalog.settings().configureColors);
}

void TMyImport::moveRow(int step)
{
    const int row = m_grid->currentRow();
    const int other = row + step;
    if (row < 0 || other < 0 || other >= m_grid->rowCount())
        return;
    for (const int column : {SourceColumn, UseColumn}) {
        QTableWidgetItem *moving = m_grid->takeItem(row, column);
        m_grid->setItem(row, column, m_grid->takeItem(other, column));
        m_grid->setItem(other, column, moving);
    }
    m_grid->setCurrentCell(other, m_grid->currentColumn());
}

void TMyImport::UpButtonClick()
{
    moveRow(-1);
}

void TMyImport::DownButtonClick()
{
    moveRow(1);
}

void TMyImport::ImportGridDblClick(int row, int column)
{
    if (column != UseColumn)
        return;
    QTableWidgetItem *cell = m_grid->item(row, column);
    if (cell->text() == QLatin1String("Yes"))
        cell->setText(QStringLiteral("No"));
    else if (cell->text() == QLatin1String("No"))
        cell->setText(QStringLiteral("Yes"));
}

void TMyImport::SkipFirstClick(bool checked)
{
    m_catalog.settings().importSkipFirst = checked;
}

QStringList TMyImport::gridColumn(int column) const
{
    QStringList texts;
    for (int row = 0; row < m_grid->rowCount(); ++row)
        texts.append(m_grid->item(row, column)->text());
    return texts;
}

void TMyImport::StartButtonClick()
{
    MyTable &catalog = m_catalog.table();
    ImportRun run(catalog.engine(),
                  ImportRun::mappingFromGrid(m_names, gridColumn(SourceColumn), gridColumn(UseColumn)));
    run.setProgress([this](int imported) { return showCount(imported); });
    setRunning(true);
    QString failure;
    {
        const WaitCursor wait;
        try {
            if (m_format == Format::Ascii) {
                const MappedFile file(m_path);
                run.importText(file.bytes(), m_skipFirst->isChecked());
            } else {
                DbfTable source;
                source.open(m_path, DbfTable::Access::ReadOnly);
                run.importTable(source);
            }
        } catch (const Error &e) {
            failure = e.message();
        }
        m_count->setText(QString::number(run.imported()));
        try {
            catalog.refresh();
        } catch (const Error &e) {
            if (failure.isEmpty())
                failure = e.message();
        }
    }
    setRunning(false);
    if (!failure.isEmpty()) {
        MessageService::error(this, failure);
        return;
    }
    QString text;
    QString caption = QStringLiteral("Ok");
    if (run.cancelled()) {
        caption = QStringLiteral("Notice");
        text = run.imported() == 1
                   ? QStringLiteral("The import was cancelled; 1 book was added.")
                   : QStringLiteral("The import was cancelled; %1 books were added.").arg(run.imported());
    } else {
        text = QStringLiteral("Import Complete.");
    }
    const QString repairs = ImportRun::repairSummary(run.repairs());
    if (!repairs.isEmpty())
        text += QLatin1Char('\n') + repairs;
    MessageService::inform(this, caption, text);
    accept();
}

bool TMyImport::showCount(int imported)
{
    m_count->setText(QString::number(imported));
    m_count->repaint();
    QCoreApplication::processEvents();
    return !m_cancelRequested;
}

void TMyImport::setRunning(bool running)
{
    m_running = running;
    m_cancelRequested = false;
    for (QWidget *control : std::as_const(m_idleControls))
        control->setEnabled(!running);
    m_skipFirst->setEnabled(!running && m_format == Format::Ascii);
    m_cancelButton->setVisible(running);
    if (running)
        m_cancelButton->setFocus();
}

void TMyImport::CancelButtonClick()
{
    m_cancelRequested = true;
}

void TMyImport::reject()
{
    if (m_running) {
        m_cancelRequested = true;
        return;
    }
    QDialog::reject();
}

void TMyImport::HelpButtonClick()
{
    HelpService::showTopic(this, QStringLiteral("Import Window"));
}
