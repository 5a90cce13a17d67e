#include "TViewConfig.h"

#include "framework/ui/DialogService.h"
#include "framework/ui/HelpService.h"
#include "framework/ui/MessageService.h"
#include "framework/ui/WinColor.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

using ViewerConfiguration::Count;

namespace {

constexpr int FieldRole = Qt::UserRole;

QPushButton *makeButton(const QString &objectName, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    return button;
}

QCheckBox *makeCheckBox(const QString &objectName, const QString &caption, bool *setting, QWidget *parent)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(objectName);
    box->setChecked(*setting);
    QObject::connect(box, &QCheckBox::toggled, parent, [setting](bool checked) { *setting = checked; });
    return box;
}

QFrame *makeColorSample(const QString &objectName, QWidget *parent)
{
    auto *shape = new QFrame(parent);
    shape->setObjectName(objectName);
    shape->setFrameShape(QFrame::Box);
    shape->setMinimumSize(60, 30);
    shape->setAutoFillBackground(true);
    return shape;
}

void showColor(QFrame *shape, int color)
{
    QPalette palette = shape->palette();
    palette.setColor(QPalette::Window, WinColor::toQColor(color));
    shape->setPalette(palette);
}

QLineEdit *makeFontText(const QString &objectName, const QFont &font, QWidget *parent)
{
    auto *text = new QLineEdit(ViewerConfiguration::fontText(font), parent);
    text->setObjectName(objectName);
    text->setReadOnly(true);
    return text;
}

QTableWidgetItem *fixedItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

// Asks for a font with its colour and effects; on OK `target` takes it whole.
bool chooseFontInto(QWidget *parent, ColoredFont &target)
{
    const auto chosen = DialogService::chooseColoredFont(parent, target.font, WinColor::toQColor(target.color));
    if (!chosen)
        return false;
    target = ColoredFont{chosen->first, WinColor::fromQColor(chosen->second)};
    return true;
}

} // namespace

TViewConfig::TViewConfig(Settings &settings, const WindowStyle::Fonts &fonts, double scale, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_fonts(fonts), m_scale(std::round(scale * 100) / 100)
{
    setObjectName(QStringLiteral("ViewConfig"));
    setWindowTitle(QStringLiteral("Viewer Configuration"));

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("MyTabbedPage"));
    m_pages->addTab(createTitlePage(), QStringLiteral("&Title"));
    m_pages->addTab(createLookPage(), QStringLiteral("&Look and Feel"));
    m_pages->addTab(createShowPage(), QStringLiteral("Fields to &Show"));
    m_pages->addTab(createWidthsPage(), QStringLiteral("Field &Widths"));
    m_pages->addTab(createOrderPage(), QStringLiteral("Field &Order"));
    m_pages->addTab(createNamesPage(), QStringLiteral("Field &Names"));

    auto *exitButton = makeButton(QStringLiteral("ExitButton"), QStringLiteral("E&xit"), this);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::accept);
    auto *helpButton = makeButton(QStringLiteral("HelpButton"), QStringLiteral("&Help"), this);
    connect(helpButton, &QPushButton::clicked, this, &TViewConfig::HelpButtonClick);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(exitButton);
    buttons->addWidget(helpButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addLayout(buttons);
}

