#include "TColorConfig.h"

#include "ColorPresets.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/WinColor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

struct SlotButton
{
    const char *objectName;
    const char *caption;
    int slot;
};

struct Group
{
    const char *heading;
    std::array<SlotButton, 3> buttons; // unused entries have no name
};

const std::array<Group, 6> groups = {{
    {"Window",
     {{{"MainBack", "Background", MainBackground},
       {"MajorTitles", "Major Titles", MajorTitle},
       {"MinorTitles", "Minor Titles", MinorTitle}}}},
    {"Edit Box", {{{"EditBoxText", "Text", EditText}, {"EditBoxBack", "Background", EditBackground}, {}}}},
    {"Combo Box", {{{"ComboText", "Text", ComboText}, {"ComboBack", "Background", ComboBackground}, {}}}},
    {"List Box", {{{"ListText", "Text", ListBoxText}, {"ListBack", "Background", ListBoxBackground}, {}}}},
    {"Radio Button", {{{"RadioText", "Text", RadioText}, {"RadioBack", "Background", RadioBackground}, {}}}},
    {"Check Box", {{{"CheckText", "Text", CheckText}, {"CheckBack", "Background", CheckBackground}, {}}}},
}};

QWidget *sampleFor(int group, QWidget *parent)
{
    const QString sampleText = QStringLiteral("Sample Text");
    QWidget *sample = nullptr;
    switch (group) {
    case 1:
        sample = new QLineEdit(sampleText, parent);
        sample->setObjectName(QStringLiteral("EditBox"));
        break;
    case 2: {
        auto *combo = new QComboBox(parent);
        combo->addItem(sampleText);
        combo->setObjectName(QStringLiteral("ComboBox"));
        sample = combo;
        break;
    }
    case 3: {
        auto *list = new QListWidget(parent);
        list->addItems({sampleText, sampleText});
        list->setMaximumHeight(list->fontMetrics().height() * 3);
        list->setObjectName(QStringLiteral("ListBox"));
        sample = list;
        break;
    }
    case 4:
        sample = new QRadioButton(sampleText, parent);
        sample->setObjectName(QStringLiteral("RadioButton"));
        break;
    case 5:
        sample = new QCheckBox(sampleText, parent);
        sample->setObjectName(QStringLiteral("CheckBox"));
        break;
    default:
        break;
    }
    return sample;
}

} // namespace

TColorConfig::TColorConfig(int target, const ColorSet &set, const WindowStyle::Fonts &fonts, double scale,
                           QWidget *parent)
    : QDialog(parent), m_target(target), m_working(set), m_fonts(fonts), m_scale(scale)
{
    setObjectName(QStringLiteral("ColorConfig"));
    setWindowTitle(QStringLiteral("Color Configuration"));

    auto *grid = new QGridLayout;
    for (int g = 0; g < int(groups.size()); ++g) {
        auto *frame = new QFrame(this);
        frame->setFrameShape(QFrame::StyledPanel);
        auto *box = new QVBoxLayout(frame);
        auto *heading = new QLabel(QString::fromLatin1(groups[g].heading), frame);
        WindowStyle::markHeading(heading);
        box->addWidget(heading);
        auto *buttonRow = new QHBoxLayout;
        for (const SlotButton &b : groups[g].buttons) {
            if (!b.objectName)
                continue;
            auto *button = new QPushButton(QString::fromLatin1(b.caption), frame);
            button->setObjectName(QString::fromLatin1(b.objectName));
            button->setAutoDefault(false);
            connect(button, &QPushButton::clicked, this, [this, slot = b.slot] { chooseSlotColor(slot); });
            buttonRow->addWidget(button);
        }
        box->addLayout(buttonRow);
        if (QWidget *sample = sampleFor(g, frame))
            box->addWidget(sample);
        box->addStretch();
        grid->addWidget(frame, g / 2, g % 2);
    }

    auto *presetLabel = new QLabel(QStringLiteral("Predefined Color Combinations"), this);
    m_colorSets = new QComboBox(this);
    m_colorSets->setObjectName(QStringLiteral("ColorSets"));
    m_colorSets->addItem(QString());
    for (const ColorPresets::Preset &preset : ColorPresets::presets())
        m_colorSets->addItem(QString::fromLatin1(preset.name));
    connect(m_colorSets, &QComboBox::activated, this, &TColorConfig::ColorSetsChange);
    auto *presetRow = new QHBoxLayout;
    presetRow->addWidget(presetLabel);
    presetRow->addWidget(m_colorSets, 1);

    auto *ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("Ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(presetRow);
    layout->addLayout(buttons);
}

void TColorConfig::chooseSlotColor(int slot)
{
    if (const auto color = DialogService::chooseColor(this, WinColor::toQColor(m_working[slot]))) {
        m_working[slot] = WinColor::fromQColor(*color);
        SetColors();
    }
}

void TColorConfig::ColorSetsChange(int entry)
{
    if (ColorPresets::apply(entry, m_working))
        SetColors();
}

void TColorConfig::SetColors()
{
    WindowStyle::applyColors(this, m_working);
}

void TColorConfig::showEvent(QShowEvent *event)
{
    if (!event->spontaneous() && !m_formShown) {
        m_formShown = true;
        FormShow();
    }
    QDialog::showEvent(event);
}

void TColorConfig::FormShow()
{
    WindowStyle::applyFonts(this, m_fonts);
    adjustSize();
    WindowStyle::scale(this, m_scale);
    WindowStyle::centre(this, true);
    SetColors();
}
