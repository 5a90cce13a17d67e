#include "TMyEdit.h"

#include "RecordRules.h"
#include "app/Catalog.h"
#include "app/DateFormat.h"
#include "app/MyTable.h"
#include "app/NumberFormat.h"
#include "app/WindowLook.h"
#include "framework/Error.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/HelpService.h"
#include "framework/ui/MessageService.h"
#include "framework/ui/PickListCombo.h"
#include "storage/CatalogFields.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString Caption = QStringLiteral("Edit");

// Controls in page order, which is also the order Enter moves through them.
struct FieldLook
{
    int row;
    const char *name;
    const char *label;
    int kind; // TMyEdit::Kind
    int page;
    int list;
};

QString boxDate(const QDate &date)
{
    // The masked date edit holds two-digit day and month and a four-digit year.
    return DateFormat::current().withFourDigitYear(true).format(date);
}

int limitOf(int row)
{
    switch (CatalogFields::row(row).kind) {
    case FieldKind::Text:
        return CatalogFields::row(row).width;
    case FieldKind::Whole:
        return row == 3 ? 4 : 5;
    case FieldKind::Decimal:
        return 12;
    case FieldKind::Date:
        return 10;
    }
    return 0;
}

} // namespace

TMyEdit::TMyEdit(Catalog &catalog, const WindowLook &look, QWidget *parent)
    : QDialog(parent), m_catalog(catalog), m_look(look)
{
    setObjectName(QStringLiteral("MyEdit"));
    setWindowTitle(Caption);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    createControls();
    if (catalog.browseMode()) {
        for (const char *name :
             {"MenuNew", "MenuClear", "MenuUpdate", "MenuUpdateExit", "MenuCut", "MenuCopy", "MenuPaste", "MenuDelete"})
            findChild<QAction *>(QString::fromLatin1(name))->setEnabled(false);
        for (const char *name : {"UpdateExitButton", "UpdateButton", "ClearButton"})
            findChild<QPushButton *>(QString::fromLatin1(name))->setEnabled(false);
    }
}

// ---------------------------------------------------------------------------
// Controls

