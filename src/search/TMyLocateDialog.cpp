#include "TMyLocateDialog.h"

#include "Locator.h"
#include "app/Catalog.h"
#include "app/MyTable.h"
#include "app/WindowLook.h"
#include "framework/ui/MessageService.h"
#include "framework/ui/WaitCursor.h"
#include "framework/ui/WindowStyle.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString NoMatches = QStringLiteral("No matches found");
const QString NoMoreMatches = QStringLiteral("No more matches found");

void informNotFound(QWidget *parent, const QString &text)
{
    MessageService::show(parent, QStringLiteral("Information"), text, MessageService::Icon::Information,
                         MessageService::Ok, MessageService::Ok);
}

QPushButton *makeButton(const QString &objectName, const QString &caption, const QString &hint, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setToolTip(hint);
    // Only the chosen default button answers Enter, whichever has the focus.
    button->setAutoDefault(false);
    return button;
}

QRadioButton *makeRadio(const QString &objectName, const QString &caption, QWidget *parent)
{
    auto *radio = new QRadioButton(caption, parent);
    radio->setObjectName(objectName);
    return radio;
}

} // namespace

// ---------------------------------------------------------------------------
// The component

TMyLocateDialog::TMyLocateDialog(Catalog &catalog, const WindowLook &look, QWidget *parent)
    : QObject(parent), m_catalog(catalog), m_look(look), m_parent(parent),
      m_caption(QStringLiteral("Locate Field Value"))
{
}

std::vector<TMyLocateDialog::ListedField> TMyLocateDialog::listedFields() const
{
    const Settings &settings = m_catalog.settings();
    const DbfTable &engine = m_catalog.table().engine();
    std::vector<ListedField> fields;
    for (int row = 1; row <= CatalogFields::Count; ++row) {
        const std::size_t at = std::size_t(row - 1);
        if (m_fieldSelection == fsVisibleFields && !settings.displayFields[at])
            continue;
        const int field = m_catalog.table().field(row);
        if (field < 0)
            continue;
        QString label = settings.displayNames[at];
        label.replace(QLatin1Char('~'), QLatin1Char(' '));
        fields.push_back({label, engine.fields()[std::size_t(field)].name.toUpper()});
    }
    if (m_sortFields == fsSortByFieldName) {
        std::stable_sort(fields.begin(), fields.end(), [](const ListedField &a, const ListedField &b) {
            return a.label.compare(b.label, Qt::CaseInsensitive) < 0;
        });
    }
    return fields;
}

QString TMyLocateDialog::fieldNameFor(const QString &label) const
{
    if (!m_catalog.table().isOpen())
        return {};
    const std::vector<ListedField> fields = listedFields();
    const auto found =
        std::find_if(fields.begin(), fields.end(), [&label](const ListedField &f) { return f.label == label; });
    return found == fields.end() ? QString() : found->name;
}

bool TMyLocateDialog::Execute()
{
    if (!m_catalog.table().isOpen()) {
        MessageService::error(m_parent, QStringLiteral("DataSource does not reference an active DataSet"));
        return false;
    }
    TMyLocateDlg dialog(*this, m_parent);
    const bool fieldExists = m_catalog.table().engine().fieldIndex(m_searchField) >= 0;
    int stored = -1;
    dialog.m_filling = true;
    for (const ListedField &field : listedFields()) {
        if (fieldExists && stored < 0 && field.name.compare(m_searchField, Qt::CaseInsensitive) == 0)
            stored = dialog.m_fieldNames->count();
        dialog.m_fieldNames->addItem(field.label);
    }
    dialog.m_fieldNames->setCurrentIndex(stored);
    dialog.m_filling = false;
    dialog.setDefaultButton(m_defaultButton == dbFindNext ? dialog.m_nextButton : dialog.m_firstButton);
    dialog.m_searchValue->setText(fieldExists ? m_fieldValue : QString());
    dialog.m_caseSensitive->setChecked(m_caseSensitive);
    dialog.m_exactMatch->setChecked(m_matchType == mtExactMatch);
    dialog.m_partialStart->setChecked(m_matchType == mtPartialMatchStart);
    dialog.m_partialAny->setChecked(m_matchType == mtPartialMatchAny);
    dialog.setWindowTitle(m_caption);

    const bool found = dialog.exec() == QDialog::Accepted;

    m_matchType = dialog.matchType();
    m_caseSensitive = dialog.m_caseSensitive->isChecked();
    m_fieldValue = dialog.m_searchValue->text();
    m_searchField = fieldNameFor(dialog.m_fieldNames->currentText());
    return found;
}

