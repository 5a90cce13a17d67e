#include "MainWindowFixture.h"
#include "TestSupport.h"

#include "app/DateFormat.h"
#include "app/MyTable.h"
#include "edit/TMyEdit.h"
#include "framework/dbase/DbfTable.h"
#include "framework/ui/MessageService.h"
#include "storage/CatalogTable.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

namespace {

constexpr int PurchDate = 11; // engine field of the purchase date
constexpr int WherePurch = 5;

// The record editor over a catalog of one book bought at a library sale on
// 16 February 1973, under the two-digit-year format mm/dd/yy.
struct Editor
{
    MainWindowFixture f;
    QString books = f.path(QStringLiteral("BOOKS.DBF"));
    TMain *main = nullptr;
    TMyEdit *editor = nullptr;

    explicit Editor(int mode = 2, bool withBook = true)
    {
        CatalogTable::create(books);
        if (withBook) {
            DbfTable table;
            table.open(books);
            table.append();
            table.setText(0, QStringLiteral("Old Book"));
            table.setText(WherePurch, QStringLiteral("Library sale"));
            table.setDate(PurchDate, QDate(1973, 2, 16));
            table.post();
        }
        TestSupport::writeAll(f.path(QStringLiteral("BOOKS.005")), "");
        TestSupport::writeAll(f.path(QStringLiteral("BOOKS.003")), "Bookstore\r\nGift\r\nLibrary Sale\r\n");
        f.writeGlobalSettings("[Misc]\r\nDate Format=1\r\nLast Database=" + QFile::encodeName(books) + "\r\n");
        main = &f.start();
        editor = main->recordEditor();
        editor->setMode(mode);
        editor->show();
        if (!TestSupport::activate(editor))
            qWarning("the editor did not become active");
        MessageService::clearShown();
    }
    ~Editor() { editor->hide(); }

    template <typename T> T *control(const char *name) const
    {
        return editor->findChild<T *>(QString::fromLatin1(name));
    }
    QLineEdit *edit(const char *name) const { return control<QLineEdit>(name); }
    QComboBox *combo(const char *name) const { return control<QComboBox>(name); }
    // Tab from the control before into this one, as a user moves through the page.
    void tabInto(QWidget *target) const
    {
        QWidget *before = target->previousInFocusChain();
        before->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    DbfRecord stored() const { return main->catalog().table().engine().physicalRecord(1); }
};

} // namespace

// Keys typed into the record editor reach what the user means, and nothing the
// user did not type changes a book.
class TestEditorKeys : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::installMessageFilter(); }
    void cleanup() { DateFormat::setCurrent(DateFormat()); }

    void datesKeepTheirCenturyUnderTwoDigitYearFormats()
    {
        Editor e;
        QCOMPARE(DateFormat::current().pattern(), QStringLiteral("m/d/yy"));
        QCOMPARE(e.edit("PurchDate")->text(), QStringLiteral("02/16/1973"));
        e.editor->UpdateButtonClick();
        QCOMPARE(MessageService::shown().size(), 0);
        QCOMPARE(e.stored().date(PurchDate), QDate(1973, 2, 16));

        // Enter from Pages lands on the date's first position, the text selected:
        // the digits typed replace it.
        e.edit("Pages")->setFocus();
        QTest::keyClick(e.edit("Pages"), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), e.edit("PurchDate"));
        QTest::qWait(0);
        QCOMPARE(e.edit("PurchDate")->cursorPosition(), 0);
        QTest::keyClicks(e.edit("PurchDate"), QStringLiteral("07041926"));
        QCOMPARE(e.edit("PurchDate")->text(), QStringLiteral("07/04/1926"));
        e.editor->UpdateButtonClick();
        QCOMPARE(e.stored().date(PurchDate), QDate(1926, 7, 4));

        // Tab and a click do the same.
        e.tabInto(e.edit("PurchDate"));
        QTest::qWait(0);
        QTest::keyClicks(e.edit("PurchDate"), QStringLiteral("12311999"));
        QCOMPARE(e.edit("PurchDate")->text(), QStringLiteral("12/31/1999"));
        e.edit("Title")->setFocus();
        QTest::mouseClick(e.edit("PurchDate"), Qt::LeftButton, {}, QPoint(e.edit("PurchDate")->width() - 4, 5));
        QTest::qWait(0);
        QTest::keyClicks(e.edit("PurchDate"), QStringLiteral("01021903"));
        QCOMPARE(e.edit("PurchDate")->text(), QStringLiteral("01/02/1903"));
    }

    void comboBoxesKeepWhatWasTyped()
    {
        Editor e;
        QComboBox *where = e.combo("WherePurch");
        QCOMPARE(where->currentText(), QStringLiteral("Library sale"));
        // Tabbing through a loaded value that a list entry spells otherwise changes nothing.
        e.tabInto(where);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(where->currentText(), QStringLiteral("Library sale"));
        QVERIFY(!e.editor->ValuesChanged());

        for (const QString &typed : {QStringLiteral("Book"), QStringLiteral("gift")}) {
            where->setFocus();
            where->lineEdit()->selectAll();
            QTest::keyClicks(where->lineEdit(), typed);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(where->currentText(), typed);
        }
        e.editor->UpdateButtonClick();
        QCOMPARE(e.stored().text(WherePurch), QStringLiteral("gift"));
    }

    void escapeAsksLikeExit()
    {
        Editor e;
        QTest::keyClicks(e.edit("Title"), QStringLiteral(" Revised"));
        MessageService::queueAnswer(MessageService::No);
        QTest::keyClick(e.edit("Title"), Qt::Key_Escape);
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown().constLast().text,
                 QStringLiteral("Data has changed.  Do you want to exit without updating?"));
        QVERIFY(e.editor->isVisible());
        MessageService::queueAnswer(MessageService::Yes);
        QTest::keyClick(e.edit("Title"), Qt::Key_Escape);
        QVERIFY(!e.editor->isVisible());
        QCOMPARE(e.stored().text(0), QStringLiteral("Old Book"));
    }

    void menuShortcutsWinOverTheEditsOwnKeys()
    {
        Editor e;
        // Ctrl+E in a combo box starts a new record (not the end of the line).
        e.combo("Author")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(e.editor->windowTitle(), QStringLiteral("Edit (New Record)"));
        QCOMPARE(e.edit("Title")->text(), QString());
        // Ctrl+U in a line edit stores and closes (not: empties the line).
        e.edit("Title")->setFocus();
        QTest::keyClicks(e.edit("Title"), QStringLiteral("New Book"));
        QTest::keyClick(e.edit("Title"), Qt::Key_U, Qt::ControlModifier);
        QVERIFY(!e.editor->isVisible());
        QCOMPARE(e.main->catalog().table().engine().physicalCount(), 2u);
        QCOMPARE(e.main->catalog().table().engine().physicalRecord(2).text(0), QStringLiteral("New Book"));
    }

    void editWithNoBookAdds()
    {
        Editor e(2, /*withBook*/ false);
        e.editor->hide();
        QTimer::singleShot(0, [&] {
            QCOMPARE(e.editor->mode(), 1);
            e.edit("Title")->setText(QStringLiteral("First Book"));
            e.editor->UpdateExitButtonClick();
        });
        e.main->MenuEditClick();
        QCOMPARE(MessageService::shown().size(), 0);
        QCOMPARE(e.main->catalog().table().recordCount(), 1);
        QCOMPARE(e.stored().text(0), QStringLiteral("First Book"));
    }
};

SHELFMARK_TEST(TestEditorKeys)
#include "TestEditorKeys.moc"