void TMyEdit::createControls()
{
    enum {
        E = int(Kind::Edit),
        C = int(Kind::Combo),
        D = int(Kind::Date),
        A = int(Kind::Amount),
        W = int(Kind::Whole),
        K = int(Kind::Check)
    };
    static const FieldLook looks[] = {
        {1, "Title", "TitleLabel", E, 0, 0},
        {2, "Author", "AuthorLabel", C, 0, 1},
        {4, "Publisher", "PublisherLabel", C, 0, 5},
        {27, "Editor", "EditorLabel", E, 0, 0},
        {13, "BookType", "BookTypeLabel", C, 0, 7},
        {20, "Volume", "VolumeLabel", E, 0, 0},
        {21, "Issue", "IssueLabel", E, 0, 0},
        {3, "YearPub", "YearPubLabel", W, 0, 0},
        {22, "Edition", "EditionLabel", E, 0, 0},
        {24, "Pages", "PagesLabel", W, 0, 0},
        {12, "PurchDate", "PurchDateLabel", D, 0, 0},
        {6, "WherePurch", "WherePurchLabel", C, 0, 3},
        {14, "Catalog", "CatalogLabel", E, 1, 0},
        {15, "SubCat1", "CatSub1Label", E, 1, 0},
        {16, "SubCat2", "CatSub2Label", E, 1, 0},
        {28, "Dewey", "DeweyLabel", E, 1, 0},
        {10, "ISBN", "ISBNLabel", E, 1, 0},
        {5, "Category", "CategoryLabel", C, 1, 4},
        {23, "KeyWords", "KeyWordsLabel", E, 1, 0},
        {11, "PersRating", "PersRatingLabel", C, 1, 6},
        {25, "Location", "LocationLabel", C, 1, 2},
        {7, "Cost", "CostLabel", A, 2, 0},
        {8, "Value", "ValueLabel", A, 2, 0},
        {29, "LowMarket", "LowMarketLabel", A, 2, 0},
        {30, "HighMarket", "HighMarketLabel", A, 2, 0},
        {17, "CheckOut", nullptr, K, 3, 0},
        {18, "CheckDate", "CheckDateLabel", D, 3, 0},
        {19, "CheckName", "CheckPersonLabel", C, 3, 8},
        {26, "Condition", "ConditionLabel", C, 4, 9},
        {9, "Description", "DescriptionLabel", E, 4, 0},
        {31, "UserDef1", "UserDef1Label", E, 4, 0},
        {32, "UserDef2", "UserDef2Label", E, 4, 0},
        {33, "UserDef3", "UserDef3Label", E, 4, 0},
        {34, "UserDef4", "UserDef4Label", E, 4, 0},
        {35, "UserDef5", "UserDef5Label", E, 4, 0},
        {36, "UserDef6", "UserDef6Label", E, 4, 0},
    };

    auto *layout = new QVBoxLayout(this);
    createMenu(layout);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("MyTabbedNoteBook"));
    layout->addWidget(m_pages);
    const char *pageNames[5] = {"&Description", "&Catalog", "&Worth", "Li&brary", "&Other"};
    const char *echoNames[5] = {nullptr, "WarrantyItem", "WorthItem", "LibraryItem", "OtherItem"};
    std::array<QGridLayout *, 5> grids{};
    for (int p = 0; p < 5; ++p) {
        auto *page = new QWidget(m_pages);
        grids[std::size_t(p)] = new QGridLayout(page);
        m_pages->addTab(page, QString::fromLatin1(pageNames[p]));
    }
    for (const FieldLook &look : looks) {
        Field f{look.row, look.name, look.label, Kind(look.kind), look.page, look.list};
        QWidget *page = m_pages->widget(look.page);
        QGridLayout *grid = grids[std::size_t(look.page)];
        const int line = grid->rowCount();
        const QString name = QString::fromLatin1(look.name);
        switch (f.kind) {
        case Kind::Combo: {
            auto *combo = new QComboBox(page);
            keepTypedText(combo);
            combo->lineEdit()->setMaxLength(limitOf(look.row));
            m_listCombos[std::size_t(look.list - 1)] = combo;
            f.control = combo;
            break;
        }
        case Kind::Check: {
            auto *box = new QCheckBox(QStringLiteral("Checked Out"), page);
            connect(box, &QCheckBox::clicked, this, &TMyEdit::CheckOutClick);
            f.control = box;
            break;
        }
        default: {
            auto *edit = new QLineEdit(page);
            if (f.kind != Kind::Date)
                edit->setMaxLength(limitOf(look.row));
            if (f.kind == Kind::Amount)
                connect(edit, &QLineEdit::editingFinished, this, [this, row = look.row] { amountExit(row); });
            f.control = edit;
            break;
        }
        }
        f.control->setObjectName(name);
        if (look.label) {
            f.labelWidget = new QLabel(page);
            f.labelWidget->setObjectName(QString::fromLatin1(look.label));
            f.labelWidget->setText(QString::fromUtf8(CatalogFields::row(look.row).displayName));
            f.labelWidget->setBuddy(f.control);
            grid->addWidget(f.labelWidget, line, 0);
        }
        grid->addWidget(f.control, line, 1);
        f.control->installEventFilter(this);
        if (auto *combo = qobject_cast<QComboBox *>(f.control))
            combo->lineEdit()->installEventFilter(this);
        m_fields.push_back(f);
        if (look.row == 12 || look.row == 18) {
            auto *blank =
                new QPushButton(look.row == 12 ? QStringLiteral("Blan&k") : QStringLiteral("Blan&k Date"), page);
            blank->setObjectName(look.row == 12 ? QStringLiteral("BlankPurchDate") : QStringLiteral("BlankCheckOut"));
            blank->setAutoDefault(false);
            auto *edit = static_cast<QLineEdit *>(f.control);
            connect(blank, &QPushButton::clicked, edit, &QLineEdit::clear);
            grid->addWidget(blank, line, 2);
        }
    }
    for (int p = 1; p < 5; ++p) {
        auto *echo = new QLabel(m_pages->widget(p));
        echo->setObjectName(QString::fromLatin1(echoNames[p]));
        WindowStyle::markHeading(echo);
        grids[std::size_t(p)]->addWidget(echo, grids[std::size_t(p)]->rowCount(), 0, 1, 3);
        grids[std::size_t(p)]->setRowStretch(grids[std::size_t(p)]->rowCount(), 1);
        m_titleEchoes[std::size_t(p - 1)] = echo;
    }
    grids[0]->setRowStretch(grids[0]->rowCount(), 1);
    for (Field &f : m_fields) {
        if (f.kind == Kind::Edit || f.kind == Kind::Whole) {
            const int row = f.row;
            if (row == 1 || row == 27 || row == 14 || row == 15 || row == 16 || row == 28 || row == 10 || row == 23 ||
                row == 9 || row >= 31)
                connect(static_cast<QLineEdit *>(f.control), &QLineEdit::editingFinished, this, &TMyEdit::SetCaptions);
        }
    }

    auto *buttons = new QHBoxLayout;
    const std::pair<const char *, const char *> buttonLooks[] = {{"UpdateExitButton", "&Update && Exit"},
                                                                 {"UpdateButton", "Up&date"},
                                                                 {"ClearButton", "C&lear"},
                                                                 {"CancelButton", "E&xit"},
                                                                 {"PrevButton", "&Previous"},
                                                                 {"NextButton", "&Next"}};
    const std::array<void (TMyEdit::*)(), 6> actions = {
        &TMyEdit::UpdateExitButtonClick, &TMyEdit::UpdateButtonClick, &TMyEdit::DoClear,
        &TMyEdit::CancelButtonClick,     &TMyEdit::DoPreviousRecord,  &TMyEdit::DoNextRecord};
    for (std::size_t i = 0; i < actions.size(); ++i) {
        auto *button = new QPushButton(QString::fromLatin1(buttonLooks[i].second), this);
        button->setObjectName(QString::fromLatin1(buttonLooks[i].first));
        button->setAutoDefault(false);
        button->setDefault(false);
        connect(button, &QPushButton::clicked, this, actions[i]);
        button->installEventFilter(this);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
}

