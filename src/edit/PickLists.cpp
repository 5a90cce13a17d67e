#include "PickLists.h"

#include "framework/Error.h"
#include "framework/FileNames.h"
#include "framework/WholeFile.h"
#include "framework/dbase/CodePage.h"
#include "framework/ui/MessageService.h"

#include <QApplication>
#include <QCollator>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringListModel>
#include <algorithm>
#include <functional>
#include <optional>

namespace {

const std::array<PickListInfo, PickLists::Count> lists = {{
    {1, "001", "AUTHOR.LST", 2, "Author", "MyComboAuthor", "MenuMaintainAuthor", "&Author", "Author", 90, 90},
    {2, "002", "LOCATION.LST", 25, "Location", "MyComboLocation", "MenuMaintainLocation", "&Location", "Location", 30,
     30},
    {3, "003", "BOUGHT.LST", 6, "WherePurch", "MyComboBought", "MenuMaintainPurchase", "&Where Purchased",
     "Purchased From", 30, 30},
    {4, "004", "CATEGORY.LST", 5, "Category", "MyComboCategory", "MenuMaintainCategory", "&Category", "Category", 20,
     20},
    {5, "005", "PUBLISH.LST", 4, "Publisher", "MyComboPublisher", "MenuMaintainPublisher", "&Publisher", "Publisher",
     90, 60},
    {6, "006", "RATING.LST", 11, "PersRating", "MyComboRating", "MenuMaintainRating", "&Rating", "Rating", 15, 15},
    {7, "007", "BOOKTYPE.LST", 13, "BookType", "MyComboBookType", "MenuMaintainBookType", "&Book Type", "Book Type", 30,
     15},
    {8, "008", "CHECKOUT.LST", 19, "CheckName", "MyComboCheckOut", "MenuMaintainCheckOut", "Chec&k Out Person",
     "Check Out Person", 30, 30},
    {9, "009", "CONDITION.LST", 26, "Condition", "MyComboCondition", "MenuMaintainCondition", "C&ondition", "Condition",
     20, 20},
}};

// Book Type, Category and Rating: a database with none of their files has no
// lists of its own.
constexpr int ownListMarkers[] = {7, 4, 6};

bool onlyBlanks(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c == u' '; });
}

// The first `count` characters, a character outside the Basic Multilingual
// Plane counting as one.
QStringView firstCharacters(QStringView line, int count)
{
    qsizetype end = 0;
    for (int n = 0; n < count && end < line.size(); ++n) {
        const bool pair = line[end].isHighSurrogate() && end + 1 < line.size() && line[end + 1].isLowSurrogate();
        end += pair ? 2 : 1;
    }
    return line.first(end);
}

// Changes a combo box's items without touching the text typed into it: Qt
// makes the first item current when items go into an empty combo box, which
// would replace what the user typed.
template <class Change> void changeItems(QComboBox *combo, Change change)
{
    const QString typed = combo->currentText();
    change();
    if (combo->isEditable())
        combo->setEditText(typed);
}

QStringList itemsOf(const QComboBox *combo)
{
    if (const auto *model = qobject_cast<const QStringListModel *>(combo->model()))
        return model->stringList();
    QStringList items;
    items.reserve(combo->count());
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

void fill(QComboBox *combo, const QStringList &entries);

// Both combo boxes of a list, which usually share one model.
void fillBoth(QComboBox *editor, QComboBox *main, const QStringList &entries)
{
    fill(editor, entries);
    if (main->model() != editor->model())
        fill(main, entries);
}

void fill(QComboBox *combo, const QStringList &entries)
{
    changeItems(combo, [&] {
        if (auto *model = qobject_cast<QStringListModel *>(combo->model())) {
            model->setStringList(entries);
        } else {
            combo->clear();
            combo->addItems(entries);
        }
    });
}

bool ask(QWidget *parent, const QString &question)
{
    QApplication::beep();
    return MessageService::show(parent, QStringLiteral("Warning"), question, MessageService::Icon::Question,
                                MessageService::Yes | MessageService::No, MessageService::No) == MessageService::Yes;
}

} // namespace

const QString PickLists::SaveDefaultsQuestion =
    QStringLiteral("Your current Data Lists will become your default list values.  These values will be used when new "
                   "databases are created.  Previous default values will be lost.  Do you want to proceed?");
const QString PickLists::LoadDefaultsQuestion =
    QStringLiteral("Your current Data Lists will be overridden with your default list values. Previous  values will be "
                   "lost.  Do you want to proceed?");

const std::array<PickListInfo, PickLists::Count> &PickLists::table()
{
    return lists;
}

const PickListInfo &PickLists::info(int number)
{
    return lists[number - 1];
}

QStringList PickLists::parse(const QByteArray &bytes)
{
    const QString text = CodePage::decodeTextFile(bytes);
    QStringList entries;
    entries.reserve(bytes.count('\n') + 1);
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = pos;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        // Lists joined together carry the byte-order mark of each at the start of a line.
        qsizetype start = pos;
        while (start < end && text[start] == QChar::ByteOrderMark)
            ++start;
        const QStringView line = firstCharacters(QStringView(text).sliced(start, end - start), MaxLineLength);
        if (!onlyBlanks(line))
            entries.append(line.toString());
        const bool crLf = end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n';
        pos = end + (crLf ? 2 : 1);
    }
    return entries;
}

