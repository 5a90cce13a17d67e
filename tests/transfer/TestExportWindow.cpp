#include "MainWindowFixture.h"
#include "TestSupport.h"

#include "BookGenerator.h"
#include "app/MyTable.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/MessageService.h"
#include "storage/CatalogTable.h"
#include "transfer/TMyExport.h"

#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The main window on Austen, Mann and Musil (or on `generated` books),
// searching for the authors that start with M, and its export window.
struct Session
{
    explicit Session(int generated = 0, bool searching = true)
    {
        QString catalog = f.path(u"BOOKS.DBF"_s);
        if (generated == 0) {
            f.makeCatalog(u"BOOKS.DBF"_s, {u"Austen"_s, u"Mann"_s, u"Musil"_s});
        } else {
            CatalogTable::create(catalog);
            DbfTable table;
            table.open(catalog);
            BookGenerator().appendTo(table, generated, false);
        }
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(catalog) + "\r\n");
        main = &f.start();
        if (searching) {
            main->catalog().setSearchTest([](const DbfRecord &r) { return r.text(1).startsWith(u'M'); });
            main->catalog().EnableEndSearch();
            main->catalog().table().refresh();
            main->DisplayCount();
        }
    }

    TMyExport &open()
    {
        window = std::make_unique<TMyExport>(main->catalog(), main->look(), main);
        window->show();
        return *window;
    }
    template <typename T = QPushButton> T *child(const QString &name) const { return window->findChild<T *>(name); }
    void click(const QString &name) const { child<QAbstractButton>(name)->click(); }
    QString message() const
    {
        return MessageService::shown().isEmpty() ? QString() : MessageService::shown().last().text;
    }

    MainWindowFixture f;
    TMain *main;
    std::unique_ptr<TMyExport> window;
};