void TMyEdit::createMenu(QVBoxLayout *layout)
{
    auto *bar = new QMenuBar(this);
    layout->setMenuBar(bar);
    auto add = [this](QMenu *menu, const char *name, const char *caption, const char *keys, auto run) {
        QAction *action = menu->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        if (keys)
            action->setShortcut(QKeySequence(QString::fromLatin1(keys)));
        connect(action, &QAction::triggered, this, run);
        return action;
    };
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("MenuFile"));
    add(file, "MenuNew", "N&ew Record", "Ctrl+E", [this] { MenuNewClick(); });
    add(file, "MenuCopyRecord", "Cop&y Record", "Ctrl+Y", [this] { MenuCopyRecordClick(); });
    add(file, "MenuClear", "&Clear Record", "Ctrl+L", [this] { DoClear(); });
    add(file, "MenuUpdate", "Up&date Record", "Ctrl+R", [this] { UpdateButtonClick(); });
    add(file, "MenuUpdateExit", "&Update && Exit", "Ctrl+U", [this] { UpdateExitButtonClick(); });
    add(file, "MenuPrintRecord", "Prin&t Record", "Ctrl+T", [this] { MenuPrintRecordClick(); });
    file->addSeparator();
    add(file, "MenuPrevious", "&Previous Record", "Ctrl+P", [this] { DoPreviousRecord(); });
    add(file, "MenuNext", "&Next Record", "Ctrl+N", [this] { DoNextRecord(); });
    file->addSeparator();
    add(file, "MenuExit", "E&xit", nullptr, [this] { CancelButtonClick(); });
    QMenu *edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("MenuEdit"));
    add(edit, "MenuCut", "Cu&t", "Ctrl+X", [this] { editAction(0); });
    add(edit, "MenuCopy", "&Copy", "Ctrl+C", [this] { editAction(1); });
    add(edit, "MenuPaste", "&Paste", "Ctrl+V", [this] { editAction(2); });
    add(edit, "MenuDelete", "&Delete", "Ctrl+D", [this] { editAction(3); });
    QAction *help = bar->addAction(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("MenuHelp"));
    help->setShortcut(QKeySequence(QStringLiteral("Ctrl+H")));
    connect(help, &QAction::triggered, this, [this] { HelpService::showTopic(this, QStringLiteral("Input Window")); });
    addAction(help);
}

TMyEdit::Field &TMyEdit::field(int row)
{
    return *std::find_if(m_fields.begin(), m_fields.end(), [row](const Field &f) { return f.row == row; });
}

const TMyEdit::Field &TMyEdit::field(int row) const
{
    return *std::find_if(m_fields.begin(), m_fields.end(), [row](const Field &f) { return f.row == row; });
}

QCheckBox *TMyEdit::checkOut() const
{
    return static_cast<QCheckBox *>(field(17).control);
}