bool TMyLocateDialog::FindNext()
{
    if (!m_catalog.table().isOpen()) {
        MessageService::show(m_parent, QStringLiteral("Warning"),
                             QStringLiteral("DataSource does not refer to an active table!"),
                             MessageService::Icon::Warning, MessageService::Ok, MessageService::Ok);
        return false;
    }
    if (m_fieldValue.isEmpty()) {
        m_defaultButton = dbFindNext;
        return Execute();
    }
    const bool found = Locate(false, m_searchField, m_caseSensitive, m_matchType, m_fieldValue);
    if (!found && m_showMessages)
        informNotFound(m_parent, NoMoreMatches);
    return found;
}

bool TMyLocateDialog::Locate(bool fromFirst, const QString &fieldName, bool caseSensitive, TMyLocateMatchType matchType,
                             const QString &value)
{
    MyTable &table = m_catalog.table();
    const int field = fieldName.isEmpty() ? -1 : table.engine().fieldIndex(fieldName);
    if (field < 0)
        return false;
    const Locator::Match match = matchType == mtExactMatch          ? Locator::Match::Exact
                                 : matchType == mtPartialMatchStart ? Locator::Match::PartialStart
                                                                    : Locator::Match::PartialAnywhere;
    int row;
    {
        const WaitCursor wait;
        row = Locator(table.engine(), field, value, match, caseSensitive).findFrom(fromFirst ? 0 : table.row() + 1);
    }
    if (row < 0)
        return false;
    table.setRow(row);
    return true;
}

// ---------------------------------------------------------------------------
// The dialog

TMyLocateDlg::TMyLocateDlg(TMyLocateDialog &component, QWidget *parent) : QDialog(parent), m_component(component)
{
    setObjectName(QStringLiteral("MyLocateDlg"));

    auto *fieldGroup = new QGroupBox(QStringLiteral("&Field To Search On"), this);
    m_fieldNames = new QComboBox(fieldGroup);
    m_fieldNames->setObjectName(QStringLiteral("FieldNameComboBox"));
    m_fieldNames->setToolTip(QStringLiteral("Select the field to search on"));
    m_fieldNames->setMinimumContentsLength(20);
    (new QVBoxLayout(fieldGroup))->addWidget(m_fieldNames);

    auto *typeGroup = new QGroupBox(QStringLiteral("&Search Type"), this);
    m_caseSensitive = new QCheckBox(QStringLiteral("&Case-sensitive"), typeGroup);
    m_caseSensitive->setObjectName(QStringLiteral("CaseSensitiveCheckBox"));
    m_exactMatch = makeRadio(QStringLiteral("ExactMatchBtn"), QStringLiteral("&Exact Match"), typeGroup);
    m_partialStart =
        makeRadio(QStringLiteral("PartialMatchStartBtn"), QStringLiteral("&Partial Match at Beginning"), typeGroup);
    m_partialAny =
        makeRadio(QStringLiteral("PartialMatchAnyBtn"), QStringLiteral("Partial Match &Anywhere"), typeGroup);
    auto *typeLayout = new QVBoxLayout(typeGroup);
    typeLayout->addWidget(m_caseSensitive);
    typeLayout->addWidget(m_exactMatch);
    typeLayout->addWidget(m_partialStart);
    typeLayout->addWidget(m_partialAny);

    auto *valueGroup = new QGroupBox(QStringLiteral("Search &Value"), this);
    m_searchValue = new QLineEdit(valueGroup);
    m_searchValue->setObjectName(QStringLiteral("SearchValue"));
    m_searchValue->setToolTip(QStringLiteral("Enter field's search value"));
    (new QVBoxLayout(valueGroup))->addWidget(m_searchValue);

    m_firstButton =
        makeButton(QStringLiteral("FirstButton"), QStringLiteral("Fi&rst"), QStringLiteral("Find first match"), this);
    m_nextButton = makeButton(QStringLiteral("NextButton"), QStringLiteral("&Next"),
                              QStringLiteral("Find next match from current record"), this);
    QPushButton *cancel = makeButton(QStringLiteral("BitBtn1"), QStringLiteral("Cancel"), QString(), this);
    setDefaultButton(m_nextButton);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_firstButton);
    buttons->addWidget(m_nextButton);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(fieldGroup);
    layout->addWidget(typeGroup);
    layout->addWidget(valueGroup);
    layout->addLayout(buttons);

    connect(m_firstButton, &QPushButton::clicked, this, &TMyLocateDlg::FindFirst);
    connect(m_nextButton, &QPushButton::clicked, this, &TMyLocateDlg::FindNextBtnClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_fieldNames, &QComboBox::currentIndexChanged, this, &TMyLocateDlg::FieldNameComboBoxChange);
    m_fieldNames->installEventFilter(this);
    m_fieldNames->view()->installEventFilter(this);
}

