#include "TestSupport.h"

#include "config/ViewerConfiguration.h"

#include <QTest>

using namespace ViewerConfiguration;

namespace {

std::array<QString, Count> defaultNames()
{
    return Settings(QString{}).displayNames;
}

} // namespace

class TestViewerConfiguration : public QObject
{
    Q_OBJECT

private slots:
    void widthIsAWholeNumberFromOneTo255_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::newRow("plain") << "25" << 25;
        QTest::newRow("blanks around") << "  40 " << 40;
        QTest::newRow("lowest") << "1" << 1;
        QTest::newRow("highest") << "255" << 255;
        QTest::newRow("zero") << "0" << 10;
        QTest::newRow("too wide") << "300" << 10;
        QTest::newRow("just too wide") << "256" << 10;
        QTest::newRow("negative") << "-5" << 10;
        QTest::newRow("word") << "wide" << 10;
        QTest::newRow("empty") << "" << 10;
        QTest::newRow("decimal") << "12.5" << 10;
        QTest::newRow("trailing letters") << "12ch" << 10;
        QTest::newRow("blank inside") << "1 2" << 10;
    }

    void widthIsAWholeNumberFromOneTo255()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QCOMPARE(ViewerConfiguration::width(text), width);
    }

    void duplicateNames_data()
    {
        // Two rows renamed (the same row twice renames one), then checked.
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("otherRow");
        QTest::addColumn<QString>("otherName");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("shared");

        QTest::newRow("defaults differ") << 1 << "Title" << 2 << "Author" << false << "";
        QTest::newRow("another field's name") << 5 << "Author" << 5 << "Author" << true << "Author";
        QTest::newRow("letter case counts") << 3 << "AUTHOR" << 3 << "AUTHOR" << false << "";
        QTest::newRow("two renamed alike") << 20 << "Shelf" << 30 << "Shelf" << true << "Shelf";
        QTest::newRow("two emptied") << 31 << "" << 36 << "" << true << "";
        QTest::newRow("trailing blank differs") << 4 << "Title " << 4 << "Title " << false << "";
        QTest::newRow("alike once cut to 20")
            << 31 << "Notes about the binding" << 32 << "Notes about the bindery" << true << "Notes about the bind";
    }

    void duplicateNames()
    {
        QFETCH(int, row);
        QFETCH(QString, name);
        QFETCH(int, otherRow);
        QFETCH(QString, otherName);
        QFETCH(bool, refused);
        QFETCH(QString, shared);
        std::array<QString, Count> names = defaultNames();
        names[row - 1] = name;
        names[otherRow - 1] = otherName;
        const auto found = duplicateName(names);
        QCOMPARE(found.has_value(), refused);
        if (found)
            QCOMPARE(found->name, shared);
    }

    void duplicateReportsTheFirstPair()
    {
        std::array<QString, Count> names = defaultNames();
        names[9] = QStringLiteral("Pages");  // row 10 takes row 24's name
        names[29] = QStringLiteral("Title"); // row 30 takes row 1's name
        const auto found = duplicateName(names);
        QVERIFY(found);
        QCOMPARE(found->first, 0);
        QCOMPARE(found->second, 29);
        QCOMPARE(found->name, QStringLiteral("Title"));
    }

    void duplicateMessageQuotesTheName()
    {
        QCOMPARE(duplicateMessage(QStringLiteral("Writer")),
                 QStringLiteral("Two field names have the same name \"Writer\".  Please change one."));
    }

    void orderAndPositionsAreInverse()
    {
        std::array<int, Count> positions = defaultOrder();
        std::reverse(positions.begin(), positions.end()); // Title last, UserDef6 first
        const std::array<int, Count> order = orderFromPositions(positions);
        QCOMPARE(order.front(), 36);
        QCOMPARE(order.back(), 1);
        QCOMPARE(positionsFromOrder(order), positions);
    }

    void brokenPositionsStillPlaceEveryFieldOnce()
    {
        std::array<int, Count> positions = defaultOrder();
        positions[0] = 3;  // Title shares position 3 with Publisher...
        positions[1] = 0;  // ...Author is before everything...
        positions[5] = 99; // ...and Where Purchased past the end.
        const std::array<int, Count> order = orderFromPositions(positions);
        QCOMPARE(order[0], 2);
        QCOMPARE(order[1], 1);
        QCOMPARE(order[2], 3);
        QCOMPARE(order[3], 4);
        QCOMPARE(order[Count - 1], 6);
        std::array<int, Count> sorted = order;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(sorted, defaultOrder());
    }

    void storeTakesTheClosingValues()
    {
        Settings settings(QString{});
        Grids grids = fromSettings(settings);
        QCOMPARE(grids.widths[0], QStringLiteral("15"));
        QCOMPARE(grids.shown[0], QStringLiteral("Yes"));
        QCOMPARE(grids.orderFields, defaultOrder());

        grids.names[1] = QStringLiteral("Writer of this very book");
        grids.widths[1] = QStringLiteral("wide");
        grids.widths[2] = QStringLiteral(" 7 ");
        grids.shown[2] = QStringLiteral("No");
        grids.shown[3] = QStringLiteral("yes"); // only exactly "Yes" shows
        std::swap(grids.orderFields[0], grids.orderFields[35]);
        store(grids, settings);

        QCOMPARE(settings.displayNames[1], QStringLiteral("Writer of this very "));
        QCOMPARE(settings.fieldWidths[1], 10);
        QCOMPARE(settings.fieldWidths[2], 7);
        QCOMPARE(settings.fieldWidths[0], 15);
        QVERIFY(settings.displayFields[0]);
        QVERIFY(!settings.displayFields[2]);
        QVERIFY(!settings.displayFields[3]);
        QCOMPARE(settings.fieldOrder[0], 36);
        QCOMPARE(settings.fieldOrder[35], 1);
        QCOMPARE(settings.fieldOrder[1], 2);
    }

    void fontTextNamesSizeAndFamily()
    {
        QCOMPARE(fontText(QFont(QStringLiteral("Arial"), 12)), QStringLiteral("12pt Arial"));
        QFont bold(QStringLiteral("Courier New"), 9);
        bold.setBold(true);
        QCOMPARE(fontText(bold), QStringLiteral("9pt Courier New"));
    }
};

SHELFMARK_TEST(TestViewerConfiguration)
#include "TestViewerConfiguration.moc"
