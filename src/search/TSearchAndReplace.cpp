#include "TSearchAndReplace.h"

#include "Replacement.h"
#include "app/Catalog.h"
#include "app/DateFormat.h"
#include "app/MyTable.h"
#include "app/WindowLook.h"
#include "edit/RecordRules.h"
#include "framework/Error.h"
#include "framework/ui/MessageService.h"
#include "framework/ui/WaitCursor.h"
#include "framework/ui/WindowStyle.h"
#include "storage/CatalogFields.h"
#include "storage/CatalogTable.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString InUse = QStringLiteral(
    "Search and Replace requires exclusive use of the DBase File.  Make sure that the DBase File is not in use by "
    "another program  or that no other users are running the software or that no other copies of the software are in "
    "use.");

// How many books a run that failed had changed: they stay changed.
QString changedBooks(int changed)
{
    if (changed == 0)
        return QStringLiteral("No book was changed.");
    return changed == 1 ? QStringLiteral("1 book was changed.") : QStringLiteral("%1 books were changed.").arg(changed);
}

} // namespace

TSearchAndReplace::TSearchAndReplace(Catalog &catalog, const WindowLook &look, QWidget *parent)
    : QDialog(parent), m_catalog(catalog), m_look(look)
{
    setObjectName(QStringLiteral("SearchAndReplace"));
    setWindowTitle(QStringLiteral("Search and Replace"));
    auto *grid = new QGridLayout;
    auto label = [this](const char *name, const char *caption) {
        auto *l = new QLabel(QString::fromLatin1(caption), this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    m_fieldBox = new QComboBox(this);
    m_fieldBox->setObjectName(QStringLiteral("FieldBox"));
    m_fieldBox->setMaxVisibleItems(15);
    m_searchText = new QLineEdit(this);
    m_searchText->setObjectName(QStringLiteral("SearchText"));
    m_replaceText = new QLineEdit(this);
    m_replaceText->setObjectName(QStringLiteral("ReplaceText"));
    grid->addWidget(label("FieldLabel", "Field "), 0, 0);
    grid->addWidget(m_fieldBox, 0, 1);
    grid->addWidget(label("SearchLabel", "Text To Search For"), 1, 0);
    grid->addWidget(m_searchText, 1, 1);
    grid->addWidget(label("ReplaceLabel", "Replacement Text"), 2, 0);
    grid->addWidget(m_replaceText, 2, 1);
    m_confirm = new QCheckBox(QStringLiteral("Confirm Before Replacing"), this);
    m_confirm->setObjectName(QStringLiteral("ConfirmBox"));
    grid->addWidget(m_confirm, 3, 1);

    auto *counts = new QGridLayout;
    const std::pair<const char *, const char *> headings[] = {
        {"ProcessedLabel", "Processed"}, {"FoundLabel", "Found"}, {"ChangedLabel", "Changed"}};
    QLabel **values[] = {&m_processed, &m_found, &m_changed};
    const char *valueNames[] = {"ProcessedCount", "FoundCount", "ChangedCount"};
    for (int i = 0; i < 3; ++i) {
        QLabel *heading = label(headings[i].first, headings[i].second);
        WindowStyle::markHeading(heading);
        counts->addWidget(heading, 0, i, Qt::AlignHCenter);
        *values[i] = label(valueNames[i], "0");
        (*values[i])->setAlignment(Qt::AlignCenter);
        counts->addWidget(*values[i], 1, i, Qt::AlignHCenter);
    }

    auto *start = new QPushButton(QStringLiteral("&Start Search"), this);
    start->setObjectName(QStringLiteral("StartButton"));
    auto *cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    connect(start, &QPushButton::clicked, this, &TSearchAndReplace::StartButtonClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(start);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(counts);
    layout->addLayout(buttons);
    connect(m_fieldBox, &QComboBox::activated, this, &TSearchAndReplace::FieldBoxChange);
}

void TSearchAndReplace::showEvent(QShowEvent *event)
{
    WindowStyle::applyFonts(this, m_look.fonts());
    WindowStyle::scale(this, m_look.scaleFactor());
    // The counters are painted while the run holds the event loop, when no
    // layout can widen them: each is made wide enough for any count at once.
    for (QLabel *count : {m_processed, m_found, m_changed})
        count->setMinimumWidth(count->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
    WindowStyle::centre(this);
    SetColors();
    m_fieldBox->clear();
    for (const QString &name : m_catalog.settings().displayNames)
        m_fieldBox->addItem(name);
    m_fieldBox->setCurrentIndex(-1);
    m_field = 0;
    QDialog::showEvent(event);
}

void TSearchAndReplace::SetColors()
{
    WindowStyle::applyColors(this, m_catalog.settings().configureColors);
}

void TSearchAndReplace::FieldBoxChange(int index)
{
    m_field = index + 1;
    for (QLineEdit *edit : {m_searchText, m_replaceText}) {
        edit->setInputMask(QString());
        edit->clear();
        switch (CatalogFields::row(m_field).kind) {
        case FieldKind::Text:
            edit->setMaxLength(CatalogFields::row(m_field).width);
            break;
        case FieldKind::Date: {
            const QChar separator = DateFormat::current().separator();
            edit->setInputMask(QStringLiteral("00") + separator + QStringLiteral("00") + separator +
                               QStringLiteral("9999;_"));
            break;
        }
        default:
            edit->setMaxLength(32767);
            edit->setInputMask(QStringLiteral("xxxxxxxxx;_"));
            break;
        }
    }
}

bool TSearchAndReplace::refuse(QWidget *focus, const QString &message)
{
    MessageService::error(this, message);
    focus->setFocus();
    return false;
}

void TSearchAndReplace::showCounts(const Replacement::Counts &counts)
{
    m_processed->setText(QString::number(counts.processed));
    m_found->setText(QString::number(counts.found));
    m_changed->setText(QString::number(counts.changed));
    m_processed->repaint();
    m_found->repaint();
    m_changed->repaint();
}

void TSearchAndReplace::StartButtonClick()
{
    if (m_field == 0) {
        refuse(m_fieldBox, QStringLiteral("No field has been selected."));
        return;
    }
    MyTable &table = m_catalog.table();
    const int engineField = table.field(m_field);
    const QString search = m_searchText->text().trimmed();
    const QString replacement = m_replaceText->text().trimmed();
    std::optional<Replacement> run;
    switch (CatalogFields::row(m_field).kind) {
    case FieldKind::Text: {
        const QString refusal = RecordRules::unstorableCharacter(QStringLiteral("The replacement text"), replacement);
        if (!refusal.isEmpty()) {
            refuse(m_replaceText, refusal);
            return;
        }
        run = Replacement::text(engineField, search, replacement);
        break;
    }
    case FieldKind::Whole:
    case FieldKind::Decimal: {
        const auto searchNumber = readPlainNumber(search);
        if (!searchNumber) {
            refuse(m_searchText, QStringLiteral("Invalid search value entered.  Please correct."));
            return;
        }
        const auto replacementNumber = readPlainNumber(replacement);
        if (!replacementNumber) {
            refuse(m_replaceText, QStringLiteral("Invalid replacement value entered.  Please correct."));
            return;
        }
        run = Replacement::number(engineField, *searchNumber, *replacementNumber);
        break;
    }
    case FieldKind::Date: {
        bool valid = false;
        const QDate searchDate = RecordRules::readDate(search, DateFormat::current(), &valid);
        if (!valid || !searchDate.isValid()) {
            refuse(m_searchText, QStringLiteral("Invalid search date entered.  Please correct."));
            return;
        }
        const QDate replacementDate = RecordRules::readDate(replacement, DateFormat::current(), &valid);
        if (!valid || !replacementDate.isValid()) {
            refuse(m_replaceText, QStringLiteral("Invalid replacement date entered.  Please correct."));
            return;
        }
        run = Replacement::date(engineField, searchDate, replacementDate);
        break;
    }
    }

    table.close();
    if (m_catalog.DBaseInUse(m_catalog.path())) {
        m_catalog.reopenTable();
        MessageService::error(this, InUse);
        return;
    }
    Replacement::Counts counts;
    showCounts(counts);
    QStringList failures;
    {
        WaitCursor wait;
        // Record order: the tag is built again once, after the run.
        const QString order = table.indexName();
        try {
            table.setIndexName(QString());
            m_catalog.reopenTable(DbfTable::Access::Exclusive);
            table.deleteIndex(CatalogTable::IndexTag);
        } catch (const Error &e) {
            table.setIndexName(order);
            m_catalog.reopenTable();
            QString message = QStringLiteral("Error in running search and replace.  Search and replace will be "
                                             "aborted.");
            // A read-only file or folder says so: the user can mend that.
            if (dynamic_cast<const DbfReadOnlyError *>(&e))
                message += QStringLiteral("  ") + e.message();
            MessageService::error(this, message);
            return;
        }
        const bool searched = m_catalog.searchOn();
        if (searched) {
            m_catalog.DisableEndSearch();
            table.refresh();
        }
        const bool confirming = m_confirm->isChecked();
        const int title = table.field(1);
        try {
            run->run(
                table.engine(), counts,
                confirming ? std::function<bool(const DbfRecord &)>([&](const DbfRecord &record) {
                    return MessageService::ask(this, QStringLiteral("Confirm"),
                                               QStringLiteral("Item = \"") + record.text(title) +
                                                   QStringLiteral("\".  Change this record?"));
                })
                           : std::function<bool(const DbfRecord &)>(),
                [&, shown = Replacement::Counts(), painted = QElapsedTimer()](const Replacement::Counts &c) mutable {
                    // Painted a few times a second, and after every answer: painting
                    // after every book would take far longer than the run itself.
                    if (painted.isValid() && painted.elapsed() < 50 && !(confirming && c.found != shown.found))
                        return;
                    showCounts(c);
                    shown = c;
                    painted.start();
                });
        } catch (const Error &e) {
            failures << QStringLiteral("An error stopped the search and replace: ") + e.message();
        }
        showCounts(counts);
        if (searched)
            m_catalog.EnableEndSearch();
        if (!m_catalog.sortString().isEmpty()) {
            try {
                table.addIndex(CatalogTable::IndexTag, m_catalog.sortString(), true);
            } catch (const Error &e) {
                failures << QStringLiteral("The sort order could not be built again after the search and replace: ") +
                                e.message();
            }
        }
    }
    m_catalog.reopenTable();
    if (!failures.isEmpty()) {
        MessageService::error(this, failures.join(QStringLiteral("  ")) + QStringLiteral("  ") +
                                        changedBooks(counts.changed));
        return;
    }
    MessageService::inform(this, QStringLiteral("Finished"), QStringLiteral("Global Search and Replace Complete."));
    accept();
}
