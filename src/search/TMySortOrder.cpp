#include "TMySortOrder.h"

#include "app/Catalog.h"
#include "app/MyTable.h"
#include "app/WindowLook.h"
#include "framework/Error.h"
#include "framework/ui/MessageService.h"
#include "framework/ui/WinColor.h"
#include "framework/ui/WindowStyle.h"
#include "storage/CatalogTable.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

const char *const LevelCaptions[] = {"Primary Sort", "Secondary Sort", "Third Level Sort", "Fourth Level Sort"};

void paint(QWidget *widget, int background, int text)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, WinColor::toQColor(background));
    palette.setColor(QPalette::WindowText, WinColor::toQColor(text));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

TMySortOrder::TMySortOrder(Catalog &catalog, const WindowLook &look, QWidget *parent)
    : QDialog(parent), m_catalog(catalog), m_look(look)
{
    setObjectName(QStringLiteral("MySortOrder"));
    setWindowTitle(QStringLiteral("Sort Order"));

    auto *layout = new QVBoxLayout(this);
    for (std::size_t i = 0; i < m_levels.size(); ++i) {
        auto *frame = new QFrame(this);
        frame->setObjectName(QStringLiteral("Frame%1").arg(i + 1));
        frame->setFrameShape(QFrame::StyledPanel);
        m_headings[i] = new QLabel(QString::fromLatin1(LevelCaptions[i]), frame);
        m_headings[i]->setObjectName(QStringLiteral("LabelSort%1").arg(i + 1));
        m_levels[i] = new QComboBox(frame);
        m_levels[i]->setObjectName(QStringLiteral("ComboBox%1").arg(i + 1));
        auto *frameLayout = new QVBoxLayout(frame);
        frameLayout->addWidget(m_headings[i]);
        frameLayout->addWidget(m_levels[i]);
        layout->addWidget(frame);
    }

    auto *ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("OkButton"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &TMySortOrder::OkButtonClick);
    connect(cancel, &QPushButton::clicked, this, &TMySortOrder::CancelButtonClick);
    FormCreate();
}

void TMySortOrder::FormCreate()
{
    // List index k is field row k; index 0 is none.
    QStringList entries{QStringLiteral("<NONE>")};
    for (const QString &name : m_catalog.settings().displayNames)
        entries << name;
    for (QComboBox *level : m_levels)
        level->addItems(entries);
}

void TMySortOrder::showEvent(QShowEvent *event)
{
    if (!event->spontaneous() && !m_formShown) {
        m_formShown = true;
        FormShow();
    }
    QDialog::showEvent(event);
}

void TMySortOrder::FormShow()
{
    WindowStyle::applyFonts(this, m_look.fonts());
    adjustSize();
    WindowStyle::scale(this, m_look.scaleFactor());
    WindowStyle::centre(this);
    const CatalogTable::SortLevels &levels = m_catalog.settings().sortLevels;
    for (std::size_t i = 0; i < m_levels.size(); ++i) {
        const bool known = levels[i] >= 0 && levels[i] <= CatalogFields::Count;
        m_levels[i]->setCurrentIndex(known ? levels[i] : 0);
    }
    SetColors();
}

void TMySortOrder::SetColors()
{
    // The window and its four frames, and the headings; the lists keep theirs.
    const ColorSet &colors = m_catalog.settings().configureColors;
    paint(this, colors[MainBackground], colors[MinorTitle]);
    for (QLabel *heading : m_headings) {
        paint(heading->parentWidget(), colors[MainBackground], colors[MinorTitle]);
        paint(heading, colors[MainBackground], colors[MajorTitle]);
    }
}

void TMySortOrder::OkButtonClick()
{
    MyTable &table = m_catalog.table();
    Settings &settings = m_catalog.settings();
    table.close();
    if (m_catalog.DBaseInUse(m_catalog.path())) {
        MessageService::error(
            this, QStringLiteral("Creating a new sort order requires exclusive use of the DBase File.  Make "
                                 "sure that the DBase File is not in use by another program  or that no other "
                                 "users are running the software or that no other copies of the software are "
                                 "in use."));
        m_catalog.reopenTable(DbfTable::Access::Shared);
        return;
    }

    const CatalogTable::SortLevels previous = settings.sortLevels;
    bool settingsWritten = false;
    QString cause;
    try {
        // The old tag is about to go: open in record order instead of reading it.
        table.setIndexName(QString());
        m_catalog.reopenTable(DbfTable::Access::Exclusive);
        for (std::size_t i = 0; i < m_levels.size(); ++i)
            settings.sortLevels[i] = std::max(0, m_levels[i]->currentIndex());
        m_catalog.BuildSortString();
        // An order of no field drops the tag too, so that the index never
        // contradicts the stored order.
        if (QFileInfo::exists(table.engine().mdxPath()))
            table.deleteIndex(CatalogTable::IndexTag);
        if (!m_catalog.sortString().isEmpty())
            table.addIndex(CatalogTable::IndexTag, m_catalog.sortString(), /*select*/ true);
        m_catalog.writeDatabaseSettings();
        settingsWritten = true;
        m_catalog.reopenTable(DbfTable::Access::Shared);
        if (table.isOpen()) {
            accept();
            return;
        }
    } catch (const Error &e) {
        // Reported below, with the cause when the user can mend it (a
        // read-only file or folder); the table is opened again there.
        if (dynamic_cast<const DbfReadOnlyError *>(&e))
            cause = QStringLiteral("  ") + e.message();
    }

    MessageService::error(this, QStringLiteral("Error in implementing sort order.  New sort order not implemented.") +
                                    cause);
    settings.sortLevels = previous;
    m_catalog.BuildSortString();
    if (settingsWritten) {
        try {
            m_catalog.writeDatabaseSettings();
        } catch (const Error &e) {
            MessageService::error(this, e.message());
        }
    }
    // The tag is still the order only when it holds the old sort string.
    table.close();
    const bool oldTagKept =
        !m_catalog.sortString().isEmpty() &&
        table.engine().tagExpression(CatalogTable::IndexTag).compare(m_catalog.sortString(), Qt::CaseInsensitive) == 0;
    table.setIndexName(oldTagKept ? CatalogTable::IndexTag : QString());
    m_catalog.reopenTable(DbfTable::Access::Shared);
}

void TMySortOrder::CancelButtonClick()
{
    reject();
}