QByteArray PickLists::format(const QStringList &entries)
{
    QString text;
    for (const QString &entry : entries)
        text += entry + QLatin1String("\r\n");
    return text.toUtf8();
}

QStringList PickLists::readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError(QStringLiteral("The list file \"%1\" could not be read: %2")
                            .arg(QDir::toNativeSeparators(path), file.errorString()));
    return parse(bytes);
}

void PickLists::writeFile(const QString &path, const QStringList &entries)
{
    WholeFile::replace(path, format(entries));
}

QString PickLists::trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.sliced(begin, end - begin);
}

QStringList PickLists::sorted(QStringList entries)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(entries.begin(), entries.end(),
                     [&collator](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    return entries;
}

void PickLists::installDefaults(const QString &programDirectory)
{
    const QDir directory(programDirectory);
    for (const PickListInfo &list : lists) {
        const QString target = directory.filePath(QString::fromLatin1(list.defaultFile));
        if (QFileInfo::exists(target))
            continue;
        QFile shipped(QStringLiteral(":/lists/") + QString::fromLatin1(list.defaultFile));
        if (shipped.open(QIODevice::ReadOnly))
            WholeFile::replace(target, shipped.readAll());
    }
}

bool PickLists::confirmSaveDefaults(QWidget *parent)
{
    return ask(parent, SaveDefaultsQuestion);
}

bool PickLists::confirmLoadDefaults(QWidget *parent)
{
    return ask(parent, LoadDefaultsQuestion);
}

PickLists::PickLists(const Combos &editor, const Combos &main, const QString &programDirectory)
    : m_editor(editor), m_main(main), m_programDirectory(programDirectory)
{
    // Each list is one model that both of its combo boxes show: a list is
    // loaded, grown and read once, however long it is.
    for (std::size_t i = 0; i < m_models.size(); ++i) {
        m_models[i] = std::make_unique<QStringListModel>();
        for (QComboBox *combo : {m_editor[i], m_main[i]}) {
            if (combo)
                combo->setModel(m_models[i].get());
        }
    }
}

PickLists::~PickLists() = default;

QAbstractItemModel *PickLists::model(int number) const
{
    return m_models[std::size_t(number - 1)].get();
}

void PickLists::setBase(const QString &base)
{
    m_base = base;
}

QString PickLists::listFile(int number) const
{
    return FileNames::companion(m_base + QLatin1String(".DBF"), QString::fromLatin1(info(number).extension));
}

QString PickLists::defaultListFile(int number) const
{
    return QDir(m_programDirectory).filePath(QString::fromLatin1(info(number).defaultFile));
}

QStringList PickLists::entries(int number) const
{
    return itemsOf(editorCombo(number));
}

void PickLists::setEntries(int number, const QStringList &entries)
{
    fillBoth(editorCombo(number), mainCombo(number), entries);
}

void PickLists::LoadList(const QString &file, QComboBox *editor, QComboBox *main)
{
    fillBoth(editor, main, readFile(file));
}

void PickLists::SaveList(const QString &file, const QComboBox *editor)
{
    writeFile(file, itemsOf(editor));
}

void PickLists::LoadAllList()
{
    const bool ownLists = std::any_of(std::begin(ownListMarkers), std::end(ownListMarkers),
                                      [this](int number) { return QFileInfo::exists(listFile(number)); });
    for (int number = 1; number <= Count; ++number) {
        QString file = listFile(number);
        // Without lists of its own a database takes the defaults, but a list
        // file it does have is kept: it would be overwritten at the next save.
        if (!ownLists && !QFileInfo::exists(file))
            file = defaultListFile(number);
        LoadList(file, editorCombo(number), mainCombo(number));
    }
}

namespace {

// Writes every list it can; a list that cannot be written is reported after
// the others are written.
void saveEach(const std::function<void(int number)> &save)
{
    std::optional<FileError> failure;
    for (int number = 1; number <= PickLists::Count; ++number) {
        try {
            save(number);
        } catch (const FileError &e) {
            if (!failure)
                failure = e;
        }
    }
    if (failure)
        throw *failure;
}

} // namespace

void PickLists::SaveAllLists() const
{
    saveEach([this](int number) { SaveList(listFile(number), editorCombo(number)); });
}

void PickLists::LoadDefaultList()
{
    for (int number = 1; number <= Count; ++number)
        LoadList(defaultListFile(number), editorCombo(number), mainCombo(number));
}

void PickLists::SaveDefaultLists() const
{
    saveEach([this](int number) { SaveList(defaultListFile(number), editorCombo(number)); });
}

QString PickLists::AddToList(QComboBox *editor)
{
    const QString value = trimBlanks(editor->currentText());
    AddToListTwwDB(editor, value);
    return value;
}

void PickLists::AddToListTwwDB(QComboBox *main, const QString &value)
{
    if (value.isEmpty() || itemsOf(main).contains(value))
        return;
    changeItems(main, [&] { main->addItem(value); });
}

void PickLists::addTypedValues()
{
    std::array<QString, Count> values;
    for (int number = 1; number <= Count; ++number)
        values[number - 1] = AddToList(editorCombo(number));
    for (int number = 1; number <= Count; ++number)
        AddToListTwwDB(mainCombo(number), values[number - 1]);
}
