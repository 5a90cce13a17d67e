#include "TSearchOptions.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TSearchOptions::TSearchOptions(const QString &fieldName, const WindowStyle::Fonts &fonts, double scale, QWidget *parent)
    : QDialog(parent), m_fonts(fonts), m_scale(scale)
{
    setObjectName(QStringLiteral("SearchOptions"));
    setWindowTitle(QStringLiteral("Search Options"));

    m_fieldName = new QLabel(fieldName, this);
    m_fieldName->setObjectName(QStringLiteral("FieldNameLabel"));
    m_fieldName->setAlignment(Qt::AlignCenter);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ListBox1"));
    connect(m_list, &QListWidget::itemDoubleClicked, this, &TSearchOptions::OkButtonClick);

    auto *ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("OkButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TSearchOptions::OkButtonClick);
    auto *cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &TSearchOptions::CancelButtonClick);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_fieldName);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
}

void TSearchOptions::LoadList(const QStringList &entries)
{
    m_list->clear();
    m_list->addItems(entries);
}

void TSearchOptions::select(int index)
{
    m_list->setCurrentRow(index);
}

int TSearchOptions::selectedIndex() const
{
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : m_list->row(selected.first());
}

QString TSearchOptions::selectedText() const
{
    const int index = selectedIndex();
    return index < 0 ? QString() : m_list->item(index)->text();
}

void TSearchOptions::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TSearchOptions::FormShow()
{
    WindowStyle::applyFonts(this, m_fonts);
    adjustSize();
    WindowStyle::scale(this, m_scale);
    WindowStyle::centre(this);
}

void TSearchOptions::OkButtonClick()
{
    accept();
}

void TSearchOptions::CancelButtonClick()
{
    reject();
}
