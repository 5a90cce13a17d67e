#include "BookTable.h"
#include "TestSupport.h"

#include "framework/Error.h"
#include "framework/dbase/DbfTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

// Stores and an import on a real volume of 1 MiB that is full but for a few
// pages. The child mounts the volume in a mount namespace of its own, so that
// it goes when the child ends; without the right to mount, the test is skipped.
namespace {

using TestSupport::readAll;
using TestSupport::writeAll;

constexpr int PageBytes = 4096;

// Fills the volume with one file, then gives `pages` pages back.
void fill(const QString &filler, int pages)
{
    const int fd = ::open(QFile::encodeName(filler).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const QByteArray chunk(64 * 1024, 'f');
    off_t size = 0;
    for (ssize_t n = 1; n > 0; size += n)
        n = ::write(fd, chunk.constData(), std::size_t(chunk.size()));
    if (::ftruncate(fd, std::max<off_t>(0, size - off_t(pages) * PageBytes)) != 0)
        TestSupport::tellParent("problem: the filler cannot be cut");
    ::close(fd);
}

// What is wrong with the files after a store or an import; empty when nothing.
QString problemAfter(const QString &outcome, const QString &path, const QByteArray &tableBefore,
                     const QByteArray &indexBefore)
{
    const QString mdx = QFileInfo(path).dir().filePath(QStringLiteral("BOOKS.MDX"));
    if (!QDir(QFileInfo(path).path()).entryList({QStringLiteral("*.new~")}, QDir::Files).isEmpty())
        return QStringLiteral("a temporary file stays");
    const QByteArray table = readAll(path);
    const auto *p = reinterpret_cast<const std::uint8_t *>(table.constData());
    const qint64 end = readLittleEndian16(p + 8) + qint64(readLittleEndian32(p + 4)) * readLittleEndian16(p + 10);
    if (table.size() != end + 1)
        return QStringLiteral("%1 bytes lie beyond the count").arg(table.size() - end);
    if (outcome == QLatin1String("undone") && (table != tableBefore || readAll(mdx) != indexBefore))
        return QStringLiteral("a failed change changed the files");
    if (outcome == QLatin1String("index behind") && readAll(mdx) != indexBefore)
        return QStringLiteral("the index changed although it could not be saved");
    if (outcome == QLatin1String("done")) {
        DbfTable reader;
        reader.setIndexName(TestSupport::ShelfTag);
        reader.open(path, DbfTable::Access::ReadOnly);
        if (!reader.indexRepairReason().isEmpty())
            return QStringLiteral("the index does not agree: %1").arg(reader.indexRepairReason());
    }
    return {};
}

void report(const QString &outcome, const QString &problem)
{
    TestSupport::tellParent(
        (problem.isEmpty() ? outcome : QStringLiteral("problem: %1: %2").arg(outcome, problem)).toUtf8());
}

void storeUntilRefused(const QString &path)
{
    DbfTable table;
    table.setIndexName(TestSupport::ShelfTag);
    table.open(path);
    for (int i = 0; i < 1000; ++i) {
        const QByteArray tableBefore = readAll(path);
        const QByteArray indexBefore = readAll(table.mdxPath());
        QString outcome = QStringLiteral("done");
        try {
            TestSupport::appendBook(table, {QStringLiteral("Stored %1").arg(i), QStringLiteral("Zweig"), i, {}, {}});
        } catch (const DbfIndexNotSavedError &) {
            outcome = QStringLiteral("index behind");
        } catch (const DbfError &) {
            outcome = QStringLiteral("undone");
            table.cancel();
        }
        report(outcome, problemAfter(outcome, path, tableBefore, indexBefore));
        if (outcome == QLatin1String("undone"))
            return;
    }
}

void importTooMuch(const QString &path)
{
    const QByteArray tableBefore = readAll(path);
    DbfTable table;
    table.setIndexName(TestSupport::ShelfTag);
    table.open(path);
    const QByteArray indexBefore = readAll(table.mdxPath());
    QString outcome = QStringLiteral("import done");
    table.beginBulkUpdate();
    try {
        for (int i = 0; i < 20000; ++i)
            TestSupport::appendBook(table, {QStringLiteral("Imported"), QStringLiteral("Author %1").arg(i), i, {}, {}});
        table.endBulkUpdate();
    } catch (const DbfError &) {
        outcome = QStringLiteral("undone");
        table.cancel();
        table.endBulkUpdate();
    }
    report(outcome == QLatin1String("undone") ? QStringLiteral("import undone") : outcome,
           problemAfter(outcome, path, tableBefore, indexBefore));
}

int fullVolumeChild(const QStringList &arguments)
{
    const QString folder = arguments.value(0);
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("shelfmark-test", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=1m") != 0) {
        TestSupport::tellParent("no volume");
        return 0;
    }
    try {
        const QString path = TestSupport::makeShelf(folder, 200);
        const QString mdx = folder + QStringLiteral("/BOOKS.MDX");
        const QByteArray table = readAll(path);
        const QByteArray index = readAll(mdx);
        const QString filler = folder + QStringLiteral("/FILLER");
        for (int pages = 0; pages <= 4; ++pages) {
            QFile::remove(filler);
            writeAll(path, table);
            writeAll(mdx, index);
            fill(filler, pages);
            storeUntilRefused(path);
        }
        QFile::remove(filler);
        writeAll(path, table);
        writeAll(mdx, index);
        fill(filler, 25);
        importTooMuch(path);
    } catch (const std::exception &e) {
        report(QStringLiteral("unexpected failure"), QString::fromLocal8Bit(e.what()));
    }
    return 0;
}
SHELFMARK_TEST_CHILD("full-volume", fullVolumeChild)

} // namespace

class TestFullVolume : public QObject
{
    Q_OBJECT

private slots:
    void storesAndImportsOnAFullVolume()
    {
        QTemporaryDir dir;
        const auto child = TestSupport::startChild(QStringLiteral("full-volume"), {dir.path()});
        QVERIFY(child->waitForFinished(60000));
        const QStringList lines = QString::fromUtf8(child->readAllStandardOutput()).split(QLatin1Char('\n'));
        if (lines.contains(QLatin1String("no volume")))
            QSKIP("this user cannot mount a size-limited volume");
        const QStringList problems = lines.filter(QStringLiteral("problem"));
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
        // Every kind of outcome came up, and each store ended refused.
        QCOMPARE(lines.count(QLatin1String("undone")), 5);
        QVERIFY(lines.contains(QLatin1String("index behind")));
        QVERIFY(lines.contains(QLatin1String("done")));
        QVERIFY(lines.contains(QLatin1String("import undone")));
    }
};

SHELFMARK_TEST(TestFullVolume)
#include "TestFullVolume.moc"