QString TMyEdit::text(int row) const
{
    const Field &f = field(row);
    if (auto *combo = qobject_cast<QComboBox *>(f.control))
        return combo->currentText();
    if (auto *edit = qobject_cast<QLineEdit *>(f.control))
        return edit->text();
    return checkOut()->isChecked() ? QStringLiteral("Yes") : QStringLiteral("No");
}

void TMyEdit::setText(int row, const QString &value)
{
    const Field &f = field(row);
    if (auto *combo = qobject_cast<QComboBox *>(f.control))
        combo->setEditText(value);
    else if (auto *edit = qobject_cast<QLineEdit *>(f.control))
        edit->setText(value);
}

// ---------------------------------------------------------------------------
// Showing, loading, clearing

void TMyEdit::setDateMasks()
{
    // Two digits, the separator, two digits, the separator, four digits.
    const QChar separator = DateFormat::current().separator();
    const QString mask = QStringLiteral("00") + separator + QStringLiteral("00") + separator + QStringLiteral("0000;_");
    for (int row : {12, 18}) {
        auto *edit = static_cast<QLineEdit *>(field(row).control);
        if (edit->inputMask() != mask)
            edit->setInputMask(mask);
    }
}

void TMyEdit::showEvent(QShowEvent *event)
{
    // The design dimensions, taken before the first scaling, are put back
    // before each scaling so that scaling never accumulates.
    m_dimensions.show(this, m_look.fonts(), m_look.scaleFactor());
    const Settings &settings = m_catalog.settings();
    for (Field &f : m_fields) {
        const QString name = settings.displayNames[std::size_t(f.row - 1)];
        if (f.labelWidget)
            f.labelWidget->setText(name);
        else if (auto *box = qobject_cast<QCheckBox *>(f.control))
            box->setText(name);
    }
    m_pages->setCurrentIndex(0);
    WindowStyle::applyColors(this, settings.editColors);
    setDateMasks();
    if (m_mode == 2 || m_mode == 3)
        LoadInData();
    else
        DoClear();
    SetCaptions();
    takeSnapshot();
    setWindowTitle(Caption);
    QDialog::showEvent(event);
    field(1).control->setFocus();
}

QByteArray TMyEdit::storedBytes() const
{
    const DbfTable &engine = m_catalog.table().engine();
    if (m_recno == 0 || m_recno > engine.physicalCount())
        return {};
    return QByteArray(engine.physicalRecord(m_recno).data(), engine.recordLength());
}

void TMyEdit::LoadInData()
{
    MyTable &table = m_catalog.table();
    m_recno = table.recNo();
    m_loaded = storedBytes();
    if (m_recno == 0) {
        DoClear();
        return;
    }
    for (const Field &f : m_fields) {
        switch (f.kind) {
        case Kind::Edit:
        case Kind::Combo:
            setText(f.row, table.text(f.row));
            break;
        case Kind::Whole: {
            const auto value = table.number(f.row);
            setText(f.row, value ? QString::number(qint64(*value)) : QString());
            break;
        }
        case Kind::Amount: {
            const auto value = table.number(f.row);
            setText(f.row, value ? NumberFormat::current().money(*value, 0) : QString());
            break;
        }
        case Kind::Date:
            setText(f.row, boxDate(table.date(f.row)));
            break;
        case Kind::Check:
            m_refreshGuard = true;
            checkOut()->setChecked(table.text(17) == QLatin1String("Yes"));
            m_refreshGuard = false;
            break;
        }
    }
    m_rememberedDate = text(18);
    m_rememberedPerson = text(19);
    SetCaptions();
}

void TMyEdit::DoClear()
{
    for (const Field &f : m_fields) {
        if (f.kind == Kind::Amount)
            setText(f.row, QStringLiteral("0"));
        else if (f.kind != Kind::Check)
            setText(f.row, QString());
    }
    m_refreshGuard = true;
    checkOut()->setChecked(false);
    m_refreshGuard = false;
    SetCaptions();
}

void TMyEdit::SetCaptions()
{
    const QString echo = RecordRules::titleEcho(m_catalog.settings().displayNames[0], text(1));
    for (QLabel *label : m_titleEchoes)
        label->setText(echo);
}

QStringList TMyEdit::currentValues() const
{
    QStringList values;
    for (const Field &f : m_fields) {
        if (f.kind == Kind::Check)
            continue;
        const int width = f.kind == Kind::Date ? 12 : limitOf(f.row);
        const QString value = text(f.row).left(width);
        values << (f.kind == Kind::Date ? value.trimmed() : value);
    }
    return values;
}

