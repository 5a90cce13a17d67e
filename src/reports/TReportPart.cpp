#include "TReportPart.h"

#include "ReportDesign.h"
#include "ReportLayout.h"
#include "app/WindowLook.h"
#include "framework/ui/Controls.h"
#include "framework/ui/MessageService.h"
#include "framework/ui/WindowStyle.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

TReportPart::TReportPart(const ReportLine &line, int lineNumber, int item, int designerWidth, const Settings &settings,
                         const WindowLook &look, QWidget *parent)
    : QDialog(parent), m_line(line), m_item(item), m_designerWidth(designerWidth),
      m_totals(lineNumber == ReportLayout::TotalsLine), m_look(look)
{
    setObjectName(QStringLiteral("ReportPart"));
    setWindowTitle(QStringLiteral("Select Report Part"));
    auto *kinds = new QButtonGroup(this);
    m_radioFiller = Controls::radio(this, QStringLiteral("RadioFiller"), QStringLiteral("Filler (empty space)"));
    m_radioLabel = Controls::radio(this, QStringLiteral("RadioLabel"), QStringLiteral("Label (constant value)"));
    m_radioField = Controls::radio(this, QStringLiteral("RadioField"), QStringLiteral("Field (database value)"));
    for (QRadioButton *radio : {m_radioFiller, m_radioLabel, m_radioField}) {
        kinds->addButton(radio);
        WindowStyle::colorAsCheckBox(radio);
        connect(radio, &QRadioButton::clicked, this, &TReportPart::radioClick);
    }
    m_fieldList = new QListWidget(this);
    m_fieldList->setObjectName(QStringLiteral("FieldList"));
    m_fieldList->addItems(ReportDesign::partEntries(m_totals, settings));
    m_fieldList->setMinimumSize(200, 200);
    m_fieldWidth = Controls::edit(this, QStringLiteral("FieldWidth"), 3);
    m_fieldWidth->setMaximumWidth(60);
    m_labelName = Controls::edit(this, QStringLiteral("LabelName"), ReportDesign::LabelLength);
    m_selPartLabel = Controls::label(this, QStringLiteral("SelPartLabel"),
                                     m_totals ? QStringLiteral("Totals Line, Item %1").arg(item)
                                              : QStringLiteral("Line %1, Item %2").arg(lineNumber).arg(item));
    m_selPartLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    auto *ok = Controls::button(this, QStringLiteral("OkButton"), QStringLiteral("&Ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TReportPart::OkButtonClick);
    auto *cancel = Controls::button(this, QStringLiteral("CancelButton"), QStringLiteral("&Cancel"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *right = new QVBoxLayout;
    right->addWidget(Controls::label(this, QStringLiteral("SelectedLabel"), QStringLiteral("Selected Part")));
    right->addWidget(m_selPartLabel);
    right->addSpacing(6);
    right->addWidget(Controls::label(this, QStringLiteral("TypeLabel"), QStringLiteral("Type"), true));
    right->addWidget(m_radioFiller);
    right->addWidget(m_radioLabel);
    right->addWidget(m_radioField);
    right->addSpacing(6);
    right->addWidget(Controls::label(this, QStringLiteral("WidthLabel"), QStringLiteral("Width"), true));
    right->addWidget(m_fieldWidth);
    right->addSpacing(6);
    right->addWidget(Controls::label(this, QStringLiteral("LabelNameLabel"), QStringLiteral("Label Name"), true));
    right->addWidget(m_labelName);
    right->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    right->addLayout(buttons);
    auto *left = new QVBoxLayout;
    left->addWidget(Controls::label(this, QStringLiteral("FieldsLabel"), QStringLiteral("Fields"), true));
    left->addWidget(m_fieldList, 1);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right);
}

void TReportPart::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TReportPart::FormShow()
{
    WindowStyle::present(this, m_look.fonts(), m_look.scaleFactor());
    SetColors();

    const ReportElement &element = m_line.elements[std::size_t(m_item - 1)];
    m_labelName->clear();
    m_fieldList->setCurrentRow(-1);
    if (element.isLabel()) {
        m_radioLabel->setChecked(true);
        m_labelName->setText(element.labelText);
    } else if (element.isFiller()) {
        m_radioFiller->setChecked(true);
    } else {
        m_radioField->setChecked(true);
        m_fieldList->setCurrentRow(ReportDesign::partEntry(element, m_totals));
    }
    radioClick();
    m_fieldWidth->setText(QString::number(element.width));
    m_fieldWidth->setFocus();
    m_fieldWidth->selectAll();
}

void TReportPart::SetColors()
{
    WindowStyle::applyColors(this, m_look.colors(WindowLook::Group::Report));
}

// The label's text is offered for a label, the list for a field.
void TReportPart::radioClick()
{
    m_labelName->setEnabled(m_radioLabel->isChecked());
    m_fieldList->setEnabled(m_radioField->isChecked());
    if (m_radioField->isChecked())
        m_labelName->clear();
}

void TReportPart::OkButtonClick()
{
    const std::optional<int> width = ReportDesign::readPartWidth(m_fieldWidth->text());
    if (!width) {
        MessageService::error(this, QStringLiteral("Invalid width entered.  Please correct."));
        m_fieldWidth->setFocus();
        m_fieldWidth->selectAll();
        return;
    }
    ReportDesign::Part part;
    part.width = *width;
    if (m_radioField->isChecked()) {
        if (m_fieldList->currentRow() < 0) {
            MessageService::error(
                this, QStringLiteral("No field has been selected.  Please choose one from the Fields list."));
            m_fieldList->setFocus();
            return;
        }
        part.kind = ReportDesign::Part::Kind::Field;
        part.entry = m_fieldList->currentRow();
    } else if (m_radioLabel->isChecked()) {
        part.kind = ReportDesign::Part::Kind::Label;
        part.label = m_labelName->text();
    }
    ReportDesign::setPart(m_line, m_item, part, m_designerWidth, m_totals);
    accept();
}