QWidget *TViewConfig::createTitlePage()
{
    auto *page = new QWidget;
    auto *showTitles = makeCheckBox(QStringLiteral("ShowGridTitle"), QStringLiteral("Show Column Titles"),
                                    &m_settings.showGridTitles, page);

    auto *background = new QGroupBox(QStringLiteral("Background"), page);
    m_titleShape = makeColorSample(QStringLiteral("TitleShape"), background);
    showColor(m_titleShape, m_settings.gridTitleColor);
    auto *newColor = makeButton(QStringLiteral("Button1"), QStringLiteral("New &Color"), background);
    connect(newColor, &QPushButton::clicked, this, &TViewConfig::Button1Click);
    auto *backgroundLayout = new QHBoxLayout(background);
    backgroundLayout->addWidget(m_titleShape);
    backgroundLayout->addWidget(newColor);

    auto *font = new QGroupBox(QStringLiteral("Title Font"), page);
    m_titleFont = makeFontText(QStringLiteral("TitleFont"), m_settings.gridTitleFont.font, font);
    auto *newFont = makeButton(QStringLiteral("TitleFontButton"), QStringLiteral("New &Font"), font);
    connect(newFont, &QPushButton::clicked, this, &TViewConfig::TitleFontButtonClick);
    auto *fontLayout = new QHBoxLayout(font);
    fontLayout->addWidget(m_titleFont);
    fontLayout->addWidget(newFont);

    auto *alignment = new QGroupBox(QStringLiteral("Alignment"), page);
    auto *alignmentLayout = new QVBoxLayout(alignment);
    const std::array<std::pair<const char *, const char *>, 3> radios = {{
        {"TitleLeft", "Left Justify"},
        {"TitleCenter", "Center"},
        {"TitleRight", "Right Justify"},
    }};
    for (int i = 0; i < int(radios.size()); ++i) {
        auto *radio = new QRadioButton(QString::fromLatin1(radios[i].second), alignment);
        radio->setObjectName(QString::fromLatin1(radios[i].first));
        radio->setChecked(m_settings.gridTitleAlignment == i + 1);
        connect(radio, &QRadioButton::toggled, this, [this, value = i + 1](bool checked) {
            if (checked)
                m_settings.gridTitleAlignment = value;
        });
        alignmentLayout->addWidget(radio);
    }

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(showTitles);
    layout->addWidget(background);
    layout->addWidget(font);
    layout->addWidget(alignment);
    layout->addStretch();
    return page;
}

QWidget *TViewConfig::createLookPage()
{
    auto *page = new QWidget;
    auto *options = new QGroupBox(QStringLiteral("Grid Options"), page);
    auto *optionsLayout = new QVBoxLayout(options);
    optionsLayout->addWidget(makeCheckBox(QStringLiteral("ColumnLines"), QStringLiteral("Show lines between columns"),
                                          &m_settings.columnLines, options));
    optionsLayout->addWidget(makeCheckBox(QStringLiteral("RowLines"), QStringLiteral("Show lines between rows"),
                                          &m_settings.rowLines, options));
    optionsLayout->addWidget(makeCheckBox(QStringLiteral("RowIndicator"), QStringLiteral("Show current row indicator"),
                                          &m_settings.rowIndicator, options));
    optionsLayout->addWidget(makeCheckBox(QStringLiteral("FieldEditing"), QStringLiteral("Allow field editing"),
                                          &m_settings.fieldEditing, options));

    auto *cellColor = new QGroupBox(QStringLiteral("Cell Color"), page);
    m_cellColorShape = makeColorSample(QStringLiteral("CellColorShape"), cellColor);
    showColor(m_cellColorShape, m_settings.cellColor);
    auto *newColor = makeButton(QStringLiteral("NewColorBUtton"), QStringLiteral("New &Color"), cellColor);
    connect(newColor, &QPushButton::clicked, this, &TViewConfig::NewColorBUttonClick);
    auto *colorLayout = new QHBoxLayout(cellColor);
    colorLayout->addWidget(m_cellColorShape);
    colorLayout->addWidget(newColor);

    auto *font = new QGroupBox(QStringLiteral("Cell Font"), page);
    m_gridFont = makeFontText(QStringLiteral("GridFont"), m_settings.gridFont.font, font);
    auto *newFont = makeButton(QStringLiteral("NewFontButton"), QStringLiteral("New &Font"), font);
    connect(newFont, &QPushButton::clicked, this, &TViewConfig::NewFontButtonClick);
    auto *fontLayout = new QHBoxLayout(font);
    fontLayout->addWidget(m_gridFont);
    fontLayout->addWidget(newFont);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(options);
    layout->addWidget(cellColor);
    layout->addWidget(font);
    layout->addStretch();
    return page;
}

QTableWidget *TViewConfig::createGrid(const QString &objectName, const QStringList &headings, const QList<int> &widths)
{
    auto *grid = new QTableWidget(Count, int(widths.size()));
    grid->setObjectName(objectName);
    grid->verticalHeader()->hide();
    if (headings.isEmpty())
        grid->horizontalHeader()->hide();
    else
        grid->setHorizontalHeaderLabels(headings);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    int total = 0;
    for (int c = 0; c < widths.size(); ++c) {
        const int width = widths[c];
        grid->setColumnWidth(c, width);
        total += width;
    }
    // Room for the vertical scroll bar beside the columns.
    grid->setFixedWidth(total + 20 + 2 * grid->frameWidth());
    return grid;
}

