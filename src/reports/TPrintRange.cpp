#include "TPrintRange.h"

#include "app/WindowLook.h"
#include "framework/ui/Controls.h"
#include "framework/ui/MessageService.h"
#include "framework/ui/WindowStyle.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <algorithm>

TPrintRange::TPrintRange(int pageCount, const WindowLook &look, QWidget *parent)
    : QDialog(parent), m_pageCount(pageCount), m_look(look)
{
    setObjectName(QStringLiteral("PrintRange"));
    setWindowTitle(QStringLiteral("Page Printing"));
    // Three digits, or as many as the last page has.
    const int digits = std::max(3, int(QString::number(pageCount).size()));
    m_startPage = Controls::edit(this, QStringLiteral("StartPage"), digits);
    m_endPage = Controls::edit(this, QStringLiteral("EndPage"), digits);
    auto *printButton = Controls::button(this, QStringLiteral("PrintButton"), QStringLiteral("&Print"));
    printButton->setDefault(true);
    connect(printButton, &QPushButton::clicked, this, &TPrintRange::PrintButtonClick);
    auto *cancelButton = Controls::button(this, QStringLiteral("CancelButton"), QStringLiteral("&Cancel"));
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *fields = new QGridLayout;
    fields->addWidget(Controls::label(this, QStringLiteral("StartLabel"), QStringLiteral("Starting Page")), 0, 0);
    fields->addWidget(m_startPage, 0, 1);
    fields->addWidget(Controls::label(this, QStringLiteral("EndLabel"), QStringLiteral("Ending Page")), 1, 0);
    fields->addWidget(m_endPage, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(printButton);
    buttons->addWidget(cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
}

void TPrintRange::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TPrintRange::FormShow()
{
    m_startPage->setText(QStringLiteral("1"));
    m_endPage->setText(QString::number(m_pageCount));
    m_confirmed = false;
    WindowStyle::present(this, m_look.fonts(), m_look.scaleFactor());
    WindowStyle::applyColors(this, m_look.colors(WindowLook::Group::Report));
    m_startPage->setFocus();
    m_startPage->selectAll();
}

void TPrintRange::PrintButtonClick()
{
    m_range = PrintRange::read(m_startPage->text(), m_endPage->text(), m_pageCount);
    if (m_range.refused != PrintRange::Refusal::None) {
        MessageService::error(this, m_range.message);
        QLineEdit *edit = m_range.refused == PrintRange::Refusal::Start ? m_startPage : m_endPage;
        edit->setFocus();
        edit->selectAll();
        return;
    }
    m_confirmed = true;
    accept();
}
