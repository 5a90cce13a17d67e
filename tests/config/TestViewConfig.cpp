#include "TestSupport.h"

#include "config/TViewConfig.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/MessageService.h"
#include "framework/ui/WinColor.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace {

// A shown viewer configuration over default settings.
struct Fixture
{
    Settings settings{QString{}};
    TViewConfig window{settings, {}, 1.0};

    Fixture()
    {
        window.show();
        QVERIFY(TestSupport::activate(&window));
    }

    template <typename T> T *child(const QString &name) const
    {
        T *found = window.findChild<T *>(name);
        if (!found)
            qFatal("no control %s", qPrintable(name));
        return found;
    }
    QTableWidget *grid(const QString &name) const { return child<QTableWidget>(name); }
    void setCell(const QString &gridName, int row, int column, const QString &text) const
    {
        grid(gridName)->item(row, column)->setText(text);
    }
    QString cell(const QString &gridName, int row, int column) const
    {
        return grid(gridName)->item(row, column)->text();
    }
    QStringList orderTexts() const
    {
        QStringList texts;
        for (int row = 0; row < CatalogFields::Count; ++row)
            texts << cell(QStringLiteral("FieldOrderGrid"), row, 0);
        return texts;
    }
    void click(const QString &button) const { child<QPushButton>(button)->click(); }
    void exit() const { click(QStringLiteral("ExitButton")); }
};

QStringList defaultNames()
{
    const Settings settings{QString{}};
    return QStringList(settings.displayNames.begin(), settings.displayNames.end());
}

} // namespace

