#include "EarlierDatabase.h"

#include "CatalogTable.h"
#include "app/DateFormat.h"
#include "framework/Error.h"
#include "framework/FileNames.h"
#include "framework/WholeFile.h"
#include "framework/dbase/DbfTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <array>

namespace {

// The fields after the first, in table order.
const QStringList SecondFields = {
    QStringLiteral("Title"),      QStringLiteral("Author"),     QStringLiteral("YearPub"),
    QStringLiteral("Publisher"),  QStringLiteral("Category"),   QStringLiteral("WherePurch"),
    QStringLiteral("Cost"),       QStringLiteral("Value"),      QStringLiteral("Descriptio"),
    QStringLiteral("ISBN"),       QStringLiteral("Rating"),     QStringLiteral("PurchDate"),
    QStringLiteral("BookType"),   QStringLiteral("CatalogNum"), QStringLiteral("Sub1"),
    QStringLiteral("Sub2"),       QStringLiteral("CheckOut"),   QStringLiteral("CheckDate"),
    QStringLiteral("CheckPerso"), QStringLiteral("Volume"),     QStringLiteral("Issue"),
    QStringLiteral("Edition"),    QStringLiteral("KeyWords"),   QStringLiteral("Pages"),
    QStringLiteral("Location")};
const QStringList FirstFields = {QStringLiteral("Title"),      QStringLiteral("Author"),   QStringLiteral("YearPub"),
                                 QStringLiteral("Publisher"),  QStringLiteral("Category"), QStringLiteral("WherePurch"),
                                 QStringLiteral("Cost"),       QStringLiteral("Value"),    QStringLiteral("Descriptio"),
                                 QStringLiteral("ISBN"),       QStringLiteral("Rating"),   QStringLiteral("PurchDay"),
                                 QStringLiteral("PurchMonth"), QStringLiteral("PurchYear")};
// The 1.x fields that fill the fields of their names: those before PurchDay.
constexpr int FirstTextFields = 11;

const QStringList &fieldsOf(EarlierDatabase::Generation generation)
{
    return generation == EarlierDatabase::Generation::Second ? SecondFields : FirstFields;
}

QString fileNameOf(EarlierDatabase::Generation generation)
{
    return generation == EarlierDatabase::Generation::Second ? QStringLiteral("B2LOG.DBF") : QStringLiteral("BLOG.DBF");
}

bool laidOut(const QString &path, const QStringList &names)
{
    if (!QFileInfo::exists(FileNames::companion(path, QStringLiteral("MDX"))))
        CatalogTable::clearProductionIndexFlag(path);
    try {
        DbfTable table;
        table.open(path, DbfTable::Access::ReadOnly);
        const std::vector<FieldDef> &fields = table.fields();
        if (fields.size() != std::size_t(names.size()) + 1)
            return false;
        for (qsizetype i = 0; i < names.size(); ++i) {
            if (fields[std::size_t(i) + 1].name.left(10).compare(names[i].left(10), Qt::CaseInsensitive) != 0)
                return false;
        }
        return true;
    } catch (const DbfError &) {
        return false;
    }
}

// A value that the field cannot hold leaves it empty.
template <typename Store> void storeOrClear(DbfTable &table, int field, Store &&store)
{
    try {
        store();
    } catch (const DbfError &) {
        table.clearField(field);
    }
}

// The note beside an old table while its books are being converted: the
// catalog's path, the books it held before and the books added, one a line.
QString noteOf(const QString &path)
{
    return FileNames::companion(path, QStringLiteral("CNV"));
}

// A conversion that a killed start left with its note: when the catalog holds
// the books, the old table goes now; when it does not, the note goes and the
// old table is offered again. The note stays while the catalog cannot be read.
void finishInterrupted(const QString &path)
{
    const QString note = noteOf(path);
    WholeFile::removeLeftovers(note);
    QFile file(note);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QList<QByteArray> lines = file.readAll().split('\n');
    file.close();
    const QString catalog = QFile::decodeName(lines.value(0));
    const qint64 converted = lines.value(1).toLongLong() + lines.value(2).toLongLong();
    if (QFileInfo::exists(path) && QFileInfo::exists(catalog)) {
        try {
            DbfTable table;
            table.open(catalog, DbfTable::Access::ReadOnly);
            if (table.physicalCount() >= converted && !QFile::remove(path))
                return;
        } catch (const Error &) {
            return;
        }
    }
    QFile::remove(note);
}

} // namespace

std::vector<EarlierDatabase> EarlierDatabase::find(const QString &programDirectory)
{
    std::vector<EarlierDatabase> found;
    for (const Generation generation : {Generation::Second, Generation::First}) {
        const QString path =
            FileNames::companion(QDir(programDirectory).filePath(fileNameOf(generation)), QStringLiteral("DBF"));
        finishInterrupted(path);
        if (QFileInfo(path).isFile() && !QFileInfo::exists(noteOf(path)) && laidOut(path, fieldsOf(generation)))
            found.push_back(EarlierDatabase(generation, path));
    }
    return found;
}

