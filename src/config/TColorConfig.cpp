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
#include <type_traits>

namespace {

struct SlotButton
{
    const char *objectName;
    const char *caption;
    int slot;
};

template <typename Control> QWidget *sample(QWidget *parent, const char *objectName)
{
    const QString text = QStringLiteral("Sample Text");
    auto *control = new Control(parent);
    control->setObjectName(QString::fromLatin1(objectName));
    if constexpr (std::is_same_v<Control, QComboBox>) {
        control->addItem(text);
    } else if constexpr (std::is_same_v<Control, QListWidget>) {
        control->addItems({text, text});
        control->setMaximumHeight(control->fontMetrics().height() * 3);
    } else {
        control->setText(text);
    }
    return control;
}

// One box of the dialog: its heading, its colour buttons and the control that
// shows them (none for "Window": the dialog itself is that sample).
struct Group
{
    const char *heading;
    std::array<SlotButton, 3> buttons; // unused entries have no name
    QWidget *(*makeSample)(QWidget *parent);
};

const std::array<Group, 6> groups = {{
    {"Window",
     {{{"MainBack", "Background", MainBackground},
       {"MajorTitles", "Major Titles", MajorTitle},
       {"MinorTitles", "Minor Titles", MinorTitle}}},
     nullptr},
    {"Edit Box",
     {{{"EditBoxText", "Text", EditText}, {"EditBoxBack", "Background", EditBackground}, {}}},
     [](QWidget *parent) { return sample<QLineEdit>(parent, "EditBox"); }},
    {"Combo Box",
     {{{"ComboText", "Text", ComboText}, {"ComboBack", "Background", ComboBackground}, {}}},
     [](QWidget *parent) { return sample<QComboBox>(parent, "ComboBox"); }},
    {"List Box",
     {{{"ListText", "Text", ListBoxText}, {"ListBack", "Background", ListBoxBackground}, {}}},
     [](QWidget *parent) { return sample<QListWidget>(parent, "ListBox"); }},
    {"Radio Button",
     {{{"RadioText", "Text", RadioText}, {"RadioBack", "Background", RadioBackground}, {}}},
     [](QWidget *parent) { return sample<QRadioButton>(parent, "RadioButton"); }},
    {"Check Box",
     {{{"CheckText", "Text", CheckText}, {"CheckBack", "Background", CheckBackground}, {}}},
     [](QWidget *parent) { return sample<QCheckBox>(parent, "CheckBox"); }},
}};

} // namespace

TColorConfig::TColorConfig(int target, const ColorSet &set, const WindowStyle::Fonts &fonts, double scale,
                           QWidget *parent)
    : QDialog(parent), m_target(target), m_working(set), m_fonts(fonts), m_scale(scale)
{
    setObjectName(QStringLiteral("ColorConfig"));
    setWindowTitle(QStringLiteral("Color Configuration"));

    auto *grid = new QGridLayout;
    for (int g = 0; g < int(groups.size()); ++g) {
        const Group &group = groups[g];
        auto *frame = new QFrame(this);
        frame->setFrameShape(QFrame::StyledPanel);
        auto *box = new QVBoxLayout(frame);
        auto *heading = new QLabel(QString::fromLatin1(group.heading), frame);
        WindowStyle::markHeading(heading);
        box->addWidget(heading);
        auto *buttonRow = new QHBoxLayout;
        for (const SlotButton &b : group.buttons) {
            if (!b.objectName)
                continue;
            auto *button = new QPushButton(QString::fromLatin1(b.caption), frame);
            button->setObjectName(QString::fromLatin1(b.objectName));
            button->setAutoDefault(false);
            connect(button, &QPushButton::clicked, this, [this, slot = b.slot] { chooseSlotColor(slot); });
            buttonRow->addWidget(button);
        }
        box->addLayout(buttonRow);
        if (group.makeSample)
            box->addWidget(group.makeSample(frame));
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