QWidget *TViewConfig::createShowPage()
{
    auto *page = new QWidget;
    m_showGrid = createGrid(QStringLiteral("FieldsToDisplay"), {QStringLiteral("FIELD"), QStringLiteral("DISPLAY IT")},
                            {200, 100});
    m_showGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int i = 0; i < Count; ++i) {
        m_showGrid->setItem(i, 0, fixedItem(m_settings.displayNames[i]));
        m_showGrid->setItem(i, 1,
                            fixedItem(m_settings.displayFields[i] ? QStringLiteral("Yes") : QStringLiteral("No")));
    }
    connect(m_showGrid, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { FieldsToDisplayDblClick(row); });
    auto *hint = new QLabel(QStringLiteral("For each field that you would like displayed in the Viewer, select 'Yes'.  "
                                           "If you do not wish a field to appear in the Viewer, then select 'No' for "
                                           "that field.  Double Click on the field to change between 'Yes' and 'No'."),
                            page);
    hint->setObjectName(QStringLiteral("Label4"));
    hint->setWordWrap(true);
    auto *layout = new QHBoxLayout(page);
    layout->addWidget(m_showGrid);
    layout->addWidget(hint, 1, Qt::AlignTop);
    return page;
}

QWidget *TViewConfig::createWidthsPage()
{
    auto *page = new QWidget;
    m_widthGrid =
        createGrid(QStringLiteral("FieldWidthGrid"), {QStringLiteral("FIELD"), QStringLiteral("WIDTH")}, {200, 100});
    for (int i = 0; i < Count; ++i) {
        m_widthGrid->setItem(i, 0, fixedItem(m_settings.displayNames[i]));
        m_widthGrid->setItem(i, 1, new QTableWidgetItem(QString::number(m_settings.fieldWidths[i])));
    }
    auto *layout = new QHBoxLayout(page);
    layout->addWidget(m_widthGrid);
    layout->addStretch();
    return page;
}

QWidget *TViewConfig::createOrderPage()
{
    auto *page = new QWidget;
    m_orderGrid = createGrid(QStringLiteral("FieldOrderGrid"), {}, {200});
    m_orderGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fillOrderGrid(ViewerConfiguration::orderFromPositions(m_settings.fieldOrder));
    m_orderGrid->setCurrentCell(0, 0);

    auto *up = makeButton(QStringLiteral("OrderUp"), QStringLiteral("&Up"), page);
    connect(up, &QPushButton::clicked, this, &TViewConfig::OrderUpClick);
    auto *down = makeButton(QStringLiteral("OrderDown"), QStringLiteral("&Down"), page);
    connect(down, &QPushButton::clicked, this, &TViewConfig::OrderDownClick);
    auto *defaults = makeButton(QStringLiteral("OrderDefaults"), QStringLiteral("D&efaults"), page);
    connect(defaults, &QPushButton::clicked, this, &TViewConfig::OrderDefaultsClick);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(up);
    buttons->addWidget(down);
    buttons->addWidget(defaults);
    buttons->addStretch();

    auto *layout = new QHBoxLayout(page);
    layout->addWidget(m_orderGrid);
    layout->addLayout(buttons);
    layout->addStretch();
    return page;
}

QWidget *TViewConfig::createNamesPage()
{
    auto *page = new QWidget;
    m_nameGrid = createGrid(QStringLiteral("FieldNameGrid"), {QStringLiteral("FIELD"), QStringLiteral("NAME TO USE")},
                            {200, 200});
    for (int i = 0; i < Count; ++i) {
        m_nameGrid->setItem(i, 0, fixedItem(QString::fromLatin1(CatalogFields::rows[i].name)));
        m_nameGrid->setItem(i, 1, new QTableWidgetItem(m_settings.displayNames[i]));
    }
    auto *layout = new QHBoxLayout(page);
    layout->addWidget(m_nameGrid);
    layout->addStretch();
    return page;
}

// Each row shows the field's name as it was when the window opened and carries
// the field's row number, from which the positions are taken when it closes.
void TViewConfig::fillOrderGrid(const std::array<int, Count> &orderFields)
{
    for (int p = 0; p < Count; ++p) {
        QTableWidgetItem *item = fixedItem(m_settings.displayNames[orderFields[p] - 1]);
        item->setData(FieldRole, orderFields[p]);
        m_orderGrid->setItem(p, 0, item);
    }
}

ViewerConfiguration::Grids TViewConfig::gridTexts() const
{
    ViewerConfiguration::Grids grids;
    for (int i = 0; i < Count; ++i) {
        grids.names[i] = m_nameGrid->item(i, 1)->text();
        grids.widths[i] = m_widthGrid->item(i, 1)->text();
        grids.shown[i] = m_showGrid->item(i, 1)->text();
        grids.orderFields[i] = m_orderGrid->item(i, 0)->data(FieldRole).toInt();
    }
    return grids;
}