void TMyEdit::takeSnapshot()
{
    m_snapshot = currentValues();
    m_snapshotChecked = checkOut()->isChecked();
}

bool TMyEdit::ValuesChanged() const
{
    return currentValues() != m_snapshot || checkOut()->isChecked() != m_snapshotChecked;
}

void TMyEdit::amountExit(int row)
{
    bool valid = false;
    const auto amount = RecordRules::readAmount(text(row), NumberFormat::current(), &valid);
    if (valid && amount)
        setText(row, NumberFormat::current().money(*amount, 0));
}

void TMyEdit::CheckOutClick()
{
    if (m_refreshGuard)
        return;
    if (checkOut()->isChecked()) {
        setText(18, m_rememberedDate);
        setText(19, m_rememberedPerson);
    } else {
        m_rememberedDate = text(18).left(10);
        m_rememberedPerson = text(19).left(30);
        setText(18, QString());
        setText(19, QString());
    }
}

// ---------------------------------------------------------------------------
// Storing

bool TMyEdit::refuse(int row, const QString &message)
{
    MessageService::error(this, message);
    const Field &f = field(row);
    m_pages->setCurrentIndex(f.page);
    f.control->setFocus();
    return false;
}

bool TMyEdit::DoUpdate()
{
    const DateFormat &dates = DateFormat::current();
    bool valid = false;
    const QDate checkDate = RecordRules::readDate(text(18), dates, &valid);
    if (!valid)
        return refuse(18, QStringLiteral("Invalid check out date specified.  Please correct."));
    const QDate purchDate = RecordRules::readDate(text(12), dates, &valid);
    if (!valid)
        return refuse(12, QStringLiteral("Invalid purchase date specified.  Please correct."));
    const std::pair<int, const char *> amounts[] = {{7, "Invalid cost specified.  Please correct."},
                                                    {8, "Invalid value specified.  Please correct."},
                                                    {29, "Invalid low market value specified.  Please correct."},
                                                    {30, "Invalid high market value specified.  Please correct."}};
    std::array<double, 4> amountValues{};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto amount = RecordRules::readAmount(text(amounts[i].first), NumberFormat::current(), &valid);
        if (!valid)
            return refuse(amounts[i].first, QString::fromLatin1(amounts[i].second));
        amountValues[i] = amount.value_or(0);
    }
    // Whole numbers and characters the catalog cannot hold: refused before anything is written.
    const Settings &settings = m_catalog.settings();
    std::array<std::optional<double>, 2> wholes;
    for (std::size_t i = 0; i < 2; ++i) {
        const int row = i == 0 ? 3 : 24;
        const QString typed = text(row).trimmed();
        bool ok = true;
        const qlonglong number = typed.toLongLong(&ok);
        if (!typed.isEmpty() && !ok)
            return refuse(row, QStringLiteral("%1 must be a whole number.  Please correct.")
                                   .arg(settings.displayNames[std::size_t(row - 1)]));
        wholes[i] = typed.isEmpty() ? std::nullopt : std::optional<double>(double(number));
    }
    for (const Field &f : m_fields) {
        if (f.kind != Kind::Edit && f.kind != Kind::Combo)
            continue;
        const QString refusal =
            RecordRules::unstorableCharacter(settings.displayNames[std::size_t(f.row - 1)], text(f.row));
        if (!refusal.isEmpty())
            return refuse(f.row, refusal);
    }

    // Another copy of the program, or another program, may have stored this
    // book since it was shown: its change is not overwritten unseen.
    if (m_mode == 2 && m_recno != 0 && storedBytes() != m_loaded) {
        MessageService::error(this, QStringLiteral("This book was changed by another program after it was shown here.  "
                                                   "Your changes were not stored; they are still in the window.  To "
                                                   "see the other program's changes, leave the window without "
                                                   "updating and open the book again."));
        return false;
    }

    emit recordStoring();
    MyTable &table = m_catalog.table();
    QString indexNotSaved;
    try {
        if (m_mode == 1 || m_mode == 3)
            table.append();
        else
            table.edit(m_recno);
        for (const Field &f : m_fields) {
            switch (f.kind) {
            case Kind::Edit:
            case Kind::Combo:
                table.setText(f.row, f.row >= 31 ? text(f.row).trimmed() : text(f.row));
                break;
            default:
                break;
            }
        }
        table.setNumber(3, wholes[0]);
        table.setNumber(24, wholes[1]);
        for (std::size_t i = 0; i < 4; ++i)
            table.setNumber(amounts[i].first, amountValues[i]);
        table.setDate(18, checkDate);
        table.setDate(12, purchDate);
        table.setText(17, checkOut()->isChecked() ? QStringLiteral("Yes") : QStringLiteral("No"));
        table.post();
    } catch (const DbfIndexNotSavedError &e) {
        // The book is stored; only its index is behind.
        indexNotSaved = e.message();
    } catch (const Error &e) {
        table.cancel();
        MessageService::error(this, e.message());
        return false;
    }
    m_recno = table.lastPosted();
    m_loaded = storedBytes();
    m_mode = 2;
    if (!indexNotSaved.isEmpty())
        MessageService::inform(this, QStringLiteral("Notice"), indexNotSaved);
    return true;
}

