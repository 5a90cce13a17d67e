#include "PickListFixture.h"

#include "edit/TMyEditBox.h"
#include "framework/ui/MessageService.h"
#include "framework/ui/WinColor.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const WindowStyle::Colors colors = {0x102030, 1, 2, 0x405060, 0x000001, 5, 6, 0x708090, 0x000002, 9, 10, 11, 12};

struct Editor
{
    explicit Editor(PickListFixture &f, int number) : box(number, *f.lists, fonts(), 1.0, colors)
    {
        box.show();
        addInfo = box.findChild<QLineEdit *>(u"AddInfo"_s);
        list = box.findChild<QListWidget *>(u"TheList"_s);
    }

    static WindowStyle::Fonts fonts()
    {
        const QFont font(u"Liberation Sans"_s, 10);
        return {font, font, font};
    }

    void click(const QString &button) { box.findChild<QPushButton *>(button)->click(); }

    void add(const QString &text)
    {
        addInfo->setText(text);
        click(u"AddButton"_s);
    }

    // Typed characters outside Latin-1 come in through the clipboard.
    void paste(const QString &text)
    {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(addInfo, Qt::Key_V, Qt::ControlModifier);
    }

    QStringList entries() const
    {
        QStringList result;
        for (int i = 0; i < list->count(); ++i)
            result.append(list->item(i)->text());
        return result;
    }

    int selectedRow() const
    {
        const QList<QListWidgetItem *> selected = list->selectedItems();
        return selected.isEmpty() ? -1 : list->row(selected.first());
    }

    TMyEditBox box;
    QLineEdit *addInfo;
    QListWidget *list;
};

} // namespace

class TestListEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::installMessageFilter(); }
    void init() { MessageService::startRecording(); }
    void cleanup() { MessageService::stopRecording(); }

    void showsTheList_data();
    void showsTheList();
    void takesConfigureColors();
    void addTrimsAndAppends_data();
    void addTrimsAndAppends();
    void enterInEntryFieldAddsWithoutClosing();
    void refusesCharactersTheCatalogCannotHold();
    void deleteSelection_data();
    void deleteSelection();
    void sortOnlyOnYes();
    void okFillsBothCopiesAndRewritesAllNineFiles();
    void leavingWithoutOkChangesNothing_data();
    void leavingWithoutOkChangesNothing();
};

void TestListEditor::showsTheList_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("selected");

    QTest::newRow("Author") << 1 << QStringList{u"Smith"_s, u"Brown"_s} << u"Edit \"Author\" List"_s << 90 << 0;
    QTest::newRow("Where Purchased") << 3 << QStringList{u"Fair"_s} << u"Edit \"Purchased From\" List"_s << 30 << 0;
    QTest::newRow("Publisher, longer than its field")
        << 5 << QStringList{u"Penguin"_s} << u"Edit \"Publisher\" List"_s << 90 << 0;
    QTest::newRow("Book Type, empty") << 7 << QStringList() << u"Edit \"Book Type\" List"_s << 30 << -1;
}

void TestListEditor::showsTheList()
{
    QFETCH(int, number);
    QFETCH(QStringList, entries);
    QFETCH(QString, caption);
    QFETCH(int, limit);
    QFETCH(int, selected);
    PickListFixture f;
    f.editor[number - 1]->addItems(entries);

    Editor e(f, number);
    QCOMPARE(e.box.windowTitle(), caption);
    QCOMPARE(e.entries(), entries);
    QCOMPARE(e.addInfo->maxLength(), limit);
    QVERIFY(e.addInfo->text().isEmpty());
    QCOMPARE(e.selectedRow(), selected);
    QCOMPARE(e.box.focusWidget(), e.list);
}

void TestListEditor::takesConfigureColors()
{
    PickListFixture f;
    Editor e(f, 2);
    QCOMPARE(e.box.palette().color(QPalette::Window), WinColor::toQColor(colors[0]));
    QCOMPARE(e.addInfo->palette().color(QPalette::Base), WinColor::toQColor(colors[3]));
    QCOMPARE(e.addInfo->palette().color(QPalette::Text), WinColor::toQColor(colors[4]));
    QCOMPARE(e.list->palette().color(QPalette::Base), WinColor::toQColor(colors[7]));
    QCOMPARE(e.list->palette().color(QPalette::Text), WinColor::toQColor(colors[8]));
}

