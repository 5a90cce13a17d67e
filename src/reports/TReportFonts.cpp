#include "TReportFonts.h"

#include "ReportDefinition.h"
#include "ReportDesign.h"
#include "app/WindowLook.h"
#include "framework/report/ReportFont.h"
#include "framework/ui/Controls.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/WinColor.h"
#include "framework/ui/WindowStyle.h"

#include <QFontInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <cmath>

TReportFonts::TReportFonts(ReportDefinition &definition, const WindowLook &look, QWidget *parent)
    : QDialog(parent), m_look(look), m_fonts{&definition.titleFont, &definition.columnHeaderFont, &definition.bodyFont,
                                             &definition.footnoteFont}
{
    setObjectName(QStringLiteral("ReportFonts"));
    setWindowTitle(QStringLiteral("Report Fonts"));
    struct Names
    {
        const char *edit;
        const char *caption;
        const char *button;
    };
    const std::array<Names, 4> names = {{{"TitleFont", "Titles Font", "TitleFontButton"},
                                         {"ColumnFont", "Column Header Font", "ColumnFontButton"},
                                         {"BodyFont", "Report Body Font", "BodyFontButton"},
                                         {"FootnoteFont", "Footnote Font", "FootnoteFontButton"}}};
    auto *grid = new QGridLayout;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const QString edit = QString::fromLatin1(names[i].edit);
        grid->addWidget(
            Controls::label(this, edit + QLatin1String("Label"), QString::fromLatin1(names[i].caption), true),
            int(2 * i), 0, 1, 2);
        m_edits[i] = Controls::edit(this, edit);
        m_edits[i]->setReadOnly(true);
        m_edits[i]->setMinimumWidth(220);
        grid->addWidget(m_edits[i], int(2 * i + 1), 0);
        QPushButton *button = Controls::button(this, QString::fromLatin1(names[i].button), QStringLiteral("New Font"));
        connect(button, &QPushButton::clicked, this, [this, i] { newFont(i); });
        grid->addWidget(button, int(2 * i + 1), 1);
    }
    auto *ok = Controls::button(this, QStringLiteral("OkButton"), QStringLiteral("&Ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    showFonts();
}

void TReportFonts::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TReportFonts::FormShow()
{
    WindowStyle::present(this, m_look.fonts(), m_look.scaleFactor());
    WindowStyle::applyColors(this, m_look.colors(WindowLook::Group::Report));
}

void TReportFonts::showFonts()
{
    for (std::size_t i = 0; i < m_fonts.size(); ++i)
        m_edits[i]->setText(ReportDesign::fontText(*m_fonts[i]));
}

void TReportFonts::newFont(std::size_t which)
{
    ReportFont &font = *m_fonts[which];
    // The dialog lists the faces installed: a face a report names that is
    // printed in another ("Arial" in Liberation Sans) is offered as that one,
    // and keeps its own name when that one is chosen.
    const QString printedIn = QFontInfo(ReportFonts::toQFont(font)).family();
    QFont initial(printedIn);
    initial.setPointSize(std::max(1, font.size));
    initial.setBold(font.bold);
    initial.setItalic(font.italic);
    initial.setUnderline(font.underline);
    initial.setStrikeOut(font.strikeOut);
    const auto chosen = DialogService::chooseColoredFont(this, initial, WinColor::toQColor(font.color));
    if (!chosen)
        return;
    const QFont &f = chosen->first;
    if (f.family() != printedIn || font.name.isEmpty())
        font.name = f.family().left(ReportDesign::FontNameLength);
    font.size = int(std::lround(f.pointSizeF()));
    font.bold = f.bold();
    font.italic = f.italic();
    font.underline = f.underline();
    font.strikeOut = f.strikeOut();
    font.color = WinColor::fromQColor(chosen->second);
    showFonts();
}