void TMyEdit::UpdateButtonClick()
{
    if (m_catalog.browseMode())
        return;
    if (DoUpdate()) {
        takeSnapshot();
        setWindowTitle(Caption);
    }
}

void TMyEdit::UpdateExitButtonClick()
{
    if (!m_catalog.browseMode() && DoUpdate())
        accept();
}

void TMyEdit::CancelButtonClick()
{
    if (!m_catalog.browseMode() && ValuesChanged()) {
        QApplication::beep();
        if (MessageService::show(this, QStringLiteral("Warning"),
                                 QStringLiteral("Data has changed.  Do you want to exit without updating?"),
                                 MessageService::Icon::Question, MessageService::Yes | MessageService::No,
                                 MessageService::No) != MessageService::Yes)
            return;
    }
    reject();
}

void TMyEdit::done(int result)
{
    QDialog::done(result);
    emit closed();
}

// ---------------------------------------------------------------------------
// Moving, new and copied records

TMyEdit::Answer TMyEdit::askYesNoCancel(const QString &question)
{
    QApplication::beep();
    const int answer =
        MessageService::show(this, QStringLiteral("Warning"), question, MessageService::Icon::Question,
                             MessageService::Yes | MessageService::No | MessageService::Cancel, MessageService::No);
    return answer == MessageService::Yes ? Answer::Yes : answer == MessageService::No ? Answer::No : Answer::Cancel;
}

bool TMyEdit::moveTo(bool next)
{
    const QString where = next ? QStringLiteral("next") : QStringLiteral("previous");
    if (!m_catalog.browseMode()) {
        QString question;
        if (m_mode == 1 || m_mode == 3)
            question = QStringLiteral("This record has not been updated yet.  Update this record before moving to the "
                                      "%1 record?")
                           .arg(where);
        else if (ValuesChanged())
            question =
                QStringLiteral("Data has changed.  Update this record before moving to the %1 record?").arg(where);
        if (!question.isEmpty()) {
            const Answer answer = askYesNoCancel(question);
            if (answer == Answer::Cancel || (answer == Answer::Yes && !DoUpdate()))
                return false;
        }
    }
    MyTable &table = m_catalog.table();
    if (m_recno != 0)
        table.goToRecord(m_recno);
    if (next)
        table.next();
    else
        table.prior();
    LoadInData();
    takeSnapshot();
    setWindowTitle(Caption);
    m_mode = 2;
    return true;
}

void TMyEdit::DoPreviousRecord()
{
    moveTo(false);
}

void TMyEdit::DoNextRecord()
{
    moveTo(true);
}

void TMyEdit::MenuNewClick()
{
    if (ValuesChanged()) {
        const Answer answer =
            askYesNoCancel(QStringLiteral("Data has changed.  Update this record before creating new one?"));
        if (answer == Answer::Cancel || (answer == Answer::Yes && !DoUpdate()))
            return;
    }
    DoClear();
    m_mode = 1;
    takeSnapshot();
    setWindowTitle(QStringLiteral("Edit (New Record)"));
}

void TMyEdit::MenuCopyRecordClick()
{
    if (ValuesChanged()) {
        const Answer answer = askYesNoCancel(
            QStringLiteral("Data has changed.  Update this record before creating new one with the current data?"));
        if (answer == Answer::Cancel || (answer == Answer::Yes && !DoUpdate()))
            return;
    }
    m_mode = 1;
    takeSnapshot();
    setWindowTitle(QStringLiteral("Edit (New Copied Record)"));
}

