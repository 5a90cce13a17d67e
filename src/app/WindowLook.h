#pragma once

#include "Settings.h"
#include "framework/ui/WindowStyle.h"

#include <QSize>

// The user's display choices that every dialog takes when it is shown: the
// label, edit and button fonts, the window scale factor of the screen size
// chosen, and the colour sets of the five groups of windows. The fonts and
// colours are those of the settings in memory, so they follow a database switch.
class WindowLook
{
public:
    enum class Group { Main, Edit, Search, Report, Configure };

    explicit WindowLook(const Settings &settings) : m_settings(settings) {}

    WindowStyle::Fonts fonts() const;
    double scaleFactor() const { return m_scale; }
    void setScaleFactor(double factor) { m_scale = factor; }
    const ColorSet &colors(Group group) const;

    // The factor of a screen size (640, 800, 1024 or 1280 pixels wide), and
    // whether a screen of `screen` pixels holds windows of that size.
    static double scaleFor(int windowSize);
    static bool screenFits(int windowSize, const QSize &screen);
    // The screen size a factor stands for.
    static int windowSizeFor(double factor);

private:
    const Settings &m_settings;
    double m_scale = 1.0;
};
