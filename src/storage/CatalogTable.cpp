#include "CatalogTable.h"

#include "CatalogFields.h"
#include "framework/Error.h"
#include "framework/FileNames.h"
#include "framework/dbase/DbfTable.h"

#include <QFile>
#include <QFileInfo>

namespace CatalogTable {

QString sortString(const SortLevels &levels)
{
    const auto used = std::count_if(levels.begin(), levels.end(), [](int level) { return level > 0; });
    if (used == 0)
        return {};
    const int width = 80 / int(used);
    QString expression;
    for (int level : levels) {
        if (level < 1 || level > CatalogFields::Count)
            continue;
        const CatalogField &field = CatalogFields::row(level);
        const QString name = QString::fromLatin1(field.name);
        switch (field.kind) {
        case FieldKind::Text:
            expression += QStringLiteral("Upper(Left(%1,%2))+").arg(name).arg(width);
            break;
        case FieldKind::Whole:
            expression += QStringLiteral("STR(%1,12,0)+").arg(name);
            break;
        case FieldKind::Decimal:
            expression += QStringLiteral("STR(%1,12,2)+").arg(name);
            break;
        case FieldKind::Date:
            expression += QStringLiteral("DTOS(%1)+").arg(name);
            break;
        }
    }
    expression.chop(1);
    return expression.left(255);
}

std::vector<FieldDef> fieldDefinitions()
{
    std::vector<FieldDef> fields;
    fields.reserve(CatalogFields::Count);
    for (const CatalogField &field : CatalogFields::rows) {
        const QString name = QString::fromLatin1(field.name);
        switch (field.kind) {
        case FieldKind::Text:
            fields.push_back(FieldDef::text(name, field.width));
            break;
        case FieldKind::Whole:
            fields.push_back(FieldDef::number(name, 11, 0));
            break;
        case FieldKind::Decimal:
            fields.push_back(FieldDef::number(name, 20, 4));
            break;
        case FieldKind::Date:
            fields.push_back(FieldDef::date(name));
            break;
        }
    }
    return fields;
}

bool create(const QString &path)
{
    DbfTable::create(path, fieldDefinitions());
    return QFileInfo::exists(path);
}

void checkFormat(const QString &path)
{
    if (!QFileInfo::exists(FileNames::companion(path, QStringLiteral("MDX"))))
        clearProductionIndexFlag(path);
    DbfTable table;
    table.open(path, DbfTable::Access::ReadOnly);
    const std::vector<FieldDef> &fields = table.fields();
    bool matches = fields.size() == std::size_t(CatalogFields::Count);
    for (std::size_t i = 0; matches && i < fields.size(); ++i)
        matches = fields[i].name.compare(QLatin1String(CatalogFields::rows[i].name), Qt::CaseInsensitive) == 0;
    if (!matches)
        throw DbfError(QStringLiteral("This DBase file was not created with Shelfmark Books 97.  It cannot be opened.  "
                                      "You may, however, import data from this file using the import function."));
}

void clearProductionIndexFlag(const QString &path)
{
    // Only a file that reads as a dBASE table is touched.
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return;
    const QByteArray head = file.read(65536);
    try {
        DbfHeader::parse(reinterpret_cast<const std::uint8_t *>(head.constData()), std::size_t(head.size()),
                         std::uint64_t(file.size()));
    } catch (const DbfError &) {
        return;
    }
    if (head.at(DbfHeader::FlagsOffset) != 0 && file.seek(DbfHeader::FlagsOffset))
        file.write("\0", 1);
}

} // namespace CatalogTable
