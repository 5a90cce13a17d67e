#include "BookGenerator.h"

#include "framework/dbase/DbfTable.h"

#include <array>

namespace {

const std::array surnames = {
    "Smith",    "Johnson",    "Williams",   "Brown",   "Jones",     "Miller",    "Davis",    "García",     "Rodríguez",
    "Wilson",   "Martínez",   "Anderson",   "Taylor",  "Thomas",    "Hernández", "Moore",    "Martin",     "Jackson",
    "Thompson", "White",      "López",      "Lee",     "González",  "Harris",    "Clark",    "Lewis",      "Robinson",
    "Walker",   "Pérez",      "Hall",       "Young",   "Allen",     "Sánchez",   "Wright",   "King",       "Scott",
    "Green",    "Baker",      "Adams",      "Nelson",  "Hill",      "Ramírez",   "Campbell", "Mitchell",   "Roberts",
    "Carter",   "Phillips",   "Evans",      "Turner",  "Torres",    "Parker",    "Collins",  "Edwards",    "Stewart",
    "Flores",   "Morris",     "Nguyen",     "Murphy",  "Rivera",    "Cook",      "Rogers",   "Morgan",     "Peterson",
    "Cooper",   "Reed",       "Bailey",     "Bell",    "Gómez",     "Kelly",     "Howard",   "Ward",       "Cox",
    "Díaz",     "Richardson", "Wood",       "Watson",  "Brooks",    "Bennett",   "Gray",     "James",      "Reyes",
    "Müller",   "Schröder",   "Østergaard", "Éluard",  "Ó Faoláin", "Žižek",     "Brontë",   "Dürrenmatt", "Böll",
    "Le Guin",  "Tolkien",    "Austen",     "Dickens", "Hugo",      "Mann",      "Hesse",    "Pessoa",     "Tóibín"};

const std::array firstNames = {"James",    "Mary",     "John",   "Patricia", "Robert",  "Jennifer", "Michael",
                               "Linda",    "William",  "Élise",  "David",    "Barbara", "Richard",  "Susan",
                               "Joseph",   "Jessica",  "Thomas", "Sarah",    "Charles", "Karen",    "Ursula",
                               "José",     "François", "Søren",  "Gabriel",  "Simone",  "Virginia", "Hermann",
                               "Fernando", "Colm",     "Frank",  "Margaret"};

const std::array titleWords = {
    "Shadow",  "River",   "Garden",  "Winter",  "Summer", "Light",   "House",  "Stone",    "Silence", "Memory",
    "Island",  "City",    "Night",   "Morning", "Fire",   "Water",   "Road",   "Mountain", "Sea",     "Forest",
    "Letters", "Secrets", "History", "Journey", "Empire", "Kingdom", "Dream",  "Song",     "Story",   "War",
    "Peace",   "Time",    "Glass",   "Iron",    "Golden", "Silver",  "Hidden", "Lost",     "Last",    "First",
    "Bridge",  "Tower",   "Window",  "Mirror",  "Voyage", "Harvest", "Storm",  "Castle",   "Library", "Map"};

const std::array publishers = {"Penguin",   "Random House", "HarperCollins", "Simon & Schuster",
                               "Macmillan", "Hachette",     "Faber & Faber", "Gallimard",
                               "Suhrkamp",  "Vintage",      "Knopf",         "Scribner"};
const std::array categories = {"Fiction", "History", "Science", "Poetry", "Biography", "Travel", "Art", "Reference"};
const std::array places = {"Used bookstore", "Amazon", "Book fair", "Gift", "Estate sale", "Library sale"};
const std::array ratings = {"Excellent", "Very Good", "Good", "Fair"};
const std::array types = {"Hardcover", "Paperback", "Trade Paper", "Leather", "Book Club"};
const std::array locations = {"Study", "Living Room", "Bedroom", "Attic", "Office", "Storage"};
const std::array conditions = {"Fine", "Near Fine", "Very Good", "Good", "Fair", "Poor"};

QString latin(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

BookGenerator::Book BookGenerator::next()
{
    Book b;
    const QString a = latin(titleWords[std::size_t(pick(int(titleWords.size())))]);
    const QString c = latin(titleWords[std::size_t(pick(int(titleWords.size())))]);
    switch (pick(4)) {
    case 0:
        b.title = QStringLiteral("The %1 of %2").arg(a, c);
        break;
    case 1:
        b.title = QStringLiteral("%1 and %2").arg(a, c);
        break;
    case 2:
        b.title = QStringLiteral("A %1, a %2").arg(a, c);
        break;
    default:
        b.title = a + QLatin1Char(' ') + c;
        break;
    }
    b.author = latin(surnames[std::size_t(pick(int(surnames.size())))]) + QStringLiteral(", ") +
               latin(firstNames[std::size_t(pick(int(firstNames.size())))]);
    if (pick(3) == 0)
        b.author += QStringLiteral(" %1.").arg(QChar(u'A' + pick(26)));
    b.publisher = latin(publishers[std::size_t(pick(int(publishers.size())))]);
    b.category = latin(categories[std::size_t(pick(int(categories.size())))]);
    b.wherePurchased = latin(places[std::size_t(pick(int(places.size())))]);
    b.isbn = QStringLiteral("978-%1-%2-%3").arg(pick(10)).arg(pick(100000), 5, 10, QLatin1Char('0')).arg(pick(1000));
    b.rating = latin(ratings[std::size_t(pick(int(ratings.size())))]);
    b.bookType = latin(types[std::size_t(pick(int(types.size())))]);
    b.location = latin(locations[std::size_t(pick(int(locations.size())))]);
    b.condition = latin(conditions[std::size_t(pick(int(conditions.size())))]);
    b.keyWords = a.toLower() + QLatin1Char(' ') + c.toLower();
    b.checkedOut = pick(20) == 0 ? QStringLiteral("Yes") : QStringLiteral("No");
    if (pick(20) != 0)
        b.year = 1850 + pick(175);
    b.cost = pick(10000) / 100.0;
    if (pick(4) != 0)
        b.value = pick(20000) / 100.0;
    if (pick(10) != 0)
        b.pages = 48 + pick(900);
    if (pick(4) != 0)
        b.bought = QDate(1970, 1, 1).addDays(pick(20000));
    return b;
}

void BookGenerator::store(DbfTable &table, const Book &b)
{
    // Field positions of the catalog table.
    table.setText(0, b.title);
    table.setText(1, b.author);
    table.setNumber(2, b.year);
    table.setText(3, b.publisher);
    table.setText(4, b.category);
    table.setText(5, b.wherePurchased);
    table.setNumber(6, b.cost);
    table.setNumber(7, b.value);
    table.setText(9, b.isbn);
    table.setText(10, b.rating);
    table.setDate(11, b.bought);
    table.setText(12, b.bookType);
    table.setText(16, b.checkedOut);
    table.setText(22, b.keyWords);
    table.setNumber(23, b.pages);
    table.setText(24, b.location);
    table.setText(25, b.condition);
}

void BookGenerator::appendTo(DbfTable &table, int count, bool withDeleted)
{
    table.beginBulkUpdate();
    for (int i = 0; i < count; ++i) {
        table.append();
        store(table, next());
        table.post();
    }
    table.endBulkUpdate();
    if (!withDeleted)
        return;
    table.beginBulkUpdate();
    for (int row = table.recordCount() - 1; row >= 0; row -= 97) {
        table.setRow(row);
        table.deleteRecord();
    }
    table.endBulkUpdate();
}