void TestListEditor::addTrimsAndAppends_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("trimmed, at the end") << u"  Zola  "_s << QStringList{u"Smith"_s, u"Adams"_s, u"Zola"_s};
    QTest::newRow("duplicates allowed") << u"Smith"_s << QStringList{u"Smith"_s, u"Adams"_s, u"Smith"_s};
    QTest::newRow("blanks only: nothing") << u"   "_s << QStringList{u"Smith"_s, u"Adams"_s};
    QTest::newRow("tab kept") << u"\tX"_s << QStringList{u"Smith"_s, u"Adams"_s, u"\tX"_s};
}

void TestListEditor::addTrimsAndAppends()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, expected);
    PickListFixture f;
    f.editor[0]->addItems({u"Smith"_s, u"Adams"_s});
    Editor e(f, 1);

    e.add(typed);
    QCOMPARE(e.entries(), expected);
    QVERIFY(e.addInfo->text().isEmpty());
    QCOMPARE(e.box.focusWidget(), e.addInfo);
}

void TestListEditor::enterInEntryFieldAddsWithoutClosing()
{
    PickListFixture f;
    Editor e(f, 4);
    QTest::keyClicks(e.addInfo, u"Poetry"_s);
    QTest::keyClick(e.addInfo, Qt::Key_Return);
    QCOMPARE(e.entries(), QStringList{u"Poetry"_s});
    QVERIFY(e.box.isVisible());
    QCOMPARE(f.editor[3]->count(), 0);
}

// An entry goes into a book field when it is chosen: one that the catalog
// cannot store is refused here already, with the record editor's message.
void TestListEditor::refusesCharactersTheCatalogCannotHold()
{
    PickListFixture f;
    f.editor[2]->addItem(u"Fair"_s);
    Editor e(f, 3);
    e.addInfo->setFocus();
    e.paste(u"Книжный, Moscow"_s);
    QTest::keyClick(e.addInfo, Qt::Key_Return);

    QCOMPARE(e.entries(), QStringList{u"Fair"_s});
    QCOMPARE(MessageService::shown().size(), 1);
    QCOMPARE(MessageService::shown().constFirst().caption, u"Error"_s);
    QCOMPARE(MessageService::shown().constFirst().text,
             u"Purchased From contains the character \"К\", which the catalog cannot store.  Please correct."_s);
    QCOMPARE(e.addInfo->text(), u"Книжный, Moscow"_s);
    QCOMPARE(e.box.focusWidget(), e.addInfo);

    e.addInfo->selectAll();
    e.paste(u"Librería “Œ”"_s);
    e.click(u"AddButton"_s);
    QCOMPARE(e.entries(), (QStringList{u"Fair"_s, u"Librería “Œ”"_s}));
    QCOMPARE(MessageService::shown().size(), 1);
}

void TestListEditor::deleteSelection_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("selectedAfter");

    const QStringList abc{u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("middle: next entry takes its place") << abc << 1 << QStringList{u"a"_s, u"c"_s} << 1;
    QTest::newRow("first") << abc << 0 << QStringList{u"b"_s, u"c"_s} << 0;
    QTest::newRow("last: new last entry") << abc << 2 << QStringList{u"a"_s, u"b"_s} << 1;
    QTest::newRow("only entry: nothing selected") << QStringList{u"a"_s} << 0 << QStringList() << -1;
    QTest::newRow("no selection: nothing happens") << abc << -1 << abc << -1;
}

