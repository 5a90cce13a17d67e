#include "TPrintSelect.h"

#include "app/Settings.h"
#include "app/WindowLook.h"
#include "framework/report/InstalledPrinters.h"
#include "framework/ui/Controls.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

TPrintSelect::TPrintSelect(Settings &settings, const WindowLook &look, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_look(look)
{
    setObjectName(QStringLiteral("PrintSelect"));
    setWindowTitle(QStringLiteral("Printer Selection"));
    m_defaultPrinter = Controls::radio(this, QStringLiteral("DefaultPrinter"), QStringLiteral("Default Printer"));
    m_otherPrinter = Controls::radio(this, QStringLiteral("OtherPrinter"), QStringLiteral("Other Printer"));
    m_printerList = new QComboBox(this);
    m_printerList->setObjectName(QStringLiteral("PrinterList"));
    m_printerList->setMinimumWidth(250);
    auto *okButton = Controls::button(this, QStringLiteral("OkButton"), QStringLiteral("&Ok"));
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &TPrintSelect::OkButtonClick);
    auto *cancelButton = Controls::button(this, QStringLiteral("CancelButton"), QStringLiteral("&Cancel"));
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_defaultPrinter);
    layout->addWidget(m_otherPrinter);
    layout->addWidget(m_printerList);
    layout->addLayout(buttons);
}

void TPrintSelect::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TPrintSelect::FormShow()
{
    m_dimensions.show(this, m_look.fonts(), m_look.scaleFactor());
    WindowStyle::applyColors(this, m_look.colors(WindowLook::Group::Report));

    (m_settings.defaultPrinter ? m_defaultPrinter : m_otherPrinter)->setChecked(true);
    m_printerList->clear();
    const QList<InstalledPrinters::Printer> printers = InstalledPrinters::list();
    for (const InstalledPrinters::Printer &printer : printers)
        m_printerList->addItem(printer.name);
    const int index = m_settings.printerIndex;
    m_printerList->setCurrentIndex(index >= 0 && index < printers.size() ? index : -1);
}

void TPrintSelect::OkButtonClick()
{
    m_settings.defaultPrinter = m_defaultPrinter->isChecked();
    m_settings.printerIndex = m_printerList->currentIndex();
    accept();
}
