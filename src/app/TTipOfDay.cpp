#include "TTipOfDay.h"

#include <QCheckBox>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRandomGenerator>
#include <QVBoxLayout>
#include <array>

namespace {

const std::array<const char *, TTipOfDay::TipCount> tips = {
    "You can rename database fields to your liking.",
    "You can optionally edit data directly on the Main Window Viewer.",
    "You can choose to see only those database fields you desire in the Main Window Viewer.",
    "You can choose the order in which the database fields appear in the Main Window Viewer.",
    "You can select the font for edit boxes allowing for support of foreign language input.",
    "You can do a global search and replace on any database field.",
    "You can select numeric and currency formats for reports to either match your Windows setup or to be a U.S. "
    "format.",
    "You can choose from among several date formats to be used through out the program.",
    "You can sort your data by any database field and go four levels deep.",
    "You can maintain multiple databases and Shelfmark will display the last five used in the menu for easy "
    "retrieval.",
    "You can easily import data from ASCII Delimited or DBase compatible files.",
    "You can export data to ASCII Delimited or DBase compatible files and choose which database fields to export and "
    "the order.",
    "When exporting data, you can limit the data to export by first doing a search.",
    "When printing a report, you can limit the data to print by first doing a search.",
    "You can preview reports, print reports to a text file or send them directly to the printer.",
    "You can design and build as many of your own report layouts as you like.",
    "You can choose to have speed buttons or large lettered buttons on the main window for quick program functions.",
    "You can choose among popular screen sizes allowing program windows to appear the size you prefer.",
    "You can choose the font style for text input, labels and buttons allowing for a more personal appearance.",
    "You can narrow the data that is displayed in the Main Window Viewer to just the result of a search.",
    "Logical OR searches can be performed: Find all records where the item = xxxx OR where the item = yyyy.",
    "User defined reports allow for Title Lines, Font Selection, Margin Settings, Page Numbers, Date On Pages and "
    "More.",
    "User defined reports allow for Column Headers, Vertical and Horizontal lines, Grouping of Data, Totals and More.",
    "A \"Browse Mode\" is available where a user has access to the data, but cannot change it.",
};

} // namespace

TTipOfDay::TTipOfDay(bool &showTips, const WindowStyle::Fonts &fonts, double scale, QWidget *parent)
    : QDialog(parent), m_showTips(showTips), m_fonts(fonts), m_scale(scale)
{
    setObjectName(QStringLiteral("TipOfDay"));
    setWindowTitle(QStringLiteral("Tip of the Day"));

    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("TipPanel"));
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(white);

    auto *picture = new QLabel(panel);
    picture->setObjectName(QStringLiteral("TipPicture"));
    picture->setPixmap(QPixmap(QStringLiteral(":/icons/app.png")));
    m_heading = new QLabel(QStringLiteral("Did you know?"), panel);
    m_heading->setObjectName(QStringLiteral("TipHeading"));
    m_tipComment = new QLabel(panel);
    m_tipComment->setObjectName(QStringLiteral("TipComment"));
    m_tipComment->setWordWrap(true);
    m_tipComment->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Room for the longest tip, so that the window keeps its size from tip to tip.
    m_tipComment->setMinimumHeight(m_tipComment->fontMetrics().lineSpacing() * 4);

    auto *panelLayout = new QGridLayout(panel);
    panelLayout->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);
    panelLayout->addWidget(m_heading, 0, 1);
    panelLayout->addWidget(m_tipComment, 1, 1);
    panelLayout->setColumnStretch(1, 1);
    panelLayout->setRowStretch(1, 1);

    m_showTipsBox = new QCheckBox(QStringLiteral("&Show Tips at Startup"), this);
    m_showTipsBox->setObjectName(QStringLiteral("ShowTips"));
    auto *nextTip = new QPushButton(QStringLiteral("&Next Tip"), this);
    nextTip->setObjectName(QStringLiteral("NextTipButton"));
    auto *close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("CloseButton"));
    close->setDefault(true);
    connect(nextTip, &QPushButton::clicked, this, &TTipOfDay::NextTipButtonClick);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_showTipsBox);
    buttons->addStretch();
    buttons->addWidget(nextTip);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(panel, 1);
    layout->addLayout(buttons);

    setCurrentTip(1);
    resize(440, 230);
    m_design.record(this);
}

QString TTipOfDay::tipText(int number)
{
    return QString::fromLatin1(tips.at(std::size_t(number - 1)));
}

void TTipOfDay::setCurrentTip(int number)
{
    m_currentTip = number;
    m_tipComment->setText(tipText(number));
}

void TTipOfDay::NextTipButtonClick()
{
    setCurrentTip(m_currentTip % TipCount + 1);
}

void TTipOfDay::done(int result)
{
    m_showTips = m_showTipsBox->isChecked();
    QDialog::done(result);
}

void TTipOfDay::showEvent(QShowEvent *event)
{
    m_design.restore(this);
    WindowStyle::applyFonts(this, m_fonts);
    QFont bold = m_heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.25);
    m_heading->setFont(bold);
    WindowStyle::scale(this, m_scale);
    WindowStyle::centre(this);
    m_showTipsBox->setChecked(m_showTips);
    QRandomGenerator random{quint32(QDateTime::currentMSecsSinceEpoch())};
    setCurrentTip(int(random.bounded(1, TipCount + 1)));
    QDialog::showEvent(event);
}
