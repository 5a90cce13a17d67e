#pragma once

#include "app/Settings.h"

#include <QString>
#include <array>

// The twelve predefined colour combinations of the colour configuration and the
// rule that fills a whole colour set from six chosen colours.
namespace ColorPresets {

inline constexpr int Count = 12;

// A combination as the user picks it: six colours, Windows colour values.
struct Preset
{
    const char *name;
    int background;
    int majorTitles;
    int minorTitles;
    int editBackground;
    int editText;
    int radioText;
};

// Entries 1-12 of the preset list, at index entry - 1.
const std::array<Preset, Count> &presets();

// Fills the slots that follow from the six chosen ones: combo and list boxes
// take the edit colours, radio and check backgrounds the window background,
// check text the radio text.
void derive(ColorSet &set);

// Sets the six colours of preset `entry` (1-12) and derives the rest. Entry 0,
// the list's empty first entry, and any other number leave the set unchanged;
// false then.
bool apply(int entry, ColorSet &set);

} // namespace ColorPresets

// Which of the five colour sets the colour configuration edits.
namespace ColorTarget {

enum Target { Main = 1, Edit, Search, Report, Configure, All };

// The set the dialog starts from: the target's own, the main set for All.
const ColorSet &initialSet(const Settings &settings, int target);

// Copies `set` into the target's set, or into all five for All.
void store(Settings &settings, int target, const ColorSet &set);

} // namespace ColorTarget
