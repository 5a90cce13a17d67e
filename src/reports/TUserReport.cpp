#include "TUserReport.h"

#include "ReportDefinition.h"
#include "ReportDefinitionsFile.h"
#include "ReportDesign.h"
#include "TRepLayout.h"
#include "TReportFonts.h"
#include "app/Catalog.h"
#include "app/WindowLook.h"
#include "edit/PickLists.h"
#include "framework/Error.h"
#include "framework/report/InstalledPrinters.h"
#include "framework/ui/Controls.h"
#include "framework/ui/HelpService.h"
#include "framework/ui/MessageService.h"
#include "framework/ui/WindowStyle.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

const QString Warning = QStringLiteral("Warning");

bool askWarning(QWidget *parent, const QString &text, MessageService::Icon icon = MessageService::Icon::Warning)
{
    return MessageService::show(parent, Warning, text, icon, MessageService::Yes | MessageService::No,
                                MessageService::No) == MessageService::Yes;
}

} // namespace

TUserReport::TUserReport(ReportDefinition &definition, Catalog &catalog, const WindowLook &look, bool newMode,
                         int recordIndex, QWidget *parent)
    : QDialog(parent), m_definition(definition), m_catalog(catalog), m_look(look), m_newMode(newMode),
      m_recordIndex(recordIndex), m_startName(definition.name)
{
    setObjectName(QStringLiteral("UserReport"));
    setWindowTitle(QStringLiteral("Report Definition"));
    const auto heading = [this](const char *name, const char *caption) {
        return Controls::label(this, QString::fromLatin1(name), QString::fromLatin1(caption), true);
    };
    const auto label = [this](const QString &name, const char *caption) {
        return Controls::label(this, name, QString::fromLatin1(caption));
    };

    m_reportName = Controls::edit(this, QStringLiteral("ReportName"), ReportDesign::NameLength);
    connect(m_reportName, &QLineEdit::editingFinished, this, &TUserReport::ReportNameExit);

    auto *widths = new QButtonGroup(this);
    m_chars90 = Controls::radio(this, QStringLiteral("Chars90"), QStringLiteral("90 Chars"));
    m_chars120 = Controls::radio(this, QStringLiteral("Chars120"), QStringLiteral("120 Chars"));
    m_chars150 = Controls::radio(this, QStringLiteral("Chars150"), QStringLiteral("150 Chars"));
    for (auto [radio, width] : {std::pair{m_chars90, 90}, {m_chars120, 120}, {m_chars150, 150}}) {
        widths->addButton(radio);
        connect(radio, &QRadioButton::clicked, this, [this, width] { widthClick(width); });
    }
    auto *widthRow = new QHBoxLayout;
    widthRow->addWidget(m_chars90);
    widthRow->addWidget(m_chars120);
    widthRow->addWidget(m_chars150);
    widthRow->addStretch();

    auto *fonts = new QGridLayout;
    const std::array<std::pair<const char *, const char *>, 4> fontControls = {{{"TitleLineFont", "Title Lines"},
                                                                                {"ColumnHeaderFont", "Column Headers"},
                                                                                {"RepBodyDataFont", "Report Body"},
                                                                                {"FootnoteFont", "Footnotes"}}};
    for (std::size_t i = 0; i < fontControls.size(); ++i) {
        m_fontEdits[i] = Controls::edit(this, QString::fromLatin1(fontControls[i].first));
        m_fontEdits[i]->setReadOnly(true);
        fonts->addWidget(
            label(QString::fromLatin1(fontControls[i].first) + QLatin1String("Label"), fontControls[i].second), int(i),
            0);
        fonts->addWidget(m_fontEdits[i], int(i), 1);
    }
    auto *setFonts = Controls::button(this, QStringLiteral("SetFonts"), QStringLiteral("&Set Fonts"));
    connect(setFonts, &QPushButton::clicked, this, &TUserReport::SetFontsClick);
    fonts->addWidget(setFonts, 4, 1, Qt::AlignRight);

    auto *titles = new QVBoxLayout;
    for (std::size_t i = 0; i < m_titles.size(); ++i) {
        m_titles[i] = Controls::edit(this, QStringLiteral("Title%1").arg(i + 1), ReportDesign::TitleLength);
        titles->addWidget(m_titles[i]);
    }

    m_level1Group = Controls::check(this, QStringLiteral("Level1Group"), QStringLiteral("Group by Level 1 Sort"));
    connect(m_level1Group, &QCheckBox::clicked, this, [this](bool on) { m_level2Group->setEnabled(on); });
    m_level2Group = Controls::check(this, QStringLiteral("Level2Group"), QStringLiteral("Group by Level 2 Sort"));
    m_columnHeaders = Controls::check(this, QStringLiteral("ColumnHeaders"), QStringLiteral("Column Headers"));
    m_horzLines = Controls::check(this, QStringLiteral("HorzLines"), QStringLiteral("Horizontal Lines"));
    m_vertLines = Controls::check(this, QStringLiteral("VertLines"), QStringLiteral("Vertical Lines"));
    m_dateOnPage = Controls::check(this, QStringLiteral("DateOnPage"), QStringLiteral("Date On Pages"));
    m_pageNumbers = Controls::check(this, QStringLiteral("PageNumbers"), QStringLiteral("Page Numbers"));
    m_landOrient = Controls::check(this, QStringLiteral("LandOrient"), QStringLiteral("Print Landscape"));
    m_useTotals = Controls::check(this, QStringLiteral("UseTotals"), QStringLiteral("Use Totals"));
    auto *options = new QGridLayout;
    const std::array<QCheckBox *, 9> checks = {m_level1Group, m_level2Group, m_columnHeaders, m_horzLines, m_vertLines,
                                               m_dateOnPage,  m_pageNumbers, m_landOrient,    m_useTotals};
    for (std::size_t i = 0; i < checks.size(); ++i)
        options->addWidget(checks[i], int(i % 5), int(i / 5));

    auto *margins = new QGridLayout;
    margins->addWidget(label(QStringLiteral("MarginsLabel"), "Margins (in inches)"), 0, 0, 1, 4);
    const std::array<std::pair<const char *, const char *>, 4> marginControls = {
        {{"TopMargin", "Top"}, {"BottomMargin", "Bottom"}, {"LeftMargin", "Left"}, {"RightMargin", "Right"}}};
    for (std::size_t i = 0; i < marginControls.size(); ++i) {
        m_marginEdits[i] = Controls::edit(this, QString::fromLatin1(marginControls[i].first), 5);
        m_marginEdits[i]->setMaximumWidth(70);
        connect(m_marginEdits[i], &QLineEdit::editingFinished, this, &TUserReport::NumLinesExit);
        margins->addWidget(
            label(QString::fromLatin1(marginControls[i].first) + QLatin1String("Label"), marginControls[i].second),
            1 + int(i / 2), int(i % 2) * 2);
        margins->addWidget(m_marginEdits[i], 1 + int(i / 2), int(i % 2) * 2 + 1);
    }
    m_numLines = Controls::edit(this, QStringLiteral("NumLines"), 2);
    m_numLines->setMaximumWidth(50);
    WindowStyle::keepSystemColors(m_numLines);
    connect(m_numLines, &QLineEdit::editingFinished, this, &TUserReport::NumLinesExit);
    margins->addWidget(label(QStringLiteral("NumLinesLabel"), "Number of Lines"), 3, 0, 1, 3);
    margins->addWidget(m_numLines, 3, 3);

    auto *specify = Controls::button(this, QStringLiteral("SpecifyButton"), QStringLiteral("&Specify Report Content"));
    connect(specify, &QPushButton::clicked, this, &TUserReport::SpecifyButtonClick);

    auto *update = Controls::button(this, QStringLiteral("UpdateButton"), QStringLiteral("&Update"));
    update->setDefault(true);
    connect(update, &QPushButton::clicked, this, &TUserReport::UpdateButtonClick);
    auto *cancel = Controls::button(this, QStringLiteral("CancelButton"), QStringLiteral("&Cancel"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_deleteButton = Controls::button(this, QStringLiteral("DeleteButton"), QStringLiteral("&Delete"));
    connect(m_deleteButton, &QPushButton::clicked, this, &TUserReport::DeleteButtonClick);
    auto *help = Controls::button(this, QStringLiteral("HelpButton"), QStringLiteral("&Help"));
    connect(help, &QPushButton::clicked, this,
            [this] { HelpService::showTopic(this, QStringLiteral("User Defined Reports")); });
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : {update, cancel, m_deleteButton, help})
        buttons->addWidget(b);

    auto *left = new QVBoxLayout;
    left->addWidget(heading("NameLabel", "Report Name"));
    left->addWidget(m_reportName);
    left->addSpacing(6);
    left->addWidget(heading("WidthLabel", "Report Width"));
    left->addLayout(widthRow);
    left->addSpacing(6);
    left->addWidget(heading("FontsLabel", "Report Fonts"));
    left->addLayout(fonts);
    left->addSpacing(6);
    left->addWidget(heading("TitlesLabel", "Report Titles"));
    left->addLayout(titles);
    left->addStretch();
    auto *right = new QVBoxLayout;
    right->addWidget(heading("MiscLabel", "Miscellaneous"));
    right->addLayout(options);
    right->addSpacing(6);
    right->addLayout(margins);
    right->addSpacing(6);
    right->addWidget(heading("ContentLabel", "Report Content"));
    right->addWidget(specify);
    right->addStretch();
    auto *columns = new QHBoxLayout;
    columns->addLayout(left, 3);
    columns->addSpacing(12);
    columns->addLayout(right, 2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);
}

int TUserReport::designerWidth() const
{
    return m_chars150->isChecked() ? 150 : m_chars120->isChecked() ? 120 : 90;
}

// ---------------------------------------------------------------------------
// Showing

void TUserReport::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TUserReport::FormShow()
{
    WindowStyle::present(this, m_look.fonts(), m_look.scaleFactor());
    SetColors();

    const ReportDefinition &d = m_definition;
    m_reportName->setText(d.name);
    showWidth(d.width);
    showFonts();
    for (std::size_t i = 0; i < m_titles.size(); ++i)
        m_titles[i]->setText(d.titles[i]);
    m_level1Group->setChecked(d.level1Group);
    m_level2Group->setChecked(d.level1Group && d.level2Group);
    m_level2Group->setEnabled(d.level1Group);
    m_columnHeaders->setChecked(d.columnHeaders);
    m_horzLines->setChecked(d.horzLines);
    m_vertLines->setChecked(d.vertLines);
    m_dateOnPage->setChecked(d.dateOnPages);
    m_pageNumbers->setChecked(d.pageNumbers);
    m_landOrient->setChecked(d.landscape);
    m_useTotals->setChecked(d.useTotals);
    const std::array<double, 4> margins = {d.topMargin, d.bottomMargin, d.leftMargin, d.rightMargin};
    for (std::size_t i = 0; i < margins.size(); ++i)
        m_marginEdits[i]->setText(ReportDesign::marginText(margins[i]));
    m_numLines->setText(QString::number(d.numLines));
    enableRules(d.numLines);
    m_deleteButton->setEnabled(!m_newMode);
    m_reportName->setFocus();
}

void TUserReport::SetColors()
{
    WindowStyle::applyColors(this, m_look.colors(WindowLook::Group::Report));
}

void TUserReport::showFonts()
{
    const std::array<const ReportFont *, 4> fonts = {&m_definition.titleFont, &m_definition.columnHeaderFont,
                                                     &m_definition.bodyFont, &m_definition.footnoteFont};
    for (std::size_t i = 0; i < fonts.size(); ++i)
        m_fontEdits[i]->setText(ReportDesign::fontText(*fonts[i]));
}

void TUserReport::showWidth(int width)
{
    (width == 150 ? m_chars150 : width == 120 ? m_chars120 : m_chars90)->setChecked(true);
}

// Column headers and rules belong to reports of one line per book.
void TUserReport::enableRules(int numLines)
{
    for (QCheckBox *box : {m_columnHeaders, m_horzLines, m_vertLines})
        box->setEnabled(numLines < 2);
}

// ---------------------------------------------------------------------------
// Reactions

void TUserReport::ReportNameExit()
{
    if (m_newMode)
        return;
    m_definition.name = PickLists::trimBlanks(m_reportName->text()).left(ReportDesign::NameLength);
    m_deleteButton->setEnabled(m_definition.name == m_startName);
}

void TUserReport::NumLinesExit()
{
    m_definition.numLines = ReportDesign::readInteger(m_numLines->text());
    m_numLines->setText(QString::number(m_definition.numLines));
    enableRules(m_definition.numLines);
}

void TUserReport::widthClick(int width)
{
    if (m_definition.width == width)
        return;
    if (const std::optional<QString> question = ReportDesign::widthQuestion(m_definition.width, width)) {
        if (!askWarning(this, *question)) {
            showWidth(m_definition.width);
            return;
        }
    }
    ReportDesign::changeWidth(m_definition, width);
    showFonts();
    const QString notice = ReportDesign::widthNotice(width);
    if (!notice.isEmpty())
        MessageService::inform(this, QStringLiteral("Notice"), notice);
}

bool TUserReport::checkNumLines()
{
    const std::optional<int> lines = ReportDesign::checkedNumLines(m_numLines->text());
    if (!lines) {
        MessageService::show(this, QStringLiteral("Notice"),
                             QStringLiteral("Number of lines must be in range of 0 to 12.  Please correct."),
                             MessageService::Icon::Warning, MessageService::Ok, MessageService::Ok);
        m_numLines->setFocus();
        return false;
    }
    m_definition.numLines = *lines;
    m_numLines->setText(QString::number(*lines));
    return true;
}

bool TUserReport::checkMargins()
{
    const Settings &settings = m_catalog.settings();
    QSizeF paper =
        InstalledPrinters::paperOf(settings.defaultPrinter ? -1 : settings.printerIndex).size(QPageSize::Inch);
    if (m_landOrient->isChecked())
        paper.transpose();
    std::array<QString, 4> texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = m_marginEdits[i]->text();
    const ReportDesign::Margins margins = ReportDesign::readMargins(texts, paper);
    if (margins.refused >= 0) {
        MessageService::error(this, margins.message);
        m_marginEdits[std::size_t(margins.refused)]->setFocus();
        m_marginEdits[std::size_t(margins.refused)]->selectAll();
        return false;
    }
    m_margins = margins.inches;
    return true;
}

void TUserReport::SetFontsClick()
{
    TReportFonts fonts(m_definition, m_look, this);
    fonts.exec();
    showFonts();
}

void TUserReport::SpecifyButtonClick()
{
    if (!checkNumLines())
        return;
    // The name as typed: a new report's name reaches the definition on Update.
    const QString name = PickLists::trimBlanks(m_reportName->text()).left(ReportDesign::NameLength);
    TRepLayout layout(m_definition, name, designerWidth(), m_useTotals->isChecked(), m_catalog.settings(), m_look,
                      this);
    layout.exec();
}

void TUserReport::copyControls()
{
    ReportDefinition &d = m_definition;
    d.name = PickLists::trimBlanks(m_reportName->text()).left(ReportDesign::NameLength);
    d.width = designerWidth();
    for (std::size_t i = 0; i < m_titles.size(); ++i)
        d.titles[i] = PickLists::trimBlanks(m_titles[i]->text()).left(ReportDesign::TitleLength);
    d.level1Group = m_level1Group->isChecked();
    d.level2Group = d.level1Group && m_level2Group->isChecked();
    d.columnHeaders = m_columnHeaders->isChecked();
    d.horzLines = m_horzLines->isChecked();
    d.vertLines = m_vertLines->isChecked();
    d.dateOnPages = m_dateOnPage->isChecked();
    d.pageNumbers = m_pageNumbers->isChecked();
    d.landscape = m_landOrient->isChecked();
    d.useTotals = m_useTotals->isChecked();
    d.topMargin = m_margins[0];
    d.bottomMargin = m_margins[1];
    d.leftMargin = m_margins[2];
    d.rightMargin = m_margins[3];
}

void TUserReport::UpdateButtonClick()
{
    if (!checkNumLines() || !checkMargins())
        return;
    copyControls();
    if (!m_newMode && m_definition.name != m_startName) {
        const int answer = MessageService::show(
            this, Warning,
            QStringLiteral("Report Title has changed!  Do you wish to save this as a new report?   (YES saves as new "
                           "report.  NO overwrites old report.  CANCEL aborts.)"),
            MessageService::Icon::Warning, MessageService::Yes | MessageService::No | MessageService::Cancel,
            MessageService::Cancel);
        if (answer == MessageService::Cancel)
            return;
        if (answer == MessageService::Yes)
            m_newMode = true;
    }
    const ReportDefinitionsFile file(m_catalog.programDirectory());
    try {
        if (m_newMode) {
            m_recordIndex = int(file.list().size());
            file.append(m_definition);
        } else {
            file.replace(m_recordIndex, m_definition);
        }
    } catch (const Error &e) {
        MessageService::error(this, e.message());
        return;
    }
    m_saved = true;
    accept();
}

void TUserReport::DeleteButtonClick()
{
    if (!askWarning(this, QStringLiteral("Are you sure you want to delete this report?"),
                    MessageService::Icon::Question))
        return;
    try {
        ReportDefinitionsFile(m_catalog.programDirectory()).remove(m_recordIndex);
    } catch (const Error &e) {
        MessageService::error(this, e.message());
        return;
    }
    m_deleted = true;
    accept();
}