void TMyLocateDlg::showEvent(QShowEvent *event)
{
    if (!event->spontaneous() && !m_formShown) {
        m_formShown = true;
        FormShow();
    }
    QDialog::showEvent(event);
}

void TMyLocateDlg::FormShow()
{
    WindowStyle::applyFonts(this, m_component.m_look.fonts());
    adjustSize();
    WindowStyle::scale(this, m_component.m_look.scaleFactor());
    WindowStyle::centre(this);
    SetColors();
    if (m_fieldNames->currentIndex() < 0) {
        m_fieldNames->setFocus();
    } else {
        m_searchValue->setFocus();
        m_searchValue->selectAll();
    }
}

void TMyLocateDlg::SetColors()
{
    WindowStyle::applyColors(this, m_component.m_catalog.settings().configureColors);
}

bool TMyLocateDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_fieldNames) {
        // A popup taking the focus does not count: the list still has it.
        if (event->type() == QEvent::FocusIn)
            FieldNameComboBoxEnter();
        else if (event->type() == QEvent::FocusOut &&
                 static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
            FieldNameComboBoxExit();
    } else if (watched == m_fieldNames->view() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            FieldNameComboBoxKeyDown();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TMyLocateDlg::setDefaultButton(QPushButton *button)
{
    m_defaultButton = button;
    m_firstButton->setDefault(button == m_firstButton);
    m_nextButton->setDefault(button == m_nextButton);
}

void TMyLocateDlg::FieldNameComboBoxEnter()
{
    // Enter in the list must not locate.
    m_firstButton->setDefault(false);
    m_nextButton->setDefault(false);
}

void TMyLocateDlg::FieldNameComboBoxExit()
{
    m_defaultButton->setDefault(true);
}

void TMyLocateDlg::FieldNameComboBoxKeyDown()
{
    // Enter in the dropped-down list takes the entry under the cursor and goes on to the value.
    m_fieldNames->setCurrentIndex(m_fieldNames->view()->currentIndex().row());
    m_fieldNames->hidePopup();
    m_searchValue->setFocus();
}

void TMyLocateDlg::FieldNameComboBoxChange()
{
    if (m_filling)
        return;
    m_searchValue->clear();
    // While the list is dropped down the user is still choosing.
    if (!m_fieldNames->view()->isVisible())
        m_searchValue->setFocus();
}

TMyLocateDialog::TMyLocateMatchType TMyLocateDlg::matchType() const
{
    if (m_exactMatch->isChecked())
        return TMyLocateDialog::mtExactMatch;
    if (m_partialStart->isChecked())
        return TMyLocateDialog::mtPartialMatchStart;
    return TMyLocateDialog::mtPartialMatchAny;
}

void TMyLocateDlg::FindFirst()
{
    locate(true);
}

void TMyLocateDlg::FindNextBtnClick()
{
    locate(false);
}

void TMyLocateDlg::locate(bool fromFirst)
{
    const QString field = m_component.fieldNameFor(m_fieldNames->currentText());
    if (field.isEmpty())
        return;
    if (m_component.Locate(fromFirst, field, m_caseSensitive->isChecked(), matchType(), m_searchValue->text()))
        accept();
    else
        informNotFound(this, fromFirst ? NoMatches : NoMoreMatches);
}
