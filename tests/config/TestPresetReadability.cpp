#include "MainWindowFixture.h"
#include "TestSupport.h"

#include "app/Catalog.h"
#include "app/Settings.h"
#include "config/ColorPresets.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

// How far two colours lie apart: the largest difference of one channel.
int distance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// Whether text drawn in `area` of the window's picture stands out: the most
// common colour there is taken for the background, and enough pixels must
// differ from it clearly.
bool inkShows(const QImage &image, const QRect &area)
{
    const QRect inside = area.intersected(image.rect());
    if (inside.isEmpty())
        return false;
    QHash<QRgb, int> counts;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x)
            ++counts[image.pixel(x, y)];
    }
    QRgb background = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    }
    int ink = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (distance(it.key(), background) >= 64)
            ink += it.value();
    }
    return ink >= 6;
}

QRect mapped(QWidget *widget, QWidget *window, const QRect &rect)
{
    return QRect(widget->mapTo(window, rect.topLeft()), rect.size());
}

// The texts of a window that cannot be read on what lies under them: labels,
// the captions of check boxes, radio buttons and group boxes, tab captions and
// the menu bar's titles.
QStringList unreadable(QWidget *window)
{
    const QImage image = window->grab().toImage();
    QStringList faults;
    const auto check = [&](QWidget *widget, const QRect &area, const QString &text) {
        if (!inkShows(image, mapped(widget, window, area)))
            faults << QStringLiteral("%1 \"%2\"").arg(widget->objectName(), text);
    };
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(window) || widget->visibleRegion().isEmpty())
            continue;
        if (auto *label = qobject_cast<QLabel *>(widget)) {
            if (!label->text().trimmed().isEmpty())
                check(label, label->contentsRect(), label->text());
        } else if (qobject_cast<QCheckBox *>(widget) || qobject_cast<QRadioButton *>(widget)) {
            auto *button = static_cast<QAbstractButton *>(widget);
            // Beside the indicator, which shows whatever the colours.
            const int indicator = widget->style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                                  widget->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
            if (!button->text().isEmpty())
                check(button, widget->rect().adjusted(indicator, 0, 0, 0), button->text());
        } else if (auto *box = qobject_cast<QGroupBox *>(widget)) {
            QStyleOptionGroupBox option;
            option.initFrom(box);
            option.text = box->title();
            option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
            if (!box->title().isEmpty())
                check(box, box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box),
                      box->title());
        } else if (auto *tabs = qobject_cast<QTabBar *>(widget)) {
            for (int i = 0; i < tabs->count(); ++i)
                check(tabs, tabs->tabRect(i).adjusted(4, 4, -4, -2), tabs->tabText(i));
        } else if (auto *menus = qobject_cast<QMenuBar *>(widget)) {
            for (QAction *action : menus->actions())
                check(menus, menus->actionGeometry(action), action->text());
        }
    }
    return faults;
}

} // namespace

// Every colour preset leaves every text of the windows it colours readable:
// nothing drawn in the colour of what lies under it.
class TestPresetReadability : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::installMessageFilter(); }

    void textsStandOutInEveryPreset_data()
    {
        QTest::addColumn<int>("preset");
        QTest::addColumn<QString>("window");
        QTest::addColumn<std::function<void(TMain &)>>("open");
        const std::pair<const char *, std::function<void(TMain &)>> windows[] = {
            {"MyEdit", &TMain::MenuAddClick},
            {"ViewConfig", &TMain::MenuViewerClick},
            {"MySearch", &TMain::MenuSearchClick},
        };
        for (int preset = 1; preset <= ColorPresets::Count; ++preset) {
            for (const auto &[window, open] : windows)
                QTest::addRow("%s %s", ColorPresets::presets()[std::size_t(preset - 1)].name, window)
                    << preset << QString::fromLatin1(window) << open;
        }
    }

    void textsStandOutInEveryPreset()
    {
        QFETCH(int, preset);
        QFETCH(QString, window);
        QFETCH(std::function<void(TMain &)>, open);
        MainWindowFixture f;
        const QString books = f.makeCatalog(QStringLiteral("BOOKS.DBF"), {QStringLiteral("Austen")});
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(books) + "\r\n");
        TMain &main = f.start();
        Settings &settings = main.catalog().settings();
        ColorSet set = ColorTarget::initialSet(settings, ColorTarget::Main);
        QVERIFY(ColorPresets::apply(preset, set));
        ColorTarget::store(settings, ColorTarget::All, set);
        main.SetColors();
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));

        QStringList faults;
        QString shown;
        QTimer::singleShot(0, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            shown = dialog->objectName();
            if (QTest::qWaitForWindowExposed(dialog))
                faults = unreadable(dialog);
            else
                faults << QStringLiteral("not shown");
            // The pictures of every preset, when asked for.
            const QString gallery = qEnvironmentVariable("SHELFMARK_GALLERY");
            const QString name =
                QString::fromLatin1(ColorPresets::presets()[std::size_t(preset - 1)].name).remove(u' ');
            if (!gallery.isEmpty()) {
                dialog->grab().save(QDir(gallery).filePath(QStringLiteral("%1-%2.png").arg(name, shown)));
                if (shown == QLatin1String("MyEdit"))
                    main.grab().save(QDir(gallery).filePath(QStringLiteral("%1-Main.png").arg(name)));
            }
            if (auto *modal = qobject_cast<QDialog *>(dialog))
                modal->done(QDialog::Rejected);
            else
                dialog->close();
        });
        open(main);
        QCOMPARE(shown, window);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }
};

SHELFMARK_TEST(TestPresetReadability)
#include "TestPresetReadability.moc"
