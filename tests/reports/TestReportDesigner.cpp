#include "ReportWindowFixture.h"

#include "reports/BuiltInReports.h"
#include "reports/ReportDesign.h"
#include "reports/ReportLayout.h"
#include "reports/TRepLayout.h"
#include "reports/TUserReport.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString NumLinesRefusal = u"Number of lines must be in range of 0 to 12.  Please correct."_s;

// A line of fields F1, F2, ... of the given widths, then fillers of width 0.
ReportLine lineOf(const QList<int> &widths)
{
    ReportLine line;
    for (qsizetype i = 0; i < ReportLine::ElementCount; ++i)
        line.elements[std::size_t(i)] = i < widths.size() ? ReportElement{u"F%1"_s.arg(i + 1), 0, widths[i], {}}
                                                          : ReportElement{ReportElement::Filler, 0, 0, {}};
    return line;
}

// The widths of a line's used elements, a filler marked by a leading "-".
QStringList shape(const ReportLine &line)
{
    QStringList widths;
    for (int i = 0; i < line.usedCount(); ++i) {
        const ReportElement &e = line.elements[std::size_t(i)];
        widths << (e.isFiller() ? u"-"_s : QString()) + QString::number(e.width);
    }
    return widths;
}

bool unusedAreEmptyFillers(const ReportLine &line)
{
    for (int i = line.usedCount(); i < ReportLine::ElementCount; ++i) {
        const ReportElement &e = line.elements[std::size_t(i)];
        if (!e.isFiller() || e.width != 0 || !e.labelText.isEmpty())
            return false;
    }
    return true;
}

void typeInto(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// Leaves an edit as a user does, with Tab.
void leave(QLineEdit *edit)
{
    QTest::keyClick(edit, Qt::Key_Tab);
}

template <typename T = QAbstractButton> T *control(const char *name)
{
    return TestSupport::modalControl<T>(name);
}

QWidget *activateModal()
{
    QWidget *dialog = QApplication::activeModalWidget();
    if (!TestSupport::activate(dialog))
        qWarning("the dialog did not become active");
    return dialog;
}

// In Select Report Part: the kind, the list entry (-1 for none), the width and
// the label, then Ok.
void choosePart(const char *radio, int entry, const QString &width, const QString &label = {})
{
    activateModal();
    control(radio)->click();
    if (entry >= 0) {
        auto *list = control<QListWidget>("FieldList");
        list->scrollToItem(list->item(entry));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(entry)).center());
    }
    if (!label.isNull())
        typeInto(control<QLineEdit>("LabelName"), label);
    typeInto(control<QLineEdit>("FieldWidth"), width);
    control("OkButton")->click();
}

// Clicks a cell of the layout window on top and answers Select Report Part
// with `answer`.
void clickCell(int line, int item, const std::function<void()> &answer)
{
    auto *layout = qobject_cast<TRepLayout *>(QApplication::activeModalWidget());
    const ReportLine &shown =
        line == ReportLayout::TotalsLine ? layout->layoutCopy().totalsLine : layout->layoutCopy().bodyLines[line - 1];
    const QRect cell = layout->layoutGeometry().cells(shown, line)[std::size_t(item - 1)];
    TestSupport::whenModal(answer);
    QTest::mouseClick(layout->canvas(), Qt::LeftButton, {}, cell.center());
}

} // namespace

