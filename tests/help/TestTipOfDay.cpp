#include "TestSupport.h"

#include "app/TTipOfDay.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <set>

namespace {

WindowStyle::Fonts userFonts()
{
    WindowStyle::Fonts fonts;
    fonts.label = QFont(QStringLiteral("Courier New"));
    fonts.label.setItalic(true);
    fonts.edit = QFont(QStringLiteral("Arial"));
    fonts.button = QFont(QStringLiteral("Liberation Serif"));
    return fonts;
}

template <typename T> T *child(QWidget *window, const char *name)
{
    return window->findChild<T *>(QLatin1String(name));
}

QString shownTip(QWidget *window)
{
    return child<QLabel>(window, "TipComment")->text();
}

} // namespace

class TestTipOfDay : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::installMessageFilter(); }

    void tipTexts_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        const char *texts[] = {
            "You can rename database fields to your liking.",
            "You can optionally edit data directly on the Main Window Viewer.",
            "You can choose to see only those database fields you desire in the Main Window Viewer.",
            "You can choose the order in which the database fields appear in the Main Window Viewer.",
            "You can select the font for edit boxes allowing for support of foreign language input.",
            "You can do a global search and replace on any database field.",
            "You can select numeric and currency formats for reports to either match your Windows setup or to be a "
            "U.S. format.",
            "You can choose from among several date formats to be used through out the program.",
            "You can sort your data by any database field and go four levels deep.",
            "You can maintain multiple databases and Shelfmark will display the last five used in the menu for easy "
            "retrieval.",
            "You can easily import data from ASCII Delimited or DBase compatible files.",
            "You can export data to ASCII Delimited or DBase compatible files and choose which database fields to "
            "export and the order.",
            "When exporting data, you can limit the data to export by first doing a search.",
            "When printing a report, you can limit the data to print by first doing a search.",
            "You can preview reports, print reports to a text file or send them directly to the printer.",
            "You can design and build as many of your own report layouts as you like.",
            "You can choose to have speed buttons or large lettered buttons on the main window for quick program "
            "functions.",
            "You can choose among popular screen sizes allowing program windows to appear the size you prefer.",
            "You can choose the font style for text input, labels and buttons allowing for a more personal "
            "appearance.",
            "You can narrow the data that is displayed in the Main Window Viewer to just the result of a search.",
            "Logical OR searches can be performed: Find all records where the item = xxxx OR where the item = yyyy.",
            "User defined reports allow for Title Lines, Font Selection, Margin Settings, Page Numbers, Date On Pages "
            "and More.",
            "User defined reports allow for Column Headers, Vertical and Horizontal lines, Grouping of Data, Totals "
            "and More.",
            "A \"Browse Mode\" is available where a user has access to the data, but cannot change it.",
        };
        static_assert(std::size(texts) == TTipOfDay::TipCount);
        for (int i = 0; i < TTipOfDay::TipCount; ++i)
            QTest::addRow("tip %d", i + 1) << i + 1 << QString::fromLatin1(texts[i]);
    }
    void tipTexts()
    {
        QFETCH(int, number);
        QFETCH(QString, text);
        QCOMPARE(TTipOfDay::tipText(number), text);
        QVERIFY(text.size() <= 130);
        bool showTips = true;
        TTipOfDay tip(showTips, userFonts(), 1.0);
        tip.show();
        tip.setCurrentTip(number);
        QCOMPARE(tip.currentTip(), number);
        QCOMPARE(shownTip(&tip), text);
    }

    void windowAsDesigned()
    {
        bool showTips = true;
        TTipOfDay tip(showTips, userFonts(), 1.0);
        QCOMPARE(tip.windowTitle(), QStringLiteral("Tip of the Day"));
        QCOMPARE(child<QPushButton>(&tip, "CloseButton")->text(), QStringLiteral("&Close"));
        QCOMPARE(child<QPushButton>(&tip, "NextTipButton")->text(), QStringLiteral("&Next Tip"));
        auto *box = child<QCheckBox>(&tip, "ShowTips");
        QCOMPARE(box->text(), QStringLiteral("&Show Tips at Startup"));
        QVERIFY(!box->isChecked());
        QCOMPARE(child<QLabel>(&tip, "TipHeading")->text(), QStringLiteral("Did you know?"));
        QVERIFY(!child<QLabel>(&tip, "TipPicture")->pixmap().isNull());
        QVERIFY(child<QLabel>(&tip, "TipComment")->wordWrap());
    }

    void showingPicksATipAndTakesTheSetting()
    {
        bool showTips = true;
        TTipOfDay tip(showTips, userFonts(), 1.0);
        tip.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tip));
        QVERIFY(tip.currentTip() >= 1 && tip.currentTip() <= TTipOfDay::TipCount);
        QCOMPARE(shownTip(&tip), TTipOfDay::tipText(tip.currentTip()));
        QVERIFY(child<QCheckBox>(&tip, "ShowTips")->isChecked());
        QVERIFY(child<QLabel>(&tip, "TipHeading")->font().bold());
    }

    void nextTipGoesRoundAllTwentyFour()
    {
        bool showTips = false;
        TTipOfDay tip(showTips, userFonts(), 1.0);
        tip.show();
        const int first = tip.currentTip();
        auto *next = child<QPushButton>(&tip, "NextTipButton");
        std::set<int> seen;
        for (int i = 0; i < TTipOfDay::TipCount; ++i) {
            seen.insert(tip.currentTip());
            next->click();
            QCOMPARE(shownTip(&tip), TTipOfDay::tipText(tip.currentTip()));
        }
        QCOMPARE(tip.currentTip(), first);
        QCOMPARE(int(seen.size()), TTipOfDay::TipCount);

        tip.setCurrentTip(24);
        next->click();
        QCOMPARE(tip.currentTip(), 1);
        next->click();
        QCOMPARE(tip.currentTip(), 2);
    }

    void closingStoresTheBox_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("tipsOn");
        for (const char *how : {"close button", "title bar", "escape key"}) {
            QTest::addRow("%s, tips off -> on", how) << QString::fromLatin1(how) << false;
            QTest::addRow("%s, tips on -> off", how) << QString::fromLatin1(how) << true;
        }
    }
    void closingStoresTheBox()
    {
        QFETCH(QString, how);
        QFETCH(bool, tipsOn);
        bool showTips = tipsOn;
        TTipOfDay tip(showTips, userFonts(), 1.0);
        tip.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tip));
        auto *box = child<QCheckBox>(&tip, "ShowTips");
        QCOMPARE(box->isChecked(), tipsOn);
        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(box->isChecked(), !tipsOn);
        QCOMPARE(showTips, tipsOn);

        if (how == QLatin1String("close button"))
            child<QPushButton>(&tip, "CloseButton")->click();
        else if (how == QLatin1String("title bar"))
            tip.windowHandle()->close();
        else
            QTest::keyClick(&tip, Qt::Key_Escape);
        QVERIFY(!tip.isVisible());
        QCOMPARE(showTips, !tipsOn);
    }

    void closingUntouchedKeepsTheSetting()
    {
        for (const bool tipsOn : {false, true}) {
            bool showTips = tipsOn;
            TTipOfDay tip(showTips, userFonts(), 1.0);
            tip.show();
            child<QPushButton>(&tip, "NextTipButton")->click();
            child<QPushButton>(&tip, "CloseButton")->click();
            QCOMPARE(showTips, tipsOn);
        }
    }

    void showingAppliesFontsScaleAndCentres_data()
    {
        QTest::addColumn<double>("scale");
        QTest::newRow("640 x 480") << 1.0;
        QTest::newRow("800 x 600") << 1.25;
        QTest::newRow("1024 x 768") << 1.6;
        QTest::newRow("1280 x 1024") << 2.0;
    }
    void showingAppliesFontsScaleAndCentres()
    {
        QFETCH(double, scale);
        bool showTips = true;
        TTipOfDay design(showTips, userFonts(), 1.0);
        const qreal designSize = child<QLabel>(&design, "TipComment")->font().pointSizeF();
        const QSize designWindow = design.size();

        TTipOfDay tip(showTips, userFonts(), scale);
        tip.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tip));
        const QFont comment = child<QLabel>(&tip, "TipComment")->font();
        QCOMPARE(comment.family(), QStringLiteral("Courier New"));
        QVERIFY(comment.italic());
        QCOMPARE(child<QPushButton>(&tip, "CloseButton")->font().family(), QStringLiteral("Liberation Serif"));
        QCOMPARE(comment.pointSizeF(), designSize * scale);
        QVERIFY(tip.width() >= int(designWindow.width() * scale));

        // Centred as far as the screen holds the window.
        const QRect screen = tip.screen()->geometry();
        if (tip.width() <= screen.width() && tip.height() <= screen.height())
            QCOMPARE(tip.frameGeometry().topLeft(),
                     QPoint((screen.width() - tip.width()) / 2, (screen.height() - tip.height()) / 2));

        // A second showing starts again from the design size.
        tip.hide();
        tip.show();
        QCOMPARE(child<QLabel>(&tip, "TipComment")->font().pointSizeF(), designSize * scale);
    }
};

SHELFMARK_TEST(TestTipOfDay)
#include "TestTipOfDay.moc"