class TestViewConfig : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::installMessageFilter(); }
    void init()
    {
        MessageService::startRecording();
        DialogService::startRecording();
    }
    void cleanup()
    {
        MessageService::stopRecording();
        DialogService::stopRecording();
    }

    void gridsShowTheStoredConfiguration()
    {
        Settings settings{QString{}};
        settings.displayNames[1] = QStringLiteral("Writer");
        settings.displayFields[2] = false;
        settings.fieldWidths[3] = 42;
        settings.fieldOrder[0] = 2; // Title and Author change places
        settings.fieldOrder[1] = 1;
        TViewConfig window(settings, {}, 1.0);
        const auto cell = [&window](const char *grid, int row, int column) {
            return window.findChild<QTableWidget *>(QLatin1String(grid))->item(row, column)->text();
        };
        QCOMPARE(window.windowTitle(), QStringLiteral("Viewer Configuration"));
        QCOMPARE(cell("FieldNameGrid", 1, 0), QStringLiteral("Author"));
        QCOMPARE(cell("FieldNameGrid", 1, 1), QStringLiteral("Writer"));
        QCOMPARE(cell("FieldsToDisplay", 1, 0), QStringLiteral("Writer"));
        QCOMPARE(cell("FieldsToDisplay", 2, 1), QStringLiteral("No"));
        QCOMPARE(cell("FieldsToDisplay", 3, 1), QStringLiteral("Yes"));
        QCOMPARE(cell("FieldWidthGrid", 3, 1), QStringLiteral("42"));
        QCOMPARE(cell("FieldOrderGrid", 0, 0), QStringLiteral("Writer"));
        QCOMPARE(cell("FieldOrderGrid", 1, 0), QStringLiteral("Title"));
        QCOMPARE(cell("FieldOrderGrid", 35, 0), QStringLiteral("User Defined 6"));
        QCOMPARE(window.findChild<QLineEdit *>(QStringLiteral("TitleFont"))->text(), QStringLiteral("12pt Arial"));
        QCOMPARE(window.findChild<QLineEdit *>(QStringLiteral("GridFont"))->text(), QStringLiteral("10pt Arial"));
        QVERIFY(window.findChild<QRadioButton *>(QStringLiteral("TitleCenter"))->isChecked());
    }

    void checkBoxesAndAlignmentStoreAtOnce()
    {
        Fixture f;
        const std::array<std::pair<const char *, bool Settings::*>, 5> boxes = {{
            {"ShowGridTitle", &Settings::showGridTitles},
            {"ColumnLines", &Settings::columnLines},
            {"RowLines", &Settings::rowLines},
            {"RowIndicator", &Settings::rowIndicator},
            {"FieldEditing", &Settings::fieldEditing},
        }};
        for (const auto &[name, setting] : boxes) {
            auto *box = f.child<QCheckBox>(QLatin1String(name));
            QCOMPARE(box->isChecked(), f.settings.*setting);
            const bool before = f.settings.*setting;
            box->click();
            QCOMPARE(f.settings.*setting, !before);
        }
        f.child<QRadioButton>(QStringLiteral("TitleLeft"))->click();
        QCOMPARE(f.settings.gridTitleAlignment, 1);
        f.child<QRadioButton>(QStringLiteral("TitleRight"))->click();
        QCOMPARE(f.settings.gridTitleAlignment, 3);
        f.child<QRadioButton>(QStringLiteral("TitleCenter"))->click();
        QCOMPARE(f.settings.gridTitleAlignment, 2);
    }

    void coloursStoreAtOnceAndShowInTheirSamples_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("sample");
        QTest::addColumn<bool>("title");
        QTest::newRow("title") << "Button1"
                               << "TitleShape" << true;
        QTest::newRow("cell") << "NewColorBUtton"
                              << "CellColorShape" << false;
    }

    void coloursStoreAtOnceAndShowInTheirSamples()
    {
        QFETCH(QString, button);
        QFETCH(QString, sample);
        QFETCH(bool, title);
        Fixture f;
        int &stored = title ? f.settings.gridTitleColor : f.settings.cellColor;
        const int before = stored;

        f.click(button); // cancelled
        QCOMPARE(stored, before);

        DialogService::queueResult(QColor(10, 20, 30));
        f.click(button);
        QCOMPARE(stored, WinColor::fromQColor(QColor(10, 20, 30)));
        QCOMPARE(f.child<QFrame>(sample)->palette().color(QPalette::Window), QColor(10, 20, 30));
    }

    void fontsTakeNameSizeStyleAndColour_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("title");
        QTest::newRow("title") << "TitleFontButton"
                               << "TitleFont" << true;
        QTest::newRow("cell") << "NewFontButton"
                              << "GridFont" << false;
    }

    void fontsTakeNameSizeStyleAndColour()
    {
        QFETCH(QString, button);
        QFETCH(QString, text);
        QFETCH(bool, title);
        Fixture f;
        const ColoredFont &stored = title ? f.settings.gridTitleFont : f.settings.gridFont;
        const ColoredFont before = stored;

        f.click(button); // cancelled
        QCOMPARE(stored, before);

        QFont chosen(QStringLiteral("Courier New"), 14);
        chosen.setItalic(true);
        chosen.setUnderline(true);
        chosen.setStrikeOut(true);
        DialogService::queueResult(QVariantList{chosen, QColor(0, 0, 255)});
        f.click(button);
        QCOMPARE(stored.font, chosen);
        QCOMPARE(stored.color, WinColor::fromQColor(QColor(0, 0, 255)));
        QCOMPARE(f.child<QLineEdit>(text)->text(), QStringLiteral("14pt Courier New"));
    }

    void doubleClickTogglesShown()
    {
        Fixture f;
        QTableWidget *grid = f.grid(QStringLiteral("FieldsToDisplay"));
        f.child<QTabWidget>(QStringLiteral("MyTabbedPage"))->setCurrentIndex(2);
        grid->item(4, 1)->setText(QStringLiteral("maybe"));
        // A double click is a press and release followed by the double-click event.
        const auto doubleClick = [grid](int row, int column) {
            const QPoint at = grid->visualItemRect(grid->item(row, column)).center();
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
        };
        doubleClick(2, 1);
        QCOMPARE(f.cell(QStringLiteral("FieldsToDisplay"), 2, 1), QStringLiteral("No"));
        doubleClick(2, 1);
        QCOMPARE(f.cell(QStringLiteral("FieldsToDisplay"), 2, 1), QStringLiteral("Yes"));
        doubleClick(4, 1);
        QCOMPARE(f.cell(QStringLiteral("FieldsToDisplay"), 4, 1), QStringLiteral("Yes"));
        doubleClick(3, 0); // on the field's name
        QCOMPARE(f.cell(QStringLiteral("FieldsToDisplay"), 3, 1), QStringLiteral("No"));

        f.exit();
        QVERIFY(!f.window.isVisible());
        QVERIFY(f.settings.displayFields[2]);
        QVERIFY(!f.settings.displayFields[3]);
        QVERIFY(f.settings.displayFields[4]);
    }

    void widthsOutsideTheRangeBecomeTen()
    {
        Fixture f;
        const QString grid = QStringLiteral("FieldWidthGrid");
        f.setCell(grid, 0, 1, QStringLiteral("0"));
        f.setCell(grid, 1, 1, QStringLiteral("300"));
        f.setCell(grid, 2, 1, QStringLiteral("wide"));
        f.setCell(grid, 3, 1, QStringLiteral(" 25 "));
        f.exit();
        QVERIFY(!f.window.isVisible());
        QCOMPARE(f.settings.fieldWidths[0], 10);
        QCOMPARE(f.settings.fieldWidths[1], 10);
        QCOMPARE(f.settings.fieldWidths[2], 10);
        QCOMPARE(f.settings.fieldWidths[3], 25);
        QCOMPARE(f.settings.fieldWidths[4], 15);
        QCOMPARE(f.cell(grid, 2, 1), QStringLiteral("10"));
    }

    void upAndDownMoveTheCurrentRowWithinTheGrid()
    {
        Fixture f;
        QTableWidget *grid = f.grid(QStringLiteral("FieldOrderGrid"));
        QStringList expected = defaultNames();

        grid->setCurrentCell(0, 0);
        f.click(QStringLiteral("OrderUp")); // already first
        QCOMPARE(f.orderTexts(), expected);
        QCOMPARE(grid->currentRow(), 0);

        f.click(QStringLiteral("OrderDown"));
        f.click(QStringLiteral("OrderDown"));
        expected.move(0, 2);
        QCOMPARE(f.orderTexts(), expected);
        QCOMPARE(grid->currentRow(), 2);

        grid->setCurrentCell(35, 0);
        f.click(QStringLiteral("OrderDown")); // already last
        f.click(QStringLiteral("OrderUp"));
        expected.move(35, 34);
        QCOMPARE(f.orderTexts(), expected);
        QCOMPARE(grid->currentRow(), 34);

        f.exit();
        QCOMPARE(f.settings.fieldOrder[0], 3);   // Title
        QCOMPARE(f.settings.fieldOrder[1], 1);   // Author
        QCOMPARE(f.settings.fieldOrder[2], 2);   // Year Pub
        QCOMPARE(f.settings.fieldOrder[35], 35); // User Defined 6
        QCOMPARE(f.settings.fieldOrder[34], 36); // User Defined 5
    }

    void defaultsRestoreOrderOnlyOnYes()
    {
        Fixture f;
        QTableWidget *grid = f.grid(QStringLiteral("FieldOrderGrid"));
        grid->setCurrentCell(5, 0);
        f.click(QStringLiteral("OrderUp"));
        const QStringList moved = f.orderTexts();
        QVERIFY(moved != defaultNames());

        MessageService::queueAnswer(MessageService::No);
        f.click(QStringLiteral("OrderDefaults"));
        QCOMPARE(MessageService::shown().size(), 1);
        const MessageService::Shown &question = MessageService::shown().constFirst();
        QCOMPARE(question.caption, QStringLiteral("Re-Order"));
        QCOMPARE(question.text,
                 QStringLiteral("This will set the order of fields to the program defaults.  Continue?"));
        QCOMPARE(question.buttons, MessageService::Yes | MessageService::No);
        QCOMPARE(f.orderTexts(), moved);

        MessageService::queueAnswer(MessageService::Yes);
        f.click(QStringLiteral("OrderDefaults"));
        QCOMPARE(f.orderTexts(), defaultNames());
        f.exit();
        for (int i = 0; i < CatalogFields::Count; ++i)
            QCOMPARE(f.settings.fieldOrder[i], i + 1);
    }

    void sameNameKeepsTheWindowOpenOnTheNamesPage()
    {
        Fixture f;
        f.setCell(QStringLiteral("FieldNameGrid"), 3, 1, QStringLiteral("Title"));
        f.setCell(QStringLiteral("FieldWidthGrid"), 0, 1, QStringLiteral("30"));
        auto *pages = f.child<QTabWidget>(QStringLiteral("MyTabbedPage"));
        pages->setCurrentIndex(3);
        f.exit();

        QVERIFY(f.window.isVisible());
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown().constFirst().caption, QStringLiteral("Error"));
        QCOMPARE(MessageService::shown().constFirst().text,
                 QStringLiteral("Two field names have the same name \"Title\".  Please change one."));
        QCOMPARE(pages->tabText(pages->currentIndex()), QStringLiteral("Field &Names"));
        QTableWidget *names = f.grid(QStringLiteral("FieldNameGrid"));
        QCOMPARE(QApplication::focusWidget(), names);
        QCOMPARE(names->currentRow(), 3);
        // Nothing taken yet.
        QCOMPARE(f.settings.displayNames[3], QStringLiteral("Publisher"));
        QCOMPARE(f.settings.fieldWidths[0], 15);

        // Escape and the title bar pass the same check.
        QTest::keyClick(&f.window, Qt::Key_Escape);
        QVERIFY(f.window.isVisible());
        QCOMPARE(MessageService::shown().size(), 2);

        f.setCell(QStringLiteral("FieldNameGrid"), 3, 1, QStringLiteral("TITLE"));
        f.exit();
        QVERIFY(!f.window.isVisible());
        QCOMPARE(f.settings.displayNames[3], QStringLiteral("TITLE"));
        QCOMPARE(f.settings.fieldWidths[0], 30);
        QCOMPARE(MessageService::shown().size(), 2);
    }

    void renamingLeavesPositionsToTheFields()
    {
        Fixture f;
        f.setCell(QStringLiteral("FieldNameGrid"), 1, 1, QStringLiteral("Writer"));
        f.setCell(QStringLiteral("FieldNameGrid"), 0, 1, QStringLiteral("Author"));
        QTableWidget *order = f.grid(QStringLiteral("FieldOrderGrid"));
        order->setCurrentCell(1, 0);
        f.click(QStringLiteral("OrderUp"));
        QCOMPARE(f.cell(QStringLiteral("FieldOrderGrid"), 0, 0), QStringLiteral("Author"));
        f.exit();
        QCOMPARE(f.settings.displayNames[0], QStringLiteral("Author"));
        QCOMPARE(f.settings.displayNames[1], QStringLiteral("Writer"));
        QCOMPARE(f.settings.fieldOrder[1], 1);
        QCOMPARE(f.settings.fieldOrder[0], 2);
    }

    void closingTakesTheCellBeingEdited()
    {
        Fixture f;
        f.child<QTabWidget>(QStringLiteral("MyTabbedPage"))->setCurrentIndex(5);
        QTableWidget *names = f.grid(QStringLiteral("FieldNameGrid"));
        names->setFocus();
        names->editItem(names->item(1, 1));
        QWidget *editor = QApplication::focusWidget();
        QVERIFY(qobject_cast<QLineEdit *>(editor));
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, QStringLiteral("Writer"));
        f.window.close(); // the title bar's close button
        QVERIFY(!f.window.isVisible());
        QCOMPARE(f.settings.displayNames[1], QStringLiteral("Writer"));
    }

    void fontDialogReturnsFontAndColour()
    {
        DialogService::stopRecording();
        QFont initial(QStringLiteral("Liberation Serif"), 11);
        initial.setUnderline(true);
        QString caption;
        bool embedded = false;
        QTimer::singleShot(0, [&caption, &embedded] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            caption = dialog->windowTitle();
            embedded = dialog->findChild<QFontDialog *>()->isVisible();
            dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
        const auto chosen = DialogService::chooseColoredFont(nullptr, initial, QColor(0, 128, 0));
        QCOMPARE(caption, QStringLiteral("Font"));
        QVERIFY(embedded);
        QVERIFY(chosen);
        QCOMPARE(chosen->first.family(), initial.family());
        QCOMPARE(chosen->first.pointSize(), 11);
        QVERIFY(chosen->first.underline());
        QCOMPARE(chosen->second, QColor(0, 128, 0));
    }

    void showsScaledInTheConfigureColours()
    {
        Settings settings{QString{}};
        settings.configureColors[MainBackground] = WinColor::fromQColor(QColor(0, 128, 0));
        settings.configureColors[EditBackground] = WinColor::fromQColor(QColor(255, 255, 0));
        settings.mainColors[MainBackground] = WinColor::fromQColor(QColor(255, 0, 0));
        TViewConfig window(settings, {}, 1.25);
        window.show();
        auto *names = window.findChild<QTableWidget *>(QStringLiteral("FieldNameGrid"));
        QCOMPARE(names->columnWidth(0), 250);
        QCOMPARE(names->columnWidth(1), 250);
        QCOMPARE(window.palette().color(QPalette::Window), QColor(0, 128, 0));
        QCOMPARE(window.findChild<QLineEdit *>(QStringLiteral("GridFont"))->palette().color(QPalette::Base),
                 QColor(255, 255, 0));
    }
};

SHELFMARK_TEST(TestViewConfig)
#include "TestViewConfig.moc"
