#include "TestSupport.h"

#include "config/ColorPresets.h"
#include "config/TColorConfig.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/WinColor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace {

ColorSet defaultSet()
{
    return Settings(QString{}).mainColors;
}

QColor color(QWidget *widget, QPalette::ColorRole role)
{
    return widget->palette().color(role);
}

QColor slotColor(const ColorSet &set, int slot)
{
    return WinColor::toQColor(set[slot]);
}

// Chooses a list entry as the user does: the index changes and the choice is announced.
void choosePreset(TColorConfig &dialog, int entry)
{
    auto *list = dialog.findChild<QComboBox *>(QStringLiteral("ColorSets"));
    list->setCurrentIndex(entry);
    emit list->activated(entry);
}

void click(TColorConfig &dialog, const QString &button)
{
    dialog.findChild<QPushButton *>(button)->click();
}

} // namespace

class TestColorConfig : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::installMessageFilter(); }
    void init() { DialogService::startRecording(); }
    void cleanup() { DialogService::stopRecording(); }

    void listOffersAnEmptyEntryAndTheTwelvePresets()
    {
        TColorConfig dialog(ColorTarget::Main, defaultSet(), {}, 1.0);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Color Configuration"));
        auto *list = dialog.findChild<QComboBox *>(QStringLiteral("ColorSets"));
        QCOMPARE(list->count(), 13);
        QCOMPARE(list->itemText(0), QString());
        QCOMPARE(list->itemText(1), QStringLiteral("Monochrome"));
        QCOMPARE(list->itemText(12), QStringLiteral("Camouflage"));
        QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("Ok"))->text(), QStringLiteral("&Ok"));
        QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("Cancel"))->text(), QStringLiteral("&Cancel"));
        QCOMPARE(dialog.findChild<QLineEdit *>(QStringLiteral("EditBox"))->text(), QStringLiteral("Sample Text"));
        QCOMPARE(dialog.findChild<QListWidget *>(QStringLiteral("ListBox"))->count(), 2);
    }

    void eachButtonSetsItsOwnSlot_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("slot");
        QTest::newRow("MainBack") << "MainBack"
                                  << "Background" << int(MainBackground);
        QTest::newRow("MajorTitles") << "MajorTitles"
                                     << "Major Titles" << int(MajorTitle);
        QTest::newRow("MinorTitles") << "MinorTitles"
                                     << "Minor Titles" << int(MinorTitle);
        QTest::newRow("EditBoxBack") << "EditBoxBack"
                                     << "Background" << int(EditBackground);
        QTest::newRow("EditBoxText") << "EditBoxText"
                                     << "Text" << int(EditText);
        QTest::newRow("ComboBack") << "ComboBack"
                                   << "Background" << int(ComboBackground);
        QTest::newRow("ComboText") << "ComboText"
                                   << "Text" << int(ComboText);
        QTest::newRow("ListBack") << "ListBack"
                                  << "Background" << int(ListBoxBackground);
        QTest::newRow("ListText") << "ListText"
                                  << "Text" << int(ListBoxText);
        QTest::newRow("RadioBack") << "RadioBack"
                                   << "Background" << int(RadioBackground);
        QTest::newRow("RadioText") << "RadioText"
                                   << "Text" << int(RadioText);
        QTest::newRow("CheckBack") << "CheckBack"
                                   << "Background" << int(CheckBackground);
        QTest::newRow("CheckText") << "CheckText"
                                   << "Text" << int(CheckText);
    }

    void eachButtonSetsItsOwnSlot()
    {
        QFETCH(QString, button);
        QFETCH(QString, caption);
        QFETCH(int, slot);
        TColorConfig dialog(ColorTarget::Edit, defaultSet(), {}, 1.0);
        QCOMPARE(dialog.findChild<QPushButton *>(button)->text(), caption);
        const QColor chosen(10, 20, 30);
        DialogService::queueResult(chosen);
        click(dialog, button);
        ColorSet expected = defaultSet();
        expected[slot] = WinColor::fromQColor(chosen);
        QCOMPARE(dialog.workingSet(), expected);
    }

    void cancelledColorDialogKeepsTheSlot()
    {
        TColorConfig dialog(ColorTarget::Main, defaultSet(), {}, 1.0);
        click(dialog, QStringLiteral("MainBack"));
        QCOMPARE(DialogService::requests().size(), 1);
        QCOMPARE(dialog.workingSet(), defaultSet());
    }

    void emptyEntryChangesNothing()
    {
        TColorConfig dialog(ColorTarget::Main, defaultSet(), {}, 1.0);
        choosePreset(dialog, 3);
        const ColorSet afterPreset = dialog.workingSet();
        choosePreset(dialog, 0);
        QCOMPARE(dialog.workingSet(), afterPreset);
    }

    void presetThenSingleColourKeepsBoth()
    {
        TColorConfig dialog(ColorTarget::Main, defaultSet(), {}, 1.0);
        choosePreset(dialog, 9); // Wine
        ColorSet expected = defaultSet();
        ColorPresets::apply(9, expected);
        QCOMPARE(dialog.workingSet(), expected);

        DialogService::queueResult(QColor(1, 2, 3));
        click(dialog, QStringLiteral("ListBack"));
        expected[ListBoxBackground] = WinColor::fromQColor(QColor(1, 2, 3));
        QCOMPARE(dialog.workingSet(), expected);
    }

    void samplesShowTheWorkingSet()
    {
        TColorConfig dialog(ColorTarget::Main, defaultSet(), {}, 1.0);
        dialog.show();
        choosePreset(dialog, 5); // Easter Pastel
        const ColorSet &set = dialog.workingSet();
        QCOMPARE(color(&dialog, QPalette::Window), slotColor(set, MainBackground));
        auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("EditBox"));
        QCOMPARE(color(edit, QPalette::Base), slotColor(set, EditBackground));
        QCOMPARE(color(edit, QPalette::Text), slotColor(set, EditText));
        for (const QString &name : {QStringLiteral("ComboBox"), QStringLiteral("ColorSets")})
            QCOMPARE(color(dialog.findChild<QComboBox *>(name), QPalette::Base), slotColor(set, ComboBackground));
        QCOMPARE(color(dialog.findChild<QListWidget *>(QStringLiteral("ListBox")), QPalette::Text),
                 slotColor(set, ListBoxText));
        QCOMPARE(color(dialog.findChild<QRadioButton *>(QStringLiteral("RadioButton")), QPalette::Window),
                 slotColor(set, RadioBackground));
        QCOMPARE(color(dialog.findChild<QCheckBox *>(QStringLiteral("CheckBox")), QPalette::WindowText),
                 slotColor(set, CheckText));

        // Headings in the major-title colour, the preset caption in the minor one.
        const QList<QLabel *> labels = dialog.findChildren<QLabel *>();
        int headings = 0;
        for (QLabel *label : labels) {
            if (label->text() == QLatin1String("Predefined Color Combinations")) {
                QCOMPARE(color(label, QPalette::WindowText), slotColor(set, MinorTitle));
            } else {
                QCOMPARE(color(label, QPalette::WindowText), slotColor(set, MajorTitle));
                ++headings;
            }
        }
        QCOMPARE(headings, 6);

        DialogService::queueResult(QColor(7, 8, 9));
        click(dialog, QStringLiteral("EditBoxBack"));
        QCOMPARE(color(edit, QPalette::Base), QColor(7, 8, 9));
    }

    void okForAllGivesTheWorkingSetStartedFromMain()
    {
        Settings settings(QString{});
        settings.editColors[MainBackground] = 111;
        settings.searchColors[EditText] = 222;
        TColorConfig dialog(ColorTarget::All, ColorTarget::initialSet(settings, ColorTarget::All), {}, 1.0);
        QCOMPARE(dialog.workingSet(), settings.mainColors);
        ColorSet ocean = settings.mainColors;
        QVERIFY(ColorPresets::apply(6, ocean));
        choosePreset(dialog, 6);
        QTimer::singleShot(0, &dialog, [&dialog] { click(dialog, QStringLiteral("Ok")); });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        ColorTarget::store(settings, dialog.target(), dialog.workingSet());
        for (const ColorSet *set : {&settings.mainColors, &settings.editColors, &settings.searchColors,
                                    &settings.reportColors, &settings.configureColors})
            QCOMPARE(*set, ocean);
    }

    void cancelRejects()
    {
        TColorConfig dialog(ColorTarget::Report, defaultSet(), {}, 1.0);
        choosePreset(dialog, 2);
        QTimer::singleShot(0, &dialog, [&dialog] { click(dialog, QStringLiteral("Cancel")); });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    }
};

SHELFMARK_TEST(TestColorConfig)
#include "TestColorConfig.moc"
