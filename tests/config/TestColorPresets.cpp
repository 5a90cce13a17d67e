#include "TestSupport.h"

#include "config/ColorPresets.h"
#include "framework/ui/WinColor.h"

#include <QTest>

namespace {

int rgb(int red, int green, int blue)
{
    return WinColor::fromQColor(QColor(red, green, blue));
}

// A set in which every slot differs, so that a slot left alone shows.
ColorSet distinctSet()
{
    ColorSet set{};
    for (int i = 0; i < ColorSlotCount; ++i)
        set[i] = 1000 + i;
    return set;
}

} // namespace

class TestColorPresets : public QObject
{
    Q_OBJECT

private slots:
    void presetFillsSixSlotsAndDerivesTheRest_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("background");
        QTest::addColumn<int>("majorTitles");
        QTest::addColumn<int>("minorTitles");
        QTest::addColumn<int>("editBackground");
        QTest::addColumn<int>("editText");
        QTest::addColumn<int>("radioText");

        const auto row = [](int entry, const char *name, QColor bg, QColor major, QColor minor, QColor editBg,
                            QColor editText, QColor radioText) {
            QTest::newRow(name) << entry << QString::fromLatin1(name) << WinColor::fromQColor(bg)
                                << WinColor::fromQColor(major) << WinColor::fromQColor(minor)
                                << WinColor::fromQColor(editBg) << WinColor::fromQColor(editText)
                                << WinColor::fromQColor(radioText);
        };
        row(1, "Monochrome", {255, 255, 255}, {0, 0, 0}, {0, 0, 0}, {255, 255, 255}, {0, 0, 0}, {0, 0, 0});
        row(2, "Gray Mist", {192, 192, 192}, {0, 0, 0}, {0, 0, 0}, {255, 255, 255}, {0, 0, 0}, {0, 0, 0});
        row(3, "Midnight Black", {0, 0, 0}, {192, 192, 192}, {255, 255, 255}, {127, 127, 127}, {0, 0, 0},
            {255, 255, 255});
        row(4, "Desert Sunset", {255, 255, 128}, {0, 0, 0}, {0, 0, 0}, {255, 255, 0}, {0, 0, 0}, {0, 0, 0});
        row(5, "Easter Pastel", {255, 128, 255}, {0, 0, 255}, {0, 0, 0}, {128, 0, 128}, {0, 255, 255}, {0, 0, 0});
        row(6, "Ocean Blue", {0, 255, 255}, {255, 0, 0}, {0, 0, 0}, {255, 255, 255}, {0, 0, 128}, {0, 0, 0});
        row(7, "Fiery Red", {255, 0, 0}, {0, 0, 128}, {0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 0, 0});
        row(8, "Christmas Season", {0, 255, 0}, {255, 255, 255}, {255, 0, 0}, {255, 0, 0}, {255, 255, 255},
            {255, 0, 0});
        row(9, "Wine", {128, 0, 64}, {255, 0, 0}, {255, 0, 255}, {128, 0, 128}, {255, 0, 0}, {255, 0, 255});
        row(10, "More Pastels", {0, 255, 128}, {255, 0, 255}, {128, 0, 128}, {0, 255, 255}, {0, 0, 255}, {128, 0, 128});
        row(11, "Green Glow", {0, 0, 0}, {0, 255, 0}, {0, 255, 0}, {0, 255, 0}, {0, 0, 0}, {0, 255, 0});
        row(12, "Camouflage", {128, 128, 0}, {0, 128, 0}, {127, 127, 127}, {0, 128, 128}, {192, 192, 192},
            {127, 127, 127});
    }

    void presetFillsSixSlotsAndDerivesTheRest()
    {
        QFETCH(int, entry);
        QFETCH(QString, name);
        QFETCH(int, background);
        QFETCH(int, majorTitles);
        QFETCH(int, minorTitles);
        QFETCH(int, editBackground);
        QFETCH(int, editText);
        QFETCH(int, radioText);

        QCOMPARE(QString::fromLatin1(ColorPresets::presets()[entry - 1].name), name);
        ColorSet set = distinctSet();
        QVERIFY(ColorPresets::apply(entry, set));
        const ColorSet expected = {background,     majorTitles, minorTitles,    editBackground, editText,
                                   editBackground, editText,    editBackground, editText,       background,
                                   radioText,      background,  radioText};
        QCOMPARE(set, expected);
    }

    void entriesOutsideThePresetsChangeNothing_data()
    {
        QTest::addColumn<int>("entry");
        QTest::newRow("empty first entry") << 0;
        QTest::newRow("past the last") << 13;
        QTest::newRow("negative") << -1;
    }

    void entriesOutsideThePresetsChangeNothing()
    {
        QFETCH(int, entry);
        ColorSet set = distinctSet();
        QVERIFY(!ColorPresets::apply(entry, set));
        QCOMPARE(set, distinctSet());
    }

    void targetStartsFromItsOwnSet_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<int>("firstColor");
        QTest::newRow("main") << int(ColorTarget::Main) << 1;
        QTest::newRow("edit") << int(ColorTarget::Edit) << 2;
        QTest::newRow("search") << int(ColorTarget::Search) << 3;
        QTest::newRow("report") << int(ColorTarget::Report) << 4;
        QTest::newRow("configure") << int(ColorTarget::Configure) << 5;
        QTest::newRow("all starts from main") << int(ColorTarget::All) << 1;
    }

    void targetStartsFromItsOwnSet()
    {
        QFETCH(int, target);
        QFETCH(int, firstColor);
        Settings settings(QString{});
        settings.mainColors[0] = 1;
        settings.editColors[0] = 2;
        settings.searchColors[0] = 3;
        settings.reportColors[0] = 4;
        settings.configureColors[0] = 5;
        QCOMPARE(ColorTarget::initialSet(settings, target)[0], firstColor);
    }

    void storeReachesOnlyItsTarget()
    {
        const ColorSet chosen = distinctSet();
        for (int target = ColorTarget::Main; target <= ColorTarget::Configure; ++target) {
            Settings settings(QString{});
            const Settings before = settings;
            ColorTarget::store(settings, target, chosen);
            QCOMPARE(ColorTarget::initialSet(settings, target), chosen);
            for (int other = ColorTarget::Main; other <= ColorTarget::Configure; ++other) {
                if (other != target)
                    QCOMPARE(ColorTarget::initialSet(settings, other), ColorTarget::initialSet(before, other));
            }
        }
    }

    void storeForAllOverwritesEverySet()
    {
        Settings settings(QString{});
        settings.editColors[MainBackground] = rgb(1, 2, 3);
        settings.reportColors[EditText] = rgb(4, 5, 6);
        const ColorSet chosen = distinctSet();
        ColorTarget::store(settings, ColorTarget::All, chosen);
        for (const ColorSet *set : {&settings.mainColors, &settings.editColors, &settings.searchColors,
                                    &settings.reportColors, &settings.configureColors})
            QCOMPARE(*set, chosen);
    }
};

SHELFMARK_TEST(TestColorPresets)
#include "TestColorPresets.moc"