// ---------------------------------------------------------------------------
// Keys, the Edit menu, printing

bool TMyEdit::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (auto *widget = qobject_cast<QWidget *>(watched))
                focusNextInSequence(widget);
            return true;
        }
        break;
    }
    case QEvent::ShortcutOverride:
        // The line edits' own bindings (Ctrl+U empties the line, Ctrl+E goes to
        // its end, ...) give way to the window's menu shortcuts.
        if (isMenuShortcut(static_cast<QKeyEvent *>(event))) {
            event->ignore();
            return true;
        }
        break;
    case QEvent::FocusIn:
        // A date edit is entered at its first position with its text selected,
        // however the focus came (Enter, Tab, a click), so typing starts over.
        if (watched == field(12).control || watched == field(18).control) {
            auto *edit = static_cast<QLineEdit *>(watched);
            QTimer::singleShot(0, edit, [edit] {
                edit->end(false);
                edit->home(true);
            });
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

bool TMyEdit::isMenuShortcut(const QKeyEvent *key) const
{
    const QKeySequence typed(key->keyCombination());
    const QList<QAction *> actions = findChildren<QAction *>();
    return std::any_of(actions.begin(), actions.end(), [&typed](const QAction *action) {
        return !action->shortcut().isEmpty() && action->shortcut() == typed;
    });
}

void TMyEdit::keyPressEvent(QKeyEvent *event)
{
    // Esc asks like Exit: none of the window's buttons is a cancel button.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        CancelButtonClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TMyEdit::focusNextInSequence(QWidget *from)
{
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        QWidget *control = m_fields[i].control;
        if (from != control && from->parentWidget() != control)
            continue;
        const Field &next = m_fields[(i + 1) % m_fields.size()];
        if (next.page != m_fields[i].page)
            m_pages->setCurrentIndex(next.page);
        next.control->setFocus(Qt::TabFocusReason); // as Tab would: the text selected
        return;
    }
}

void TMyEdit::editAction(int action)
{
    QLineEdit *edit = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    if (!edit)
        return;
    // The two date edits are left alone.
    if (edit == field(12).control || edit == field(18).control)
        return;
    switch (action) {
    case 0:
        edit->cut();
        break;
    case 1:
        edit->copy();
        break;
    case 2:
        edit->paste();
        break;
    default:
        edit->del();
        break;
    }
}

void TMyEdit::MenuPrintRecordClick()
{
    QPrinter printer(QPrinter::HighResolution);
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        // No printer installed: the record goes to a PDF file.
        DialogService::FileRequest request;
        request.caption = QStringLiteral("Print Record to PDF File");
        request.filter = QStringLiteral("PDF Files (*.pdf)");
        request.defaultSuffix = QStringLiteral("pdf");
        request.mustExist = false;
        const QString path = DialogService::saveFile(this, request);
        if (path.isEmpty())
            return;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
    } else {
        QPrintDialog dialog(&printer, this);
        dialog.setObjectName(QStringLiteral("MyPrintDialog"));
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    printer.setDocName(QStringLiteral("Shelfmark Books 97"));
    QPainter painter;
    if (!painter.begin(&printer)) {
        QApplication::restoreOverrideCursor();
        MessageService::error(this, QStringLiteral("The record could not be printed."));
        return;
    }
    painter.setFont(QFont(QStringLiteral("Arial"), 10));
    const QRect page = painter.viewport();
    const int spacing = int(std::lround(painter.fontMetrics().height() * 1.1));
    const int left = page.width() / 17;
    const int top = page.height() / 22;
    const Settings &settings = m_catalog.settings();
    const int copies = std::max(1, printer.copyCount());
    for (int copy = 0; copy < copies; ++copy) {
        if (copy > 0)
            printer.newPage();
        for (int row = 1; row <= CatalogFields::Count; ++row) {
            const Field &f = field(row);
            QString value = text(row);
            if (f.kind == Kind::Date)
                value = static_cast<QLineEdit *>(f.control)->displayText();
            painter.drawText(left, top + (row - 1) * spacing + painter.fontMetrics().ascent(),
                             RecordRules::printedLine(settings.displayNames[std::size_t(row - 1)], value));
        }
    }
    painter.end();
    QApplication::restoreOverrideCursor();
}
