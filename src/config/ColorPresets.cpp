#include "ColorPresets.h"

namespace {

constexpr int rgb(int red, int green, int blue)
{
    return red | green << 8 | blue << 16;
}

} // namespace

namespace ColorPresets {

const std::array<Preset, Count> &presets()
{
    // Background, major titles, minor titles, edit background, edit text, radio text.
    static const std::array<Preset, Count> table = {{
        {"Monochrome", rgb(255, 255, 255), rgb(0, 0, 0), rgb(0, 0, 0), rgb(255, 255, 255), rgb(0, 0, 0), rgb(0, 0, 0)},
        {"Gray Mist", rgb(192, 192, 192), rgb(0, 0, 0), rgb(0, 0, 0), rgb(255, 255, 255), rgb(0, 0, 0), rgb(0, 0, 0)},
        {"Midnight Black", rgb(0, 0, 0), rgb(192, 192, 192), rgb(255, 255, 255), rgb(127, 127, 127), rgb(0, 0, 0),
         rgb(255, 255, 255)},
        {"Desert Sunset", rgb(255, 255, 128), rgb(0, 0, 0), rgb(0, 0, 0), rgb(255, 255, 0), rgb(0, 0, 0), rgb(0, 0, 0)},
        {"Easter Pastel", rgb(255, 128, 255), rgb(0, 0, 255), rgb(0, 0, 0), rgb(128, 0, 128), rgb(0, 255, 255),
         rgb(0, 0, 0)},
        {"Ocean Blue", rgb(0, 255, 255), rgb(255, 0, 0), rgb(0, 0, 0), rgb(255, 255, 255), rgb(0, 0, 128),
         rgb(0, 0, 0)},
        {"Fiery Red", rgb(255, 0, 0), rgb(0, 0, 128), rgb(0, 0, 0), rgb(255, 255, 255), rgb(255, 0, 0), rgb(0, 0, 0)},
        {"Christmas Season", rgb(0, 255, 0), rgb(255, 255, 255), rgb(255, 0, 0), rgb(255, 0, 0), rgb(255, 255, 255),
         rgb(255, 0, 0)},
        {"Wine", rgb(128, 0, 64), rgb(255, 0, 0), rgb(255, 0, 255), rgb(128, 0, 128), rgb(255, 0, 0), rgb(255, 0, 255)},
        {"More Pastels", rgb(0, 255, 128), rgb(255, 0, 255), rgb(128, 0, 128), rgb(0, 255, 255), rgb(0, 0, 255),
         rgb(128, 0, 128)},
        {"Green Glow", rgb(0, 0, 0), rgb(0, 255, 0), rgb(0, 255, 0), rgb(0, 255, 0), rgb(0, 0, 0), rgb(0, 255, 0)},
        {"Camouflage", rgb(128, 128, 0), rgb(0, 128, 0), rgb(127, 127, 127), rgb(0, 128, 128), rgb(192, 192, 192),
         rgb(127, 127, 127)},
    }};
    return table;
}

void derive(ColorSet &set)
{
    set[ComboBackground] = set[ListBoxBackground] = set[EditBackground];
    set[ComboText] = set[ListBoxText] = set[EditText];
    set[RadioBackground] = set[CheckBackground] = set[MainBackground];
    set[CheckText] = set[RadioText];
}

bool apply(int entry, ColorSet &set)
{
    if (entry < 1 || entry > Count)
        return false;
    const Preset &preset = presets()[entry - 1];
    set[MainBackground] = preset.background;
    set[MajorTitle] = preset.majorTitles;
    set[MinorTitle] = preset.minorTitles;
    set[EditBackground] = preset.editBackground;
    set[EditText] = preset.editText;
    set[RadioText] = preset.radioText;
    derive(set);
    return true;
}

} // namespace ColorPresets

namespace ColorTarget {

namespace {

template <typename SettingsType> auto &setOf(SettingsType &settings, int target)
{
    switch (target) {
    case Edit:
        return settings.editColors;
    case Search:
        return settings.searchColors;
    case Report:
        return settings.reportColors;
    case Configure:
        return settings.configureColors;
    default:
        return settings.mainColors;
    }
}

} // namespace

const ColorSet &initialSet(const Settings &settings, int target)
{
    return setOf(settings, target);
}

void store(Settings &settings, int target, const ColorSet &set)
{
    if (target == All) {
        for (ColorSet *each : {&settings.mainColors, &settings.editColors, &settings.searchColors,
                               &settings.reportColors, &settings.configureColors})
            *each = set;
        return;
    }
    setOf(settings, target) = set;
}

} // namespace ColorTarget