void TViewConfig::showEvent(QShowEvent *event)
{
    if (!event->spontaneous() && !m_formShown) {
        m_formShown = true;
        FormShow();
    }
    QDialog::showEvent(event);
}

void TViewConfig::FormShow()
{
    WindowStyle::applyFonts(this, m_fonts);
    adjustSize();
    WindowStyle::scale(this, m_scale);
    WindowStyle::centre(this, true);
    SetColors();
}

void TViewConfig::SetColors()
{
    WindowStyle::applyColors(this, m_settings.configureColors);
}

void TViewConfig::done(int result)
{
    if (!FormCloseQuery())
        return;
    FormClose();
    QDialog::done(result);
}

bool TViewConfig::FormCloseQuery()
{
    // A cell still being edited commits its text when it loses the focus.
    if (QWidget *focused = focusWidget())
        focused->clearFocus();
    const auto duplicate = ViewerConfiguration::duplicateName(gridTexts().names);
    if (!duplicate)
        return true;
    MessageService::error(this, ViewerConfiguration::duplicateMessage(duplicate->name));
    m_pages->setCurrentWidget(m_nameGrid->parentWidget());
    m_nameGrid->setCurrentCell(duplicate->second, 1);
    m_nameGrid->setFocus();
    return false;
}

void TViewConfig::FormClose()
{
    ViewerConfiguration::store(gridTexts(), m_settings);
    for (int i = 0; i < Count; ++i)
        m_widthGrid->item(i, 1)->setText(QString::number(m_settings.fieldWidths[i]));
}

void TViewConfig::Button1Click()
{
    if (const auto color = DialogService::chooseColor(this, WinColor::toQColor(m_settings.gridTitleColor))) {
        m_settings.gridTitleColor = WinColor::fromQColor(*color);
        showColor(m_titleShape, m_settings.gridTitleColor);
    }
}

void TViewConfig::NewColorBUttonClick()
{
    if (const auto color = DialogService::chooseColor(this, WinColor::toQColor(m_settings.cellColor))) {
        m_settings.cellColor = WinColor::fromQColor(*color);
        showColor(m_cellColorShape, m_settings.cellColor);
    }
}

void TViewConfig::TitleFontButtonClick()
{
    if (chooseFontInto(this, m_settings.gridTitleFont))
        m_titleFont->setText(ViewerConfiguration::fontText(m_settings.gridTitleFont.font));
}

void TViewConfig::NewFontButtonClick()
{
    if (chooseFontInto(this, m_settings.gridFont))
        m_gridFont->setText(ViewerConfiguration::fontText(m_settings.gridFont.font));
}

void TViewConfig::FieldsToDisplayDblClick(int row)
{
    QTableWidgetItem *cell = m_showGrid->item(row, 1);
    cell->setText(cell->text() == QLatin1String("Yes") ? QStringLiteral("No") : QStringLiteral("Yes"));
}

void TViewConfig::moveOrderRow(int step)
{
    const int row = m_orderGrid->currentRow();
    const int other = row + step;
    if (row < 0 || other < 0 || other >= Count)
        return;
    QTableWidgetItem *moving = m_orderGrid->takeItem(row, 0);
    m_orderGrid->setItem(row, 0, m_orderGrid->takeItem(other, 0));
    m_orderGrid->setItem(other, 0, moving);
    m_orderGrid->setCurrentCell(other, 0);
}

void TViewConfig::OrderUpClick()
{
    moveOrderRow(-1);
}

void TViewConfig::OrderDownClick()
{
    moveOrderRow(1);
}

void TViewConfig::OrderDefaultsClick()
{
    if (MessageService::ask(this, QStringLiteral("Re-Order"),
                            QStringLiteral("This will set the order of fields to the program defaults.  Continue?")))
        fillOrderGrid(ViewerConfiguration::defaultOrder());
}

void TViewConfig::HelpButtonClick()
{
    static const std::array<const char *, 6> keywords = {
        "Viewer Configuration Title",  "Viewer Configuration Look",  "Viewer Configuration Show",
        "Viewer Configuration Widths", "Viewer Configuration Order", "Viewer Configuration Names",
    };
    HelpService::showTopic(this, QString::fromLatin1(keywords[m_pages->currentIndex()]));
}