// A press and release followed by the double-click event.
void doubleClick(QTableWidget *grid, int row, int column)
{
    grid->scrollToItem(grid->item(row, column));
    const QPoint at = grid->visualItemRect(grid->item(row, column)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class TestExportWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::installMessageFilter(); }

    void showsAndRemembersTheChoices()
    {
        Session s;
        Settings &settings = s.main->catalog().settings();
        settings.exportFileType = 2;
        settings.exportOrder[0] = 2;
        settings.exportOrder[1] = 1;
        settings.exportFields[2] = false;
        settings.displayNames[1] = u"Writer"_s;
        s.open();
        auto *grid = s.child<QTableWidget>(u"ExportGrid"_s);
        QCOMPARE(grid->item(0, 0)->text(), u"Writer"_s);
        QCOMPARE(grid->item(2, 0)->text() + grid->item(2, 1)->text(), u"Year PubNo"_s);
        QVERIFY(s.child<QRadioButton>(u"ExportSearch"_s)->isChecked());
        QVERIFY(s.child<QRadioButton>(u"DBaseFile"_s)->isChecked());
        QVERIFY(s.child<QCheckBox>(u"FirstRow"_s)->isHidden());

        MessageService::queueAnswer(MessageService::No);
        s.click(u"DefaultsButton"_s);
        QCOMPARE(MessageService::shown().last().caption, u"Re-Order"_s);
        QCOMPARE(grid->item(0, 0)->text(), u"Writer"_s);
        grid->setCurrentCell(1, 0);
        s.click(u"UpButton"_s); // Title to the top
        s.click(u"UpButton"_s); // not above the first row
        grid->setCurrentCell(35, 1);
        s.click(u"DownButton"_s); // not below the last
        doubleClick(grid, 2, 1);
        doubleClick(grid, 3, 0); // the name column does not toggle
        s.click(u"AsciiFile"_s);
        QVERIFY(s.child<QCheckBox>(u"FirstRow"_s)->isVisible());
        s.click(u"FirstRow"_s);
        QVERIFY(!settings.exportFirstRow);
        s.window->close();
        QCOMPARE(settings.exportOrder[0], 1);
        QCOMPARE(settings.exportOrder[1], 2);
        QCOMPARE(settings.exportOrder[35], 36);
        QVERIFY(settings.exportFields[2] && settings.exportFields[3]);
        QCOMPARE(settings.exportFileType, 1);

        settings.exportFields.fill(false);
        s.open();
        MessageService::queueAnswer(MessageService::Yes);
        s.click(u"DefaultsButton"_s);
        s.window->close();
        for (int i = 0; i < CatalogFields::Count; ++i)
            QVERIFY(settings.exportOrder[std::size_t(i)] == i + 1 && settings.exportFields[std::size_t(i)]);
    }

    void exportsAndLeavesTheSearchOn_data()
    {
        QTest::addColumn<bool>("entire");
        QTest::addColumn<bool>("text");
        QTest::addColumn<QStringList>("authors");
        QTest::newRow("entire database as text") << true << true << QStringList{"Austen", "Mann", "Musil"};
        QTest::newRow("search result as a table") << false << false << QStringList{"Mann", "Musil"};
    }

    void exportsAndLeavesTheSearchOn()
    {
        QFETCH(bool, entire);
        QFETCH(bool, text);
        QFETCH(QStringList, authors);
        Session s;
        s.main->catalog().settings().exportFileType = text ? 1 : 2;
        s.main->catalog().settings().exportFields.fill(false);
        s.main->catalog().settings().exportFields[1] = true;
        s.open();
        if (entire)
            s.click(u"ExportEntire"_s);
        const QString path = s.f.path(text ? u"out.txt"_s : u"out.dbf"_s);
        DialogService::queueResult(path);
        s.click(u"StartExportButton"_s);

        QCOMPARE(MessageService::shown().last().caption + u' ' + s.message(), u"Ok Export Complete."_s);
        QVERIFY(!s.window->isVisible());
        QVERIFY(s.main->catalog().searchOn());
        QCOMPARE(s.f.countText(), u"2"_s);
        QStringList written;
        if (text) {
            written = QString::fromUtf8(TestSupport::readAll(path)).split(u"\r\n"_s, Qt::SkipEmptyParts);
            QCOMPARE(written.takeFirst(), u"\"Author\""_s);
            written.replaceInStrings(u"\""_s, QString());
        } else {
            DbfTable out;
            out.open(path, DbfTable::Access::ReadOnly);
            out.forEachRow([&](int, const DbfRecord &r) { written << r.text(0); });
        }
        QCOMPARE(written, authors);
    }

    void noFieldIsRefused()
    {
        Session s(0, false);
        s.main->catalog().settings().exportFields.fill(false);
        s.open();
        // Without a search its choice is disabled, and looks it: its caption
        // is drawn fainter than that of the enabled one.
        auto *search = s.child<QRadioButton>(u"ExportSearch"_s);
        auto *entire = s.child<QRadioButton>(u"ExportEntire"_s);
        QVERIFY(!search->isEnabled());
        const QColor page = entire->palette().color(QPalette::Window);
        const auto contrast = [&page](const QColor &text) {
            return std::abs(text.lightness() - page.lightness()) + std::abs(text.hue() - page.hue()) / 4;
        };
        QVERIFY(contrast(search->palette().color(QPalette::Disabled, QPalette::WindowText)) <
                contrast(entire->palette().color(QPalette::Active, QPalette::WindowText)));
        s.click(u"StartExportButton"_s);
        QCOMPARE(MessageService::shown().last().caption + u' ' + s.message(),
                 u"Error No fields selected for export."_s);
        QVERIFY(DialogService::requests().isEmpty());
        QVERIFY(s.window->isVisible());
    }

    void cancelKeepsTheFileAndTheSearch()
    {
        Session s(2000);
        s.open();
        s.click(u"ExportEntire"_s);
        const QString target = s.f.path(u"old.txt"_s);
        TestSupport::writeAll(target, "a good file");
        DialogService::queueResult(target);
        QTimer::singleShot(0, s.child(u"CancelButton"_s), &QPushButton::click);
        s.click(u"StartExportButton"_s);

        QCOMPARE(TestSupport::readAll(target), QByteArray("a good file"));
        QCOMPARE(QFileInfo(target).dir().entryList({u"old*"_s}, QDir::Files), QStringList{u"old.txt"_s});
        QVERIFY(s.window->isVisible());
        QVERIFY(MessageService::shown().isEmpty());
        QCOMPARE(s.child<QProgressBar>(u"MyGauge"_s)->value(), 0);
        QVERIFY(!s.child(u"CancelButton"_s)->isEnabled());
        QVERIFY(s.main->catalog().searchOn());
    }
};

SHELFMARK_TEST(TestExportWindow)
#include "TestExportWindow.moc"
