#include "TMyEditBox.h"

#include "PickLists.h"
#include "RecordRules.h"
#include "framework/Error.h"
#include "framework/ui/MessageService.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QPushButton *makeButton(const QString &objectName, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    // Enter in the entry field adds the entry; it must not press Ok.
    button->setAutoDefault(false);
    return button;
}

} // namespace

TMyEditBox::TMyEditBox(int listNumber, PickLists &lists, const WindowStyle::Fonts &fonts, double scale,
                       const WindowStyle::Colors &colors, QWidget *parent)
    : QDialog(parent), m_listNumber(listNumber), m_lists(lists), m_fonts(fonts), m_scale(scale), m_colors(colors)
{
    setObjectName(QStringLiteral("MyEditBox"));
    const PickListInfo &info = PickLists::info(listNumber);
    setWindowTitle(QStringLiteral("Edit \"%1\" List").arg(QString::fromLatin1(info.captionName)));

    m_addInfo = new QLineEdit(this);
    m_addInfo->setObjectName(QStringLiteral("AddInfo"));
    m_addInfo->setMaxLength(info.entryLimit);
    m_theList = new QListWidget(this);
    m_theList->setObjectName(QStringLiteral("TheList"));
    m_theList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_theList->addItems(lists.entries(listNumber));

    QPushButton *add = makeButton(QStringLiteral("AddButton"), QStringLiteral("&Add"), this);
    QPushButton *remove = makeButton(QStringLiteral("DeleteButton"), QStringLiteral("&Delete"), this);
    QPushButton *sort = makeButton(QStringLiteral("SortButton"), QStringLiteral("&Sort"), this);
    QPushButton *ok = makeButton(QStringLiteral("OkButton"), QStringLiteral("&Ok"), this);
    QPushButton *cancel = makeButton(QStringLiteral("CancelButton"), QStringLiteral("&Cancel"), this);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(remove);
    buttons->addWidget(sort);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QGridLayout(this);
    layout->addWidget(m_addInfo, 0, 0);
    layout->addWidget(add, 0, 1);
    layout->addWidget(m_theList, 1, 0);
    layout->addLayout(buttons, 1, 1);
    resize(380, 300);

    connect(m_addInfo, &QLineEdit::returnPressed, this, &TMyEditBox::AddButtonClick);
    connect(add, &QPushButton::clicked, this, &TMyEditBox::AddButtonClick);
    connect(remove, &QPushButton::clicked, this, &TMyEditBox::DeleteButtonClick);
    connect(sort, &QPushButton::clicked, this, &TMyEditBox::SortButtonClick);
    connect(ok, &QPushButton::clicked, this, &TMyEditBox::OkButtonClick);
    connect(cancel, &QPushButton::clicked, this, &TMyEditBox::CancelButtonClick);
}

void TMyEditBox::showEvent(QShowEvent *event)
{
    if (!event->spontaneous() && !m_formShown) {
        m_formShown = true;
        FormShow();
    }
    QDialog::showEvent(event);
}

void TMyEditBox::FormShow()
{
    WindowStyle::applyFonts(this, m_fonts);
    WindowStyle::scale(this, m_scale);
    setFixedSize(size());
    WindowStyle::centre(this);
    SetColors();
    m_theList->setFocus();
    selectRow(0);
}

void TMyEditBox::SetColors()
{
    WindowStyle::applyColors(this, m_colors);
}

void TMyEditBox::AddButtonClick()
{
    const QString value = PickLists::trimBlanks(m_addInfo->text());
    // An entry goes into books as it stands: one the catalog cannot store is
    // refused here, as the record editor would refuse it.
    const QString refusal =
        RecordRules::unstorableCharacter(QString::fromLatin1(PickLists::info(m_listNumber).captionName), value);
    if (!refusal.isEmpty()) {
        MessageService::error(this, refusal);
        m_addInfo->setFocus();
        return;
    }
    if (!value.isEmpty())
        m_theList->addItem(value);
    m_addInfo->clear();
    m_addInfo->setFocus();
}

void TMyEditBox::DeleteButtonClick()
{
    const QList<QListWidgetItem *> selected = m_theList->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = m_theList->row(selected.first());
    delete m_theList->takeItem(row);
    selectRow(std::min(row, m_theList->count() - 1));
}

void TMyEditBox::SortButtonClick()
{
    if (!MessageService::ask(this, QStringLiteral("Confirm"),
                             QStringLiteral("Are you sure you want to sort the data?  Sorting cannot be undone.")))
        return;
    const QStringList entries = PickLists::sorted(listEntries());
    m_theList->clear();
    m_theList->addItems(entries);
    selectRow(0);
}

void TMyEditBox::OkButtonClick()
{
    m_lists.setEntries(m_listNumber, listEntries());
    try {
        m_lists.SaveAllLists();
    } catch (const Error &e) {
        MessageService::error(this, e.message());
    }
    accept();
}

void TMyEditBox::CancelButtonClick()
{
    reject();
}

QStringList TMyEditBox::listEntries() const
{
    QStringList entries;
    entries.reserve(m_theList->count());
    for (int i = 0; i < m_theList->count(); ++i)
        entries.append(m_theList->item(i)->text());
    return entries;
}

// Selects the entry at `row`, or nothing when there is no such entry.
void TMyEditBox::selectRow(int row)
{
    if (row >= 0 && row < m_theList->count())
        m_theList->setCurrentRow(row);
    else
        m_theList->clearSelection();
}