// The report designer: the rules of lines, layout and margins, and its windows
// driven as a user does, down to the report file and a report made from it.
class TestReportDesigner : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::installMessageFilter(); }

    void normalise_data()
    {
        QTest::addColumn<QList<int>>("widths");
        QTest::addColumn<int>("width");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("exact") << QList<int>{59, 5, 26} << 90 << QStringList{"59", "5", "26"};
        QTest::newRow("cut at the width") << QList<int>{59, 5, 27} << 90 << QStringList{"59", "5", "26"};
        QTest::newRow("cut within and the rest dropped") << QList<int>{59, 5, 27} << 60 << QStringList{"59", "1"};
        QTest::newRow("room left goes to a new filler")
            << QList<int>{59, 5, 20} << 90 << QStringList{"59", "5", "20", "-6"};
        QTest::newRow("width 0 takes the rest") << QList<int>{40, 0, 30, 20} << 90 << QStringList{"40", "50"};
        QTest::newRow("undesigned line") << QList<int>{} << 90 << QStringList{"-90"};
        QTest::newRow("grows to 120") << QList<int>{59, 5, 26} << 120 << QStringList{"59", "5", "26", "-30"};
        QTest::newRow("last element grows") << QList<int>(20, 4) << 90 << (QStringList(19, u"4"_s) << u"14"_s);
    }

    void normalise()
    {
        QFETCH(QList<int>, widths);
        QFETCH(int, width);
        QFETCH(QStringList, expected);
        ReportLine line = lineOf(widths);
        line.normalise(width);
        QCOMPARE(shape(line), expected);
        QVERIFY(unusedAreEmptyFillers(line));
    }

    void layoutHits_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("item");
        // Line 1: 59, 5 and 26 characters of 90 across 4..629, edges at 414
        // and 449; line 2 one cell; the totals row from 355.
        QTest::newRow("first cell") << 1.0 << QPoint(4, 75) << 1 << 1;
        QTest::newRow("left of an edge") << 1.0 << QPoint(413, 80) << 1 << 1;
        QTest::newRow("on an edge") << 1.0 << QPoint(414, 80) << 1 << 2;
        QTest::newRow("last cell's right edge") << 1.0 << QPoint(629, 94) << 1 << 3;
        QTest::newRow("second line") << 1.0 << QPoint(300, 95) << 2 << 1;
        QTest::newRow("below the lines") << 1.0 << QPoint(300, 115) << -1 << -1;
        QTest::newRow("left of the lines") << 1.0 << QPoint(3, 80) << -1 << -1;
        QTest::newRow("right of the lines") << 1.0 << QPoint(630, 80) << -1 << -1;
        QTest::newRow("above the lines") << 1.0 << QPoint(300, 74) << -1 << -1;
        QTest::newRow("totals row") << 1.0 << QPoint(4, 355) << ReportLayout::TotalsLine << 1;
        QTest::newRow("totals row's last cell") << 1.0 << QPoint(629, 374) << ReportLayout::TotalsLine << 13;
        QTest::newRow("below the totals row") << 1.0 << QPoint(300, 375) << -1 << -1;
        QTest::newRow("scaled: second cell") << 1.25 << QPoint(517, 94) << 1 << 2;
        QTest::newRow("scaled: first cell") << 1.25 << QPoint(516, 118) << 1 << 1;
        QTest::newRow("scaled: second line") << 1.25 << QPoint(100, 119) << 2 << 1;
        QTest::newRow("scaled: right edge") << 1.25 << QPoint(786, 100) << 1 << 3;
        QTest::newRow("scaled: beyond") << 1.25 << QPoint(787, 100) << -1 << -1;
    }

    void layoutHits()
    {
        QFETCH(double, scale);
        QFETCH(QPoint, at);
        QFETCH(int, line);
        QFETCH(int, item);
        ReportDefinition d = BuiltInReports::all()[0];
        d.numLines = 2;
        const ReportLayout layout(scale, 90, d.numLines);
        const ReportLayout::Hit hit = layout.hit(at, d);
        QCOMPARE(hit.line, line);
        QCOMPARE(hit.item, item);
    }

    // The cells are drawn across the drawing's width whatever the line holds:
    // a line wider than the report ends at the right edge all the same.
    void layoutCells()
    {
        const ReportLayout layout(1.0, 90, 1);
        const std::vector<QRect> cells = layout.cells(BuiltInReports::all()[0].totalsLine, ReportLayout::TotalsLine);
        QCOMPARE(int(cells.size()), 13);
        QCOMPARE(cells.front().left(), layout.left());
        QCOMPARE(cells.back().right(), layout.right());
        for (std::size_t i = 1; i < cells.size(); ++i) {
            QCOMPARE(cells[i].left(), cells[i - 1].right());
            QVERIFY(cells[i].right() <= layout.right());
        }
        QCOMPARE(cells.front().top(), 355);
        QCOMPARE(cells.front().height(), 21);
    }

    void margins_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<int>("refused");
        QTest::addColumn<QString>("message");
        const QString tooLittleAcross =
            u"The Left and Right Margins leave less than one inch of the page to print on.  Please correct."_s;
        QTest::newRow("usual") << QStringList{"0.50", "0.50", "0.75", " 1 "} << -1 << QString();
        QTest::newRow("not a number")
            << QStringList{"0.50", "half", "0.5", "0.5"} << 1
            << u"Invalid Bottom Margin specified.  Margins are inches, 0 or more.  Please correct."_s;
        QTest::newRow("empty") << QStringList{"", "0.5", "0.5", "0.5"} << 0
                               << u"Invalid Top Margin specified.  Margins are inches, 0 or more.  Please correct."_s;
        QTest::newRow("negative")
            << QStringList{"0.5", "0.5", "0.5", "-0.1"} << 3
            << u"Invalid Right Margin specified.  Margins are inches, 0 or more.  Please correct."_s;
        QTest::newRow("no room across") << QStringList{"0.5", "0.5", "4.00", "3.60"} << 2 << tooLittleAcross;
        QTest::newRow("no room across, the right larger")
            << QStringList{"0.5", "0.5", "3", "4.6"} << 3 << tooLittleAcross;
        QTest::newRow("an inch across left") << QStringList{"0.5", "0.5", "3", "4.5"} << -1 << QString();
        QTest::newRow("no room down")
            << QStringList{"5", "5.1", "0.5", "0.5"} << 1
            << u"The Top and Bottom Margins leave less than one inch of the page to print on.  Please correct."_s;
    }

    // On Letter paper, 8.5 by 11 inches.
    void margins()
    {
        QFETCH(QStringList, typed);
        QFETCH(int, refused);
        QFETCH(QString, message);
        const ReportDesign::Margins margins =
            ReportDesign::readMargins({typed[0], typed[1], typed[2], typed[3]}, QSizeF(8.5, 11));
        QCOMPARE(margins.refused, refused);
        QCOMPARE(margins.message, message);
        if (refused < 0)
            QCOMPARE(margins.inches[3], typed[3].trimmed().toDouble());
    }

    void numLinesRules()
    {
        QCOMPARE(ReportDesign::checkedNumLines(u"12"_s), std::optional<int>(12));
        QCOMPARE(ReportDesign::checkedNumLines(u" 0"_s), std::optional<int>(0));
        for (const QString &refused : {u"13"_s, u"-1"_s, u"x"_s, QString()})
            QVERIFY(!ReportDesign::checkedNumLines(refused));
        QCOMPARE(ReportDesign::readInteger(u"13"_s), 13);
        QCOMPARE(ReportDesign::readInteger(u"two"_s), 0);
    }

    // A report made from nothing through the designer's windows, saved, and
    // printed to a text file.
    void designedReportIsSavedAndPrinted()
    {
        ReportSession s({u"Mann"_s, u"Austen"_s, u"Musil"_s, u"Mann"_s});
        s.show();
        QString caption;
        bool deleteEnabled = true;
        QString bodyFont;
        QString nameLabel;
        TestSupport::whenModal([&] {
            QWidget *designer = activateModal();
            caption = designer->windowTitle();
            deleteEnabled = control("DeleteButton")->isEnabled();
            bodyFont = control<QLineEdit>("RepBodyDataFont")->text();
            QVERIFY(control<QRadioButton>("Chars90")->isChecked());
            typeInto(control<QLineEdit>("ReportName"), u"Authors and Titles"_s);
            typeInto(control<QLineEdit>("Title1"), u"My Books"_s);
            control("DateOnPage")->click();
            control("HorzLines")->click();
            typeInto(control<QLineEdit>("LeftMargin"), u"0.75"_s);
            TestSupport::whenModal([&] {
                activateModal();
                nameLabel = control<QLabel>("ReportNameLabel")->text();
                clickCell(1, 1, [] { choosePart("RadioLabel", -1, u"7"_s, u" Title:"_s); });
                clickCell(1, 2, [] { choosePart("RadioField", 0, u"30"_s); });
                clickCell(1, 3, [] { choosePart("RadioField", 1, u"0"_s); });
                clickCell(ReportLayout::TotalsLine, 1, [] { choosePart("RadioLabel", -1, u"10"_s, u"Books:"_s); });
                clickCell(ReportLayout::TotalsLine, 2, [] { choosePart("RadioField", 4, u"0"_s); });
                control("OkButton")->click();
            });
            control("SpecifyButton")->click();
            control("UpdateButton")->click();
        });
        s.click(u"NewButton"_s);
        QCOMPARE(caption, u"Report Definition"_s);
        QVERIFY(!deleteEnabled);
        QCOMPARE(bodyFont, u"Courier New 10pt"_s);
        QCOMPARE(nameLabel, u"Report: Authors and Titles"_s);
        QVERIFY(MessageService::shown().isEmpty());

        QCOMPARE(s.list()->count(), 9);
        QCOMPARE(s.list()->selectedItems().value(0)->text(), u"Authors and Titles"_s);
        ReportDefinition saved;
        QVERIFY(s.file().load(8, saved));
        QCOMPARE(saved.name, u"Authors and Titles"_s);
        QCOMPARE(saved.leftMargin, 0.75);
        QVERIFY(!saved.dateOnPages && !saved.horzLines && saved.vertLines);
        QCOMPARE(shape(saved.bodyLines[0]), QStringList({"7", "30", "53"}));
        QCOMPARE(saved.bodyLines[0].elements[0].labelText, u"Title:"_s);
        QCOMPARE(saved.bodyLines[0].elements[1].name, u"Title"_s);
        QCOMPARE(saved.bodyLines[0].elements[2].fieldNo, 2);
        QCOMPARE(saved.totalsLine.elements[1].name, u"Quantity"_s);
        QCOMPARE(saved.totalsLine.elements[1].fieldNo, 5);

        const QString path = s.f.path(u"designed.txt"_s);
        DialogService::queueResult(path);
        s.closeStatusWhenDone();
        s.click(u"FileButton"_s);
        QCOMPARE(QString::fromUtf8(TestSupport::readAll(path)),
                 QString::fromUtf8(TestSupport::readAll(TestSupport::dataPath(u"reports/designed.txt"_s))));
    }

    // 90 -> 150 -> 120 -> 90: the questions on the way down, the notices, the
    // body font, and the lines made each width, cut text not coming back.
    void widthChanges()
    {
        ReportSession s;
        s.show();
        s.select(0);
        QStringList lines;
        QString bodyFont;
        bool back120 = false;
        TestSupport::whenModal([&] {
            activateModal();
            auto *designer = qobject_cast<TUserReport *>(QApplication::activeModalWidget());
            control("Chars150")->click();
            lines << u"150: "_s + control<QLineEdit>("RepBodyDataFont")->text();
            MessageService::queueAnswer(MessageService::Yes);
            control("Chars120")->click();
            lines << u"120: "_s + control<QLineEdit>("RepBodyDataFont")->text();
            MessageService::queueAnswer(MessageService::No);
            control("Chars90")->click();
            back120 = control<QRadioButton>("Chars120")->isChecked() && designer->designerWidth() == 120;
            MessageService::queueAnswer(MessageService::Yes);
            control("Chars90")->click();
            bodyFont = control<QLineEdit>("RepBodyDataFont")->text();
            control("Chars120")->click(); // growing asks nothing
            control("UpdateButton")->click();
        });
        s.click(u"ModifyButton"_s);
        QCOMPARE(lines, QStringList({u"150: Arial 6pt"_s, u"120: Arial 8pt"_s}));
        QVERIFY(back120);
        QCOMPARE(bodyFont, u"Arial 10pt"_s);
        QStringList shown;
        for (const MessageService::Shown &m : MessageService::shown())
            shown << m.caption + u": "_s + m.text.left(40);
        QCOMPARE(shown, QStringList({
                            u"Notice: The Report Body font size has been set to a 6 P"_s.left(48),
                            u"Warning: Switching to 120 characters from 150 will tru"_s.left(49),
                            u"Notice: The Report Body font size has been set to a 8 P"_s.left(48),
                            u"Warning: Switching to 90 characters from 120 or 150 wil"_s.left(49),
                            u"Warning: Switching to 90 characters from 120 or 150 wil"_s.left(49),
                            u"Notice: The Report Body font size has been set to a 8 P"_s.left(48),
                        }));
        QCOMPARE(MessageService::shown()[2].text,
                 u"The Report Body font size has been set to a 8 Point default size as."_s);
        QCOMPARE(MessageService::shown()[1].buttons, MessageService::Yes | MessageService::No);
        ReportDefinition saved;
        QVERIFY(s.file().load(0, saved));
        QCOMPARE(saved.width, 120);
        QCOMPARE(saved.bodyFont.size, 8);
        QCOMPARE(shape(saved.bodyLines[0]), QStringList({"59", "5", "26", "-30"}));
        QCOMPARE(shape(saved.totalsLine), shape(BuiltInReports::all()[0].totalsLine));
    }

    void rename_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("names");
        const QStringList builtIn = [] {
            QStringList names;
            for (const ReportDefinition &d : BuiltInReports::all())
                names << d.name;
            return names;
        }();
        QTest::newRow("Yes saves a new report") << int(MessageService::Yes) << (QStringList(builtIn) << u"Two Lines"_s);
        QStringList overwritten = builtIn;
        overwritten[1] = u"Two Lines"_s;
        QTest::newRow("No overwrites the old one") << int(MessageService::No) << overwritten;
        QTest::newRow("Cancel goes back") << int(MessageService::Cancel) << builtIn;
    }

    void rename()
    {
        QFETCH(int, answer);
        QFETCH(QStringList, names);
        ReportSession s;
        s.show();
        s.select(1);
        bool deleteEnabled = true;
        bool stayed = false;
        TestSupport::whenModal([&] {
            activateModal();
            auto *name = control<QLineEdit>("ReportName");
            typeInto(name, u"  Two Lines"_s);
            leave(name);
            deleteEnabled = control("DeleteButton")->isEnabled();
            MessageService::queueAnswer(answer);
            control("UpdateButton")->click();
            stayed = QApplication::activeModalWidget() && QApplication::activeModalWidget()->isVisible();
        });
        s.click(u"ModifyButton"_s);
        QVERIFY(!deleteEnabled);
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown().first().caption, u"Warning"_s);
        QVERIFY(MessageService::shown().first().text.startsWith(u"Report Title has changed!  Do you wish"_s));
        QCOMPARE(stayed, answer == MessageService::Cancel);
        QCOMPARE(s.file().list(), names);
        QStringList listed;
        for (int i = 0; i < s.list()->count(); ++i)
            listed << s.list()->item(i)->text();
        QCOMPARE(listed, names);
        if (answer != MessageService::Cancel)
            QCOMPARE(s.list()->selectedItems().value(0)->text(), u"Two Lines"_s);
    }

    void deleteAsksFirst()
    {
        ReportSession s;
        s.show();
        s.select(2);
        bool stayedOnNo = false;
        TestSupport::whenModal([&] {
            activateModal();
            MessageService::queueAnswer(MessageService::No);
            control("DeleteButton")->click();
            stayedOnNo = QApplication::activeModalWidget()->isVisible();
            MessageService::queueAnswer(MessageService::Yes);
            control("DeleteButton")->click();
        });
        s.click(u"ModifyButton"_s);
        QVERIFY(stayedOnNo);
        QCOMPARE(MessageService::shown().size(), 2);
        QCOMPARE(MessageService::shown().first().text, u"Are you sure you want to delete this report?"_s);
        QCOMPARE(MessageService::shown().first().icon, MessageService::Icon::Question);
        QCOMPARE(s.file().list().size(), 7);
        QVERIFY(!s.file().list().contains(u"4 Line Report"_s));
        QCOMPARE(s.list()->count(), 7);
        QVERIFY(s.list()->selectedItems().isEmpty());
    }

    // Lines per book outside 0-12 are taken on leaving the edit (only the
    // rules' boxes follow them) and refused by Specify Report Content and
    // Update.
    void numLinesRefused()
    {
        ReportSession s;
        s.show();
        QStringList focused;
        bool rulesOff = false;
        TestSupport::whenModal([&] {
            activateModal();
            typeInto(control<QLineEdit>("ReportName"), u"Lines"_s);
            auto *numLines = control<QLineEdit>("NumLines");
            typeInto(numLines, u"13"_s);
            leave(numLines);
            rulesOff = !control("ColumnHeaders")->isEnabled() && !control("VertLines")->isEnabled();
            control("SpecifyButton")->click();
            focused << QApplication::activeModalWidget()->focusWidget()->objectName();
            typeInto(numLines, u"-1"_s);
            control("UpdateButton")->click();
            focused << QApplication::activeModalWidget()->focusWidget()->objectName();
            typeInto(numLines, u"x"_s);
            leave(numLines);
            focused << numLines->text();
        });
        s.click(u"NewButton"_s);
        QVERIFY(rulesOff);
        QCOMPARE(focused, QStringList({u"NumLines"_s, u"NumLines"_s, u"0"_s}));
        QCOMPARE(MessageService::shown().size(), 2);
        for (const MessageService::Shown &shown : MessageService::shown()) {
            QCOMPARE(shown.caption, u"Notice"_s);
            QCOMPARE(shown.text, NumLinesRefusal);
            QCOMPARE(shown.icon, MessageService::Icon::Warning);
        }
        QCOMPARE(s.file().list().size(), 8);
    }

    void marginsRefusedOnUpdate()
    {
        ReportSession s;
        s.show();
        s.select(0);
        QString focused;
        TestSupport::whenModal([&] {
            activateModal();
            typeInto(control<QLineEdit>("LeftMargin"), u"4"_s);
            typeInto(control<QLineEdit>("RightMargin"), u"4.5"_s);
            control("UpdateButton")->click();
            focused = QApplication::activeModalWidget()->focusWidget()->objectName();
        });
        s.click(u"ModifyButton"_s);
        QCOMPARE(focused, u"RightMargin"_s);
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown().first().caption, u"Error"_s);
        QVERIFY(MessageService::shown().first().text.startsWith(u"The Left and Right Margins leave"_s));
        ReportDefinition stored;
        QVERIFY(s.file().load(0, stored));
        QCOMPARE(stored, BuiltInReports::all()[0]);
    }

    void partRefusals()
    {
        ReportSession s;
        s.show();
        QStringList messages;
        QStringList focused;
        QString partLabel;
        TestSupport::whenModal([&] {
            activateModal();
            TestSupport::whenModal([&] {
                activateModal();
                clickCell(1, 1, [&] {
                    activateModal();
                    partLabel = control<QLabel>("SelPartLabel")->text();
                    for (const QString &width : {u"abc"_s, u"-1"_s}) {
                        typeInto(control<QLineEdit>("FieldWidth"), width);
                        control("OkButton")->click();
                        focused << QApplication::activeModalWidget()->focusWidget()->objectName();
                    }
                    typeInto(control<QLineEdit>("FieldWidth"), u"10"_s);
                    control("RadioField")->click();
                    control("OkButton")->click();
                    focused << QApplication::activeModalWidget()->focusWidget()->objectName();
                    control("CancelButton")->click();
                });
                control("CancelButton")->click();
            });
            control("SpecifyButton")->click();
            control("CancelButton")->click();
        });
        s.click(u"NewButton"_s);
        QCOMPARE(partLabel, u"Line 1, Item 1"_s);
        for (const MessageService::Shown &shown : MessageService::shown())
            messages << shown.text;
        QCOMPARE(messages, QStringList({u"Invalid width entered.  Please correct."_s,
                                        u"Invalid width entered.  Please correct."_s,
                                        u"No field has been selected.  Please choose one from the Fields list."_s}));
        QCOMPARE(focused, QStringList({u"FieldWidth"_s, u"FieldWidth"_s, u"FieldList"_s}));
        QCOMPARE(s.report->currentReport().bodyLines[0], ReportLine::undesigned());
    }

    // Layout's Cancel drops what was done in it; its Ok keeps it in the
    // definition, which Cancel in the designer does not save.
    void layoutOkAndCancel()
    {
        ReportSession s;
        s.show();
        s.select(4);
        const ReportDefinition before = BuiltInReports::all()[4];
        QStringList afterCancel, afterOk;
        TestSupport::whenModal([&] {
            activateModal();
            for (bool keep : {false, true}) {
                TestSupport::whenModal([&, keep] {
                    activateModal();
                    clickCell(1, 2, [] { choosePart("RadioFiller", -1, u"20"_s); });
                    control(keep ? "OkButton" : "CancelButton")->click();
                });
                control("SpecifyButton")->click();
                (keep ? afterOk : afterCancel) = shape(s.report->currentReport().bodyLines[0]);
            }
            control("CancelButton")->click();
        });
        s.click(u"ModifyButton"_s);
        QCOMPARE(afterCancel, shape(before.bodyLines[0]));
        QCOMPARE(afterOk, QStringList({"60", "-20", "-10"}));
        ReportDefinition stored;
        QVERIFY(s.file().load(4, stored));
        QCOMPARE(stored, before);
    }

    void fonts()
    {
        ReportSession s;
        s.show();
        s.select(0);
        QString inFontsWindow;
        QString inDesigner;
        TestSupport::whenModal([&] {
            activateModal();
            TestSupport::whenModal([&] {
                activateModal();
                QFont chosen(u"Liberation Mono"_s, 12);
                chosen.setBold(true);
                chosen.setUnderline(true);
                DialogService::queueResult(QVariantList{chosen, QColor(255, 0, 0)});
                control("TitleFontButton")->click();
                control("BodyFontButton")->click(); // cancelled: nothing queued
                // Arial is offered as the face it prints in, and keeps its name.
                DialogService::queueResult(QVariantList{QFont(u"Liberation Sans"_s, 9), QColor(Qt::black)});
                control("FootnoteFontButton")->click();
                inFontsWindow =
                    control<QLineEdit>("TitleFont")->text() + u" / "_s + control<QLineEdit>("BodyFont")->text();
                control("OkButton")->click();
            });
            control("SetFonts")->click();
            inDesigner = control<QLineEdit>("TitleLineFont")->text();
            control("UpdateButton")->click();
        });
        s.click(u"ModifyButton"_s);
        QCOMPARE(inFontsWindow, u"Liberation Mono 12pt / Arial 10pt"_s);
        QCOMPARE(inDesigner, u"Liberation Mono 12pt"_s);
        ReportDefinition stored;
        QVERIFY(s.file().load(0, stored));
        QCOMPARE(stored.titleFont.name, u"Liberation Mono"_s);
        QCOMPARE(stored.titleFont.size, 12);
        QVERIFY(stored.titleFont.bold && stored.titleFont.underline && !stored.titleFont.italic);
        QCOMPARE(stored.titleFont.color, 255);
        QCOMPARE(stored.bodyFont, BuiltInReports::all()[0].bodyFont);
        QCOMPARE(stored.footnoteFont.name, u"Arial"_s);
        QCOMPARE(stored.footnoteFont.size, 9);
    }
};

SHELFMARK_TEST(TestReportDesigner)
#include "TestReportDesigner.moc"
