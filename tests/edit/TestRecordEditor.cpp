#include "MainWindowFixture.h"
#include "TestSupport.h"

#include "app/DateFormat.h"
#include "app/MyTable.h"
#include "app/NumberFormat.h"
#include "edit/RecordRules.h"
#include "edit/TMyEdit.h"
#include "framework/dbase/DbfTable.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/MessageService.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

// The editor shown as the main window shows it, without a nested event loop.
TMyEdit &showEditor(TMain &main, int mode)
{
    TMyEdit &editor = *main.recordEditor();
    editor.setMode(mode);
    editor.show();
    return editor;
}

template <typename T> T *control(TMyEdit &editor, const char *name)
{
    return editor.findChild<T *>(QString::fromLatin1(name));
}

void type(TMyEdit &editor, const char *name, const QString &text)
{
    if (auto *combo = control<QComboBox>(editor, name))
        combo->setEditText(text);
    else
        control<QLineEdit>(editor, name)->setText(text);
}

QString catalogPath(MainWindowFixture &f, const QStringList &authors)
{
    const QString books = f.makeCatalog(QStringLiteral("BOOKS.DBF"), authors);
    f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(books) + "\r\n");
    return books;
}

// Another copy of the program: stores a new title into book 1 of the table.
int retitleChild(const QStringList &arguments)
{
    DbfTable table;
    table.open(arguments.value(0));
    table.edit(1);
    table.setText(0, arguments.value(1));
    table.post();
    return 0;
}
SHELFMARK_TEST_CHILD("retitle", retitleChild)

} // namespace

class TestRecordEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::installMessageFilter(); }
    void cleanup() { NumberFormat::setCurrent(NumberFormat()); }

    void amountRules_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << 1 << "1234.5" << true << 1234.5;
        QTest::newRow("U.S. commas dropped") << 1 << " 1,234.50 " << true << 1234.5;
        QTest::newRow("exponent") << 1 << "1.5e3" << true << 1500.0;
        QTest::newRow("negative") << 1 << "-3" << true << -3.0;
        QTest::newRow("letters") << 1 << "12x" << false << 0.0;
        QTest::newRow("system") << 2 << "1.234,5" << true << 1234.5;
        QTest::newRow("system point is thousands") << 2 << "1.5" << true << 15.0;
    }

    void amountRules()
    {
        QFETCH(int, style);
        QFETCH(QString, typed);
        QFETCH(bool, valid);
        QFETCH(double, value);
        NumberFormat::Symbols system;
        system.decimal = QLatin1Char(',');
        system.thousands = QLatin1Char('.');
        const auto chosen = NumberFormat::Style(style);
        const NumberFormat format(chosen, chosen, system);
        bool ok = false;
        const auto amount = RecordRules::readAmount(typed, format, &ok);
        QCOMPARE(ok, valid);
        if (valid)
            QCOMPARE(amount.value_or(-1), value);
        QVERIFY(!RecordRules::readAmount(QStringLiteral("   "), format, &ok).has_value());
        QVERIFY(ok);
    }

    void blankDatesInEveryFormat()
    {
        for (int number = 1; number <= DateFormat::Count; ++number) {
            const DateFormat format(number, false);
            const QString sep = format.separator();
            bool valid = false;
            QVERIFY(!RecordRules::readDate(sep + sep, format, &valid).isValid()); // what an empty masked edit reads
            QVERIFY(valid);
            QVERIFY(!RecordRules::readDate(QStringLiteral("  ") + sep + QStringLiteral("  ") + sep, format, &valid)
                         .isValid());
            QVERIFY(valid);
            RecordRules::readDate(QStringLiteral("13") + sep + QStringLiteral("13") + sep + QStringLiteral("2001"),
                                  format, &valid);
            QVERIFY2(!valid, qPrintable(format.pattern()));
        }
        QCOMPARE(RecordRules::titleEcho(QStringLiteral("A very long display name"), QStringLiteral("Dune")),
                 QStringLiteral("A very long display na") + QStringLiteral("Dune"));
    }

    void addModeStoresZerosAndNoDates()
    {
        MainWindowFixture f;
        catalogPath(f, {QStringLiteral("Austen")});
        TMain &main = f.start();
        TMyEdit &editor = showEditor(main, 1);
        QCOMPARE(editor.windowTitle(), QStringLiteral("Edit"));
        QCOMPARE(control<QLineEdit>(editor, "Title")->text(), QString());
        QCOMPARE(control<QLineEdit>(editor, "Cost")->text(), QStringLiteral("0"));
        QCOMPARE(control<QLineEdit>(editor, "HighMarket")->text(), QStringLiteral("0"));
        QCOMPARE(control<QLabel>(editor, "TitleLabel")->text(), QStringLiteral("Title"));
        type(editor, "Title", QStringLiteral("Emma"));
        type(editor, "Author", QStringLiteral("Austen, Jane "));
        QVERIFY(editor.DoUpdate());
        editor.UpdateButtonClick(); // a second Update overwrites the same new record
        editor.close();
        MyTable &table = main.catalog().table();
        QCOMPARE(table.engine().physicalCount(), 2u);
        QVERIFY(table.goToRecord(2));
        QCOMPARE(table.text(1), QStringLiteral("Emma"));
        QCOMPARE(table.text(2), QStringLiteral("Austen, Jane")); // a table keeps no trailing blank
        QCOMPARE(table.number(7), std::optional<double>(0));
        QCOMPARE(table.number(30), std::optional<double>(0));
        QVERIFY(table.date(12).isNull());
        QVERIFY(table.date(18).isNull());
        QCOMPARE(table.text(17), QStringLiteral("No"));
        main.DisplayCount();
        QCOMPARE(f.countText(), QStringLiteral("2"));
    }

    void amountsAreReformattedOnLeaving()
    {
        MainWindowFixture f;
        catalogPath(f, {QStringLiteral("Austen")});
        TMain &main = f.start();
        TMyEdit &editor = showEditor(main, 1);
        auto *cost = control<QLineEdit>(editor, "Cost");
        cost->setText(QStringLiteral("1234.5"));
        emit cost->editingFinished();
        QCOMPARE(cost->text(), QStringLiteral("1,234.50"));

        NumberFormat::Symbols system;
        system.decimal = QLatin1Char(',');
        system.thousands = QLatin1Char('.');
        system.currencyDigits = 2;
        NumberFormat::setCurrent(NumberFormat(NumberFormat::Style::US, NumberFormat::Style::System, system));
        cost->setText(QStringLiteral("1.234,5"));
        emit cost->editingFinished();
        QCOMPARE(cost->text(), QStringLiteral("1.234,50"));
        QVERIFY(editor.DoUpdate());
        editor.close();
        QVERIFY(main.catalog().table().goToRecord(2));
        QCOMPARE(main.catalog().table().number(7), std::optional<double>(1234.5));
    }

    void checksComeInOrderWithTheirPages()
    {
        MainWindowFixture f;
        catalogPath(f, {QStringLiteral("Austen")});
        TMain &main = f.start();
        TMyEdit &editor = showEditor(main, 1);
        type(editor, "CheckDate", QStringLiteral("13/45/2001"));
        type(editor, "PurchDate", QStringLiteral("99/99/2001"));
        type(editor, "Cost", QStringLiteral("abc"));
        QVERIFY(!editor.DoUpdate());
        QCOMPARE(MessageService::shown().constLast().caption, QStringLiteral("Error"));
        QCOMPARE(MessageService::shown().constLast().text,
                 QStringLiteral("Invalid check out date specified.  Please correct."));
        QCOMPARE(control<QTabWidget>(editor, "MyTabbedNoteBook")->currentIndex(), 3);
        type(editor, "CheckDate", QString());
        QVERIFY(!editor.DoUpdate());
        QCOMPARE(MessageService::shown().constLast().text,
                 QStringLiteral("Invalid purchase date specified.  Please correct."));
        QCOMPARE(control<QTabWidget>(editor, "MyTabbedNoteBook")->currentIndex(), 0);
        type(editor, "PurchDate", QStringLiteral("03/05/2001"));
        QVERIFY(!editor.DoUpdate());
        QCOMPARE(MessageService::shown().constLast().text, QStringLiteral("Invalid cost specified.  Please correct."));
        QCOMPARE(control<QTabWidget>(editor, "MyTabbedNoteBook")->currentIndex(), 2);
        type(editor, "Cost", QString());
        type(editor, "HighMarket", QStringLiteral("1..2"));
        QVERIFY(!editor.DoUpdate());
        QCOMPARE(MessageService::shown().constLast().text,
                 QStringLiteral("Invalid high market value specified.  Please correct."));
        type(editor, "HighMarket", QString());
        type(editor, "YearPub", QStringLiteral("19a4"));
        QVERIFY(!editor.DoUpdate());
        QCOMPARE(MessageService::shown().constLast().text,
                 QStringLiteral("Year Pub must be a whole number.  Please correct."));
        QVERIFY(control<QLineEdit>(editor, "YearPub")->text() == QLatin1String("19a4"));
        type(editor, "YearPub", QStringLiteral("1924"));
        type(editor, "Author", QStringLiteral("Miłosz"));
        QVERIFY(!editor.DoUpdate());
        QVERIFY(
            MessageService::shown().constLast().text.startsWith(QStringLiteral("Author contains the character \"ł\"")));
        QCOMPARE(main.catalog().table().engine().physicalCount(), 1u); // nothing was written
        type(editor, "Author", QStringLiteral("Milosz"));
        QVERIFY(editor.DoUpdate());
        editor.close();
        QVERIFY(main.catalog().table().goToRecord(2));
        QCOMPARE(main.catalog().table().date(12), QDate(2001, 3, 5));
        QCOMPARE(main.catalog().table().number(3), std::optional<double>(1924));
    }

    void nextInAddModeAsksEvenWithNothingTyped()
    {
        MainWindowFixture f;
        catalogPath(f, {QStringLiteral("Austen"), QStringLiteral("Mann")});
        TMain &main = f.start();
        TMyEdit &editor = showEditor(main, 1);
        MessageService::queueAnswer(MessageService::No);
        editor.DoNextRecord();
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown().constFirst().caption, QStringLiteral("Warning"));
        QCOMPARE(MessageService::shown().constFirst().text,
                 QStringLiteral("This record has not been updated yet.  Update this record before moving to the next "
                                "record?"));
        QCOMPARE(MessageService::shown().constFirst().buttons,
                 MessageService::Yes | MessageService::No | MessageService::Cancel);
        QCOMPARE(editor.mode(), 2);
        QCOMPARE(main.catalog().table().engine().physicalCount(), 2u);
        // In edit mode only a change asks.
        editor.DoNextRecord();
        QCOMPARE(MessageService::shown().size(), 1);
        type(editor, "Title", QStringLiteral("Changed"));
        MessageService::queueAnswer(MessageService::Cancel);
        editor.DoPreviousRecord();
        QCOMPARE(MessageService::shown().constLast().text,
                 QStringLiteral("Data has changed.  Update this record before moving to the previous record?"));
        QCOMPARE(control<QLineEdit>(editor, "Title")->text(), QStringLiteral("Changed"));
        editor.close();
    }

    void copyRecordInsertsASecondRecord()
    {
        MainWindowFixture f;
        catalogPath(f, {QStringLiteral("Austen")});
        TMain &main = f.start();
        TMyEdit &editor = showEditor(main, 2);
        QCOMPARE(control<QComboBox>(editor, "Author")->currentText(), QStringLiteral("Austen"));
        editor.MenuCopyRecordClick();
        QCOMPARE(editor.windowTitle(), QStringLiteral("Edit (New Copied Record)"));
        type(editor, "Title", QStringLiteral("Copy"));
        QVERIFY(editor.DoUpdate());
        editor.close();
        QCOMPARE(main.catalog().table().engine().physicalCount(), 2u);
        QCOMPARE(main.catalog().table().engine().physicalRecord(1).text(0), QStringLiteral("Book 1"));
        QCOMPARE(main.catalog().table().engine().physicalRecord(2).text(0), QStringLiteral("Copy"));
        QCOMPARE(main.catalog().table().engine().physicalRecord(2).text(1), QStringLiteral("Austen"));
    }

    void checkedOutRemembersDateAndPerson()
    {
        MainWindowFixture f;
        const QString books = catalogPath(f, {QStringLiteral("Austen"), QStringLiteral("Mann")});
        {
            DbfTable table;
            table.open(books);
            table.edit(1);
            table.setText(16, QStringLiteral("Yes"));
            table.setDate(17, QDate(2020, 2, 29));
            table.setText(18, QStringLiteral("Anna"));
            table.post();
            table.edit(2);
            table.setText(16, QStringLiteral("yes"));
            table.post();
        }
        TMain &main = f.start();
        main.catalog().table().first();
        TMyEdit &editor = showEditor(main, 2);
        auto *box = control<QCheckBox>(editor, "CheckOut");
        QVERIFY(box->isChecked());
        QCOMPARE(control<QComboBox>(editor, "CheckName")->currentText(), QStringLiteral("Anna"));
        box->click();
        QCOMPARE(control<QLineEdit>(editor, "CheckDate")->text(), QStringLiteral("//"));
        QCOMPARE(control<QComboBox>(editor, "CheckName")->currentText(), QString());
        box->click();
        QCOMPARE(control<QLineEdit>(editor, "CheckDate")->text(), QStringLiteral("02/29/2020"));
        QCOMPARE(control<QComboBox>(editor, "CheckName")->currentText(), QStringLiteral("Anna"));
        editor.MenuNewClick(); // no change since loading: no question
        QVERIFY(MessageService::shown().isEmpty());
        QVERIFY(!box->isChecked());
        box->click(); // a cleared record gets the remembered check-out
        QCOMPARE(control<QComboBox>(editor, "CheckName")->currentText(), QStringLiteral("Anna"));
        editor.close();
        // "yes" in lower case is not ticked, and storing writes "No".
        main.catalog().table().goToRecord(2);
        TMyEdit &again = showEditor(main, 2);
        QVERIFY(!control<QCheckBox>(again, "CheckOut")->isChecked());
        QVERIFY(again.DoUpdate());
        again.close();
        QCOMPARE(main.catalog().table().engine().physicalRecord(2).text(16), QStringLiteral("No"));
    }

    void enterMovesAlongTheSequence()
    {
        MainWindowFixture f;
        catalogPath(f, {QStringLiteral("Austen")});
        TMain &main = f.start();
        TMyEdit &editor = showEditor(main, 1);
        editor.activateWindow();
        QVERIFY(TestSupport::activate(&editor));
        auto *pages = control<QTabWidget>(editor, "MyTabbedNoteBook");
        pages->setCurrentIndex(4);
        auto *last = control<QLineEdit>(editor, "UserDef6");
        last->setFocus();
        QTest::keyClick(last, Qt::Key_Return);
        QCOMPARE(pages->currentIndex(), 0);
        QCOMPARE(QApplication::focusWidget(), control<QLineEdit>(editor, "Title"));
        QTest::keyClick(control<QLineEdit>(editor, "Title"), Qt::Key_Return);
        QVERIFY(control<QComboBox>(editor, "Author")->hasFocus());
        auto *wherePurch = control<QComboBox>(editor, "WherePurch");
        wherePurch->setFocus();
        QTest::keyClick(wherePurch->lineEdit(), Qt::Key_Return);
        QCOMPARE(pages->currentIndex(), 1);
        editor.close();
    }

    void exitAsksOnlyAfterChanges()
    {
        MainWindowFixture f;
        catalogPath(f, {QStringLiteral("Austen")});
        TMain &main = f.start();
        TMyEdit &editor = showEditor(main, 2);
        editor.CancelButtonClick();
        QVERIFY(MessageService::shown().isEmpty());
        QVERIFY(!editor.isVisible());
        showEditor(main, 2);
        type(editor, "Title", QStringLiteral("New title"));
        MessageService::queueAnswer(MessageService::No);
        editor.CancelButtonClick();
        QCOMPARE(MessageService::shown().constLast().text,
                 QStringLiteral("Data has changed.  Do you want to exit without updating?"));
        QVERIFY(editor.isVisible());
        MessageService::queueAnswer(MessageService::Yes);
        editor.CancelButtonClick();
        QVERIFY(!editor.isVisible());
        QCOMPARE(main.catalog().table().text(1), QStringLiteral("Book 1"));
    }

    // Another program stores a new title while the book is open here: Update
    // does not write back the title shown here over it, says so, and keeps
    // what was typed.
    void changeByAnotherProgramIsNotOverwritten()
    {
        MainWindowFixture f;
        const QString books = catalogPath(f, {QStringLiteral("Austen")});
        TMain &main = f.start();
        TMyEdit &editor = showEditor(main, 2);
        type(editor, "Author", QStringLiteral("Brontë"));
        const auto other = TestSupport::startChild(QStringLiteral("retitle"), {books, QStringLiteral("Emma")});
        QVERIFY(other->waitForFinished(20000));
        QCOMPARE(other->exitCode(), 0);

        editor.UpdateButtonClick();
        QCOMPARE(MessageService::shown().size(), 1);
        QVERIFY2(MessageService::shown().constLast().text.startsWith(
                     QStringLiteral("This book was changed by another program after it was shown here.")),
                 qPrintable(MessageService::shown().constLast().text));
        QVERIFY(editor.isVisible());
        QCOMPARE(control<QComboBox>(editor, "Author")->currentText(), QStringLiteral("Brontë"));
        DbfTable stored;
        stored.open(books, DbfTable::Access::ReadOnly);
        QCOMPARE(stored.physicalRecord(1).text(0), QStringLiteral("Emma"));
        QCOMPARE(stored.physicalRecord(1).text(1), QStringLiteral("Austen"));
        QCOMPARE(stored.physicalCount(), 1u);
    }

    void storedValuesJoinThePickLists()
    {
        MainWindowFixture f;
        const QString books = catalogPath(f, {QStringLiteral("Austen")});
        TMain &main = f.start();
        TMyEdit &editor = showEditor(main, 1);
        type(editor, "Author", QStringLiteral("Brown "));
        type(editor, "Location", QStringLiteral("Attic"));
        QVERIFY(editor.DoUpdate());
        editor.close(); // closing writes the lists
        QVERIFY(editor.listCombo(1)->findText(QStringLiteral("Brown"), Qt::MatchExactly) >= 0);
        QVERIFY(main.pickListCombo(2)->findText(QStringLiteral("Brown"), Qt::MatchExactly) >= 0);
        QVERIFY(TestSupport::readAll(f.path(QStringLiteral("BOOKS.001"))).contains("Brown\r\n"));
        QVERIFY(TestSupport::readAll(f.path(QStringLiteral("BOOKS.002"))).contains("Attic\r\n"));
        // Another database brings its own lists; the first keeps its files.
        const QString other = f.makeCatalog(QStringLiteral("OTHER.DBF"), {QStringLiteral("Mann")});
        TestSupport::writeAll(f.path(QStringLiteral("OTHER.001")), "Mann, Thomas\r\n");
        TestSupport::writeAll(f.path(QStringLiteral("OTHER.006")), "");
        DialogService::queueResult(other);
        main.MenuOpenClick();
        QCOMPARE(editor.listCombo(1)->count(), 1);
        QCOMPARE(editor.listCombo(1)->itemText(0), QStringLiteral("Mann, Thomas"));
        QCOMPARE(main.pickListCombo(2)->itemText(0), QStringLiteral("Mann, Thomas"));
        Q_UNUSED(books);
    }

    void editMenuActsOnPlainEditsAndCombos()
    {
        MainWindowFixture f;
        catalogPath(f, {QStringLiteral("Austen")});
        TMain &main = f.start();
        TMyEdit &editor = showEditor(main, 2);
        editor.activateWindow();
        QVERIFY(TestSupport::activate(&editor));
        auto *title = control<QLineEdit>(editor, "Title");
        title->setFocus();
        title->selectAll();
        editor.findChild<QAction *>(QStringLiteral("MenuCut"))->trigger();
        QCOMPARE(title->text(), QString());
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Book 1"));
        editor.findChild<QAction *>(QStringLiteral("MenuPaste"))->trigger();
        QCOMPARE(title->text(), QStringLiteral("Book 1"));
        auto *date = control<QLineEdit>(editor, "PurchDate");
        date->setFocus();
        date->setText(QStringLiteral("01/02/2003"));
        date->selectAll();
        editor.findChild<QAction *>(QStringLiteral("MenuDelete"))->trigger();
        QCOMPARE(date->text(), QStringLiteral("01/02/2003")); // the date edits are left alone
        editor.close();
    }

    void printRecordWithoutAPrinterWritesAPdf()
    {
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("a printer is installed");
        MainWindowFixture f;
        catalogPath(f, {QStringLiteral("Austen")});
        TMain &main = f.start();
        TMyEdit &editor = showEditor(main, 2);
        const QString pdf = f.path(QStringLiteral("record.pdf"));
        DialogService::queueResult(pdf);
        editor.MenuPrintRecordClick();
        QCOMPARE(DialogService::requests(), QStringList({QStringLiteral("Print Record to PDF File")}));
        const QByteArray bytes = TestSupport::readAll(pdf);
        QVERIFY(bytes.startsWith("%PDF"));
        QVERIFY(bytes.size() > 1000);
        editor.MenuPrintRecordClick(); // cancelled: nothing more
        QCOMPARE(DialogService::requests().size(), 2);
        editor.close();
    }

    void scalingDoesNotAccumulate()
    {
        MainWindowFixture f;
        catalogPath(f, {QStringLiteral("Austen")});
        TMain &main = f.start();
        main.MenuScreenSizeClick(800);
        if (main.look().scaleFactor() != 1.25)
            QSKIP("the screen is smaller than 800 x 600");
        TMyEdit &editor = showEditor(main, 2);
        const QSize first = editor.size();
        const qreal font = control<QLineEdit>(editor, "Title")->font().pointSizeF();
        editor.close();
        showEditor(main, 2);
        QCOMPARE(editor.size(), first);
        QCOMPARE(control<QLineEdit>(editor, "Title")->font().pointSizeF(), font);
        editor.close();
    }

    // A long entry in a pick list widens the popup, not the editor.
    void longListEntriesLeaveTheEditorItsWidth()
    {
        MainWindowFixture f;
        catalogPath(f, {QStringLiteral("Austen")});
        TMain &main = f.start();
        TMyEdit &editor = showEditor(main, 2);
        auto *author = control<QComboBox>(editor, "Author");
        const int editorWidth = editor.width();
        const int comboWidth = author->width();
        editor.close();
        author->addItem(QString(90, QLatin1Char('W')));
        showEditor(main, 2);
        QCOMPARE(author->width(), comboWidth);
        QCOMPARE(editor.width(), editorWidth);
        editor.close();
    }

    void browseModeNeverAsksNorStores()
    {
        MainWindowFixture f;
        catalogPath(f, {QStringLiteral("Austen"), QStringLiteral("Mann")});
        TMain &main = f.start({QStringLiteral("/BROWSE")});
        TMyEdit &editor = showEditor(main, 2);
        QVERIFY(!control<QPushButton>(editor, "UpdateButton")->isEnabled());
        QVERIFY(!control<QPushButton>(editor, "UpdateExitButton")->isEnabled());
        QVERIFY(!editor.findChild<QAction *>(QStringLiteral("MenuNew"))->isEnabled());
        QVERIFY(editor.findChild<QAction *>(QStringLiteral("MenuCopyRecord"))->isEnabled());
        type(editor, "Title", QStringLiteral("Changed"));
        editor.DoNextRecord();
        QCOMPARE(control<QComboBox>(editor, "Author")->currentText(), QStringLiteral("Mann"));
        type(editor, "Title", QStringLiteral("Changed"));
        editor.UpdateButtonClick();
        editor.CancelButtonClick();
        QVERIFY(MessageService::shown().isEmpty());
        QVERIFY(!editor.isVisible());
        QCOMPARE(main.catalog().table().engine().physicalRecord(2).text(0), QStringLiteral("Book 2"));
    }
};

SHELFMARK_TEST(TestRecordEditor)
#include "TestRecordEditor.moc"