QString EarlierDatabase::question() const
{
    return QStringLiteral("A database from a previous version (%1) has been detected.  Would you like to convert it "
                          "now?  NOTE: After conversion the old file will be deleted.  You may wish to make a copy of "
                          "\"%2\" first.")
        .arg(m_generation == Generation::Second ? QStringLiteral("2.X") : QStringLiteral("1.X"),
             fileNameOf(m_generation));
}

QDate EarlierDatabase::purchaseDate(const QString &day, const QString &month, const QString &year)
{
    static const std::array<const char *, 12> names = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    QString monthText = month.left(4);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (monthText == QLatin1String(names[i]))
            monthText = QString::number(i + 1);
    }
    const QString text = (monthText + QLatin1Char('/') + day.left(4) + QLatin1Char('/') + year.left(4)).left(14);
    return DateFormat(1, false).parse(text);
}

std::optional<int> EarlierDatabase::pages(const QString &text)
{
    // Blanks around the number are no part of it.
    QString digits = text;
    digits.remove(QLatin1Char(','));
    bool ok = false;
    const int value = digits.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

int EarlierDatabase::convertInto(DbfTable &catalog) const
{
    const QString name = QFileInfo(m_path).fileName();
    const auto failure = [&name](const Error &e) {
        return DbfError(QStringLiteral("The books of \"%1\" could not be converted: %2  The file is kept as it was.")
                            .arg(name, e.message()));
    };
    const QStringList &names = fieldsOf(m_generation);

    // Every record is read before any is written, so that an old file that
    // cannot be read changes nothing.
    std::vector<QStringList> records;
    try {
        DbfTable old;
        old.open(m_path, DbfTable::Access::ReadOnly);
        old.forEachRow([&](int, const DbfRecord &record) {
            QStringList values;
            for (int field = 1; field <= int(names.size()); ++field)
                values << record.text(field);
            records.push_back(values);
        });
    } catch (const Error &e) {
        throw failure(e);
    }

    std::vector<int> targets;
    for (const QString &old : names) {
        const QString target =
            old.compare(QLatin1String("CheckPerso"), Qt::CaseInsensitive) == 0 ? QStringLiteral("CheckName") : old;
        targets.push_back(catalog.fieldIndex(target));
    }
    const int purchased = catalog.fieldIndex(QStringLiteral("PurchDate"));
    const int pagesField = catalog.fieldIndex(QStringLiteral("Pages"));
    const int textFields = m_generation == Generation::Second ? int(names.size()) : FirstTextFields;

    // Until the old file is gone, a note beside it tells a start after a crash
    // whether the books reached the catalog (see finishInterrupted).
    const QString note = noteOf(m_path);
    try {
        WholeFile::replace(note, QFile::encodeName(catalog.path()) + '\n' +
                                     QByteArray::number(catalog.physicalCount()) + '\n' +
                                     QByteArray::number(qsizetype(records.size())) + '\n');
    } catch (const Error &e) {
        throw failure(e);
    }
    bool indexBehind = false;
    try {
        catalog.beginBulkUpdate();
        try {
            for (const QStringList &values : records) {
                catalog.append();
                for (int i = 0; i < textFields; ++i) {
                    const int field = targets[std::size_t(i)];
                    if (field == pagesField) {
                        const std::optional<int> count = pages(values[i]);
                        storeOrClear(catalog, field, [&] { catalog.setNumber(field, count); });
                    } else if (field >= 0) {
                        storeOrClear(catalog, field, [&] { catalog.setText(field, values[i]); });
                    }
                }
                if (m_generation == Generation::First) {
                    const QDate date =
                        purchaseDate(values[FirstTextFields], values[FirstTextFields + 1], values[FirstTextFields + 2]);
                    storeOrClear(catalog, purchased, [&] { catalog.setDate(purchased, date); });
                }
                catalog.post();
            }
        } catch (...) {
            // A failed write undid the whole bulk update.
            catalog.cancel();
            catalog.endBulkUpdate();
            throw;
        }
        catalog.endBulkUpdate();
    } catch (const DbfIndexNotSavedError &) {
        // The books are stored; the index follows at the next open.
        indexBehind = true;
    } catch (const Error &e) {
        QFile::remove(note);
        throw failure(e);
    }

    // An old file that cannot be deleted keeps its note: its books are not offered again.
    if (!QFile::remove(m_path))
        throw FileError(
            QStringLiteral("The books of \"%1\" were converted, but the file could not be deleted.  Delete it "
                           "yourself; its books are not offered again.")
                .arg(name));
    QFile::remove(note);
    if (indexBehind)
        throw DbfError(QStringLiteral("The books of \"%1\" were converted, but the index of the database could not "
                                      "be saved.  It is built again when the database is next opened.")
                           .arg(name));
    return int(records.size());
}