void TestListEditor::deleteSelection()
{
    QFETCH(QStringList, entries);
    QFETCH(int, row);
    QFETCH(QStringList, expected);
    QFETCH(int, selectedAfter);
    PickListFixture f;
    f.editor[8]->addItems(entries);
    Editor e(f, 9);
    if (row < 0)
        e.list->clearSelection();
    else
        e.list->setCurrentRow(row);

    e.click(u"DeleteButton"_s);
    QCOMPARE(e.entries(), expected);
    QCOMPARE(e.selectedRow(), selectedAfter);
    QVERIFY(MessageService::shown().isEmpty());
}

void TestListEditor::sortOnlyOnYes()
{
    PickListFixture f;
    const QStringList entries{u"pear"_s, u"Apple"_s, u"banana"_s};
    f.editor[5]->addItems(entries);
    Editor e(f, 6);

    MessageService::queueAnswer(MessageService::No);
    e.click(u"SortButton"_s);
    QCOMPARE(e.entries(), entries);
    QCOMPARE(MessageService::shown().size(), 1);
    const MessageService::Shown &question = MessageService::shown().constFirst();
    QCOMPARE(question.caption, u"Confirm"_s);
    QCOMPARE(question.text, u"Are you sure you want to sort the data?  Sorting cannot be undone."_s);
    QCOMPARE(question.buttons, MessageService::Yes | MessageService::No);

    MessageService::queueAnswer(MessageService::Yes);
    e.click(u"SortButton"_s);
    QCOMPARE(e.entries(), (QStringList{u"Apple"_s, u"banana"_s, u"pear"_s}));
    e.add(u"apricot"_s);
    QCOMPARE(e.entries().constLast(), u"apricot"_s);
}

void TestListEditor::okFillsBothCopiesAndRewritesAllNineFiles()
{
    PickListFixture f;
    for (int number = 1; number <= PickLists::Count; ++number)
        f.setBoth(number, {u"entry %1"_s.arg(number)});
    f.setBoth(4, {u"History"_s, u"Art"_s});
    TestSupport::writeAll(f.path(u"BOOKS.001"_s), "stale\r\n");
    Editor e(f, 4);

    e.add(u"Poetry"_s);
    e.list->setCurrentRow(0);
    e.click(u"DeleteButton"_s);
    e.click(u"OkButton"_s);

    QCOMPARE(e.box.result(), int(QDialog::Accepted));
    const QStringList expected{u"Art"_s, u"Poetry"_s};
    QCOMPARE(f.items(f.editor[3]), expected);
    QCOMPARE(f.items(f.main[3]), expected);
    QCOMPARE(TestSupport::readAll(f.path(u"BOOKS.004"_s)), QByteArray("Art\r\nPoetry\r\n"));
    for (int number : {1, 2, 3, 5, 6, 7, 8, 9})
        QCOMPARE(PickLists::readFile(f.lists->listFile(number)), QStringList{u"entry %1"_s.arg(number)});
}

void TestListEditor::leavingWithoutOkChangesNothing_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("Cancel") << false;
    QTest::newRow("Escape") << true;
}

void TestListEditor::leavingWithoutOkChangesNothing()
{
    QFETCH(bool, escape);
    PickListFixture f;
    const QStringList entries{u"Shelf 2"_s, u"attic"_s, u"Box"_s};
    f.setBoth(2, entries);
    Editor e(f, 2);

    e.add(u"Garage"_s);
    e.list->setCurrentRow(0);
    e.click(u"DeleteButton"_s);
    MessageService::queueAnswer(MessageService::Yes);
    e.click(u"SortButton"_s);
    QCOMPARE(e.entries(), (QStringList{u"attic"_s, u"Box"_s, u"Garage"_s}));

    if (escape)
        QTest::keyClick(e.list, Qt::Key_Escape);
    else
        e.click(u"CancelButton"_s);
    QCOMPARE(e.box.result(), int(QDialog::Rejected));
    QVERIFY(!e.box.isVisible());
    QCOMPARE(f.items(f.editor[1]), entries);
    QCOMPARE(f.items(f.main[1]), entries);
    QVERIFY(QDir(f.dir.path()).entryList({u"BOOKS.*"_s}, QDir::Files).isEmpty());
}

SHELFMARK_TEST(TestListEditor)
#include "TestListEditor.moc"
