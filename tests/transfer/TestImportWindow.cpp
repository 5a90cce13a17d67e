#include "MainWindowFixture.h"
#include "TestSupport.h"

#include "app/MyTable.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/MessageService.h"
#include "transfer/TImportFormat.h"
#include "transfer/TMyImport.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace {

template <typename T> T *child(const QWidget &window, const QString &name)
{
    T *found = window.findChild<T *>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

void click(const QWidget &window, const QString &button)
{
    child<QPushButton>(window, button)->click();
}

QString lastMessage()
{
    const auto &shown = MessageService::shown();
    return shown.isEmpty() ? QString() : shown.last().caption + ": " + shown.last().text;
}

QString writeFile(MainWindowFixture &f, const QString &name, const QByteArray &bytes)
{
    const QString path = f.path(name);
    TestSupport::writeAll(path, bytes);
    return path;
}

// Runs the format window on a file of the kind chosen; the import window that
// comes up is handed to `drive`.
void runFormatWindow(TImportFormat &format, bool dbase, const QString &path,
                     const std::function<void(TMyImport &)> &drive)
{
    format.show();
    child<QRadioButton>(format, dbase ? "DBFFormat" : "AsciiDelimited")->setChecked(true);
    DialogService::queueResult(path);
    QTimer::singleShot(0, [&] { drive(*qobject_cast<TMyImport *>(QApplication::activeModalWidget())); });
    click(format, "FileButton");
}

} // namespace

class TestImportWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::installMessageFilter(); }

    void textImportThroughBothWindows()
    {
        MainWindowFixture f;
        TMain &main = f.start();
        TImportFormat format(main.catalog(), main.look(), &main);
        QString caption;
        runFormatWindow(format, false, TestSupport::dataPath("text/windows-cp1252-crlf.txt"), [&](TMyImport &import) {
            caption = import.windowTitle();
            click(import, "StartButton");
        });
        QCOMPARE(caption, "Ascii Delimited Text Import");
        QCOMPARE(lastMessage(), "Ok: Import Complete.");
        QVERIFY(!format.isVisible());
        QCOMPARE(format.result(), int(QDialog::Accepted));
        QCOMPARE(f.countText(), "30");
        QVERIFY(f.authorsShown().contains(QString::fromUtf8("García Márquez, Gabriel")));
        QCOMPARE(main.catalog().settings().importFileType, 1);
    }

    void firstLineRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("too many") << QByteArray("\"a\",").repeated(47).chopped(1)
                                  << "The selected file has too many fields.  There are at least 10 more fields than "
                                     "are required by Shelfmark.";
        QTest::newRow("too long") << "\"" + QByteArray(256, 'x') + "\""
                                  << "The selected file has a field that is greater than 255 characters.";
        QTest::newRow("unclosed") << QByteArray("\"Title\",\"Author\r\n")
                                  << "The selected file had an unexpected end of a line most likely due to an "
                                     "unmatched quote.";
    }
    void firstLineRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        MainWindowFixture f;
        TMain &main = f.start();
        TImportFormat format(main.catalog(), main.look(), &main);
        format.show();
        DialogService::queueResult(writeFile(f, "BAD.TXT", bytes));
        click(format, "FileButton");
        QCOMPARE(lastMessage(), "Error: The file selected does not appear to be an ASCII delimited text file.  An "
                                "ASCII delimited file requires a unique format of each field being surrounded by "
                                "double quotes and separated by a comma.  " +
                                    reason);
        QVERIFY(format.isVisible());
        QCOMPARE(main.catalog().table().recordCount(), 0);
    }

    void dbaseImportAndRememberedFormat()
    {
        MainWindowFixture f;
        TMain &main = f.start();
        {
            TImportFormat format(main.catalog(), main.look(), &main);
            format.show();
            child<QRadioButton>(format, "DBFFormat")->setChecked(true);
            DialogService::queueResult(f.path("books.txt"));
            click(format, "FileButton");
            QCOMPARE(lastMessage(), "Error: Invalid file type selected.");
            DialogService::queueResult(writeFile(f, "NOTATABLE.DBF", "not a table"));
            click(format, "FileButton");
            QCOMPARE(MessageService::shown().size(), 2);
            QCOMPARE(MessageService::shown().last().caption, "Error");
            click(format, "CancelButton");
        }
        QCOMPARE(main.catalog().settings().importFileType, 2);
        TImportFormat again(main.catalog(), main.look(), &main);
        again.show();
        QVERIFY(child<QRadioButton>(again, "DBFFormat")->isChecked());
        again.close();

        bool skipShown = true;
        TImportFormat format(main.catalog(), main.look(), &main);
        runFormatWindow(format, true, TestSupport::dataPath("dbase/libreoffice-export.dbf"), [&](TMyImport &import) {
            QCOMPARE(import.windowTitle(), "DBase File Import");
            skipShown = child<QCheckBox>(import, "SkipFirst")->isVisible();
            click(import, "StartButton");
        });
        QVERIFY(!skipShown);
        QCOMPARE(f.countText(), "12");
    }

    void gridMatchesFields()
    {
        MainWindowFixture f;
        TMain &main = f.start();
        const QString path = writeFile(
            f, "SMALL.TXT", "\"Author\",\"Title\",\"\"\r\n\"Hugo, Victor\",\"Les Mis\xe9rables\",\"zzz\"\r\n");
        TMyImport import(main.catalog(), main.look(), TMyImport::Format::Ascii, path);
        QCOMPARE(import.GetFirstLine(), DelimitedReader::Header::Error::None);
        import.show();
        auto *grid = child<QTableWidget>(import, "ImportGrid");
        auto column = [grid](int c) {
            QStringList texts;
            for (int r = 0; r < 4; ++r)
                texts << grid->item(r, c)->text();
            return texts;
        };
        QCOMPARE(grid->rowCount(), 36);
        QCOMPARE(column(0), QStringList({"Title", "Author", "Year Pub", "Publisher"}));
        QCOMPARE(column(1), QStringList({"Author", "Title", "<BLANK FIELD>", "<EMPTY>"}));
        QCOMPARE(column(2), QStringList({"Yes", "Yes", "Yes", ""}));

        grid->setCurrentCell(0, 1);
        click(import, "UpButton"); // not above the first row
        grid->setCurrentCell(1, 1);
        click(import, "UpButton");
        QCOMPARE(grid->currentRow(), 0);
        grid->setCurrentCell(35, 1);
        click(import, "DownButton"); // not below the last row
        QCOMPARE(column(1), QStringList({"Title", "Author", "<BLANK FIELD>", "<EMPTY>"}));
        emit grid->cellDoubleClicked(2, 2);
        emit grid->cellDoubleClicked(3, 2); // an empty cell stays empty
        QCOMPARE(column(2), QStringList({"Yes", "Yes", "No", ""}));
        emit grid->cellDoubleClicked(2, 2);
        emit grid->cellDoubleClicked(2, 2);

        click(import, "StartButton");
        // "zzz" would not read as a year: only the switched-off field could hold it.
        QCOMPARE(lastMessage(), "Ok: Import Complete.");
        MyTable &table = main.catalog().table();
        table.first();
        QCOMPARE(table.text(1), QString::fromUtf8("Les Misérables"));
        QCOMPARE(table.text(2), "Hugo, Victor");
    }

    void skipFirstRecordAndRepairs()
    {
        MainWindowFixture f;
        TMain &main = f.start();
        const QString path = writeFile(f, "YEARS.TXT",
                                       "\"Title\",\"Author\",\"Year\"\r\n\"A\",\"x\",\"19x\"\r\n"
                                       "\"B\",\"y\",\"1999\",\"extra\"\r\n\"C\",\"z\",\"20z\"\r\n");
        TMyImport import(main.catalog(), main.look(), TMyImport::Format::Ascii, path);
        import.GetFirstLine();
        import.show();
        auto *skip = child<QCheckBox>(import, "SkipFirst");
        QVERIFY(skip->isChecked());
        skip->click();
        QCOMPARE(main.catalog().settings().importSkipFirst, false);
        click(import, "StartButton");
        QCOMPARE(lastMessage(), "Ok: Import Complete.\n"
                                "1 line had more values than the first line; the extra values were dropped.\n"
                                "3 whole numbers could not be read and were left empty.");
        QCOMPARE(f.countText(), "4"); // the first line is a book too
        QVERIFY(!import.isVisible());
    }

    void cancelKeepsWhatWasPosted()
    {
        MainWindowFixture f;
        TMain &main = f.start();
        QByteArray bytes = "\"Title\"\r\n";
        for (int i = 0; i < 1000; ++i)
            bytes += "\"Book " + QByteArray::number(i) + "\"\r\n";
        TMyImport import(main.catalog(), main.look(), TMyImport::Format::Ascii, writeFile(f, "MANY.TXT", bytes));
        import.GetFirstLine();
        import.show();
        QTimer::singleShot(0, [&] { click(import, "CancelButton"); });
        click(import, "StartButton");
        QCOMPARE(lastMessage(), "Notice: The import was cancelled; 256 books were added.");
        QCOMPARE(f.countText(), "256");
        QCOMPARE(main.catalog().table().engine().state(), DbfTable::State::Browse);
        DbfTable onDisk;
        onDisk.open(main.catalog().table().path(), DbfTable::Access::ReadOnly);
        QCOMPARE(onDisk.recordCount(), 256);
        QCOMPARE(onDisk.recordAt(255).text(0), "Book 255");
    }
};

SHELFMARK_TEST(TestImportWindow)
#include "TestImportWindow.moc"
