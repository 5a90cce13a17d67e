#include "WindowLook.h"

WindowStyle::Fonts WindowLook::fonts() const
{
    return {m_settings.labelFont.font, m_settings.editFont.font, m_settings.buttonFont.font};
}

const ColorSet &WindowLook::colors(Group group) const
{
    switch (group) {
    case Group::Main:
        return m_settings.mainColors;
    case Group::Edit:
        return m_settings.editColors;
    case Group::Search:
        return m_settings.searchColors;
    case Group::Report:
        return m_settings.reportColors;
    case Group::Configure:
        break;
    }
    return m_settings.configureColors;
}

double WindowLook::scaleFor(int windowSize)
{
    switch (windowSize) {
    case 800:
        return 1.25;
    case 1024:
        return 1.6;
    case 1280:
        return 2.0;
    default:
        return 1.0;
    }
}

int WindowLook::windowSizeFor(double factor)
{
    return factor == 1.25 ? 800 : factor == 1.6 ? 1024 : factor == 2.0 ? 1280 : 640;
}

bool WindowLook::screenFits(int windowSize, const QSize &screen)
{
    const int height = windowSize == 800 ? 600 : windowSize == 1024 ? 768 : windowSize == 1280 ? 1024 : 480;
    return windowSize == 640 || (screen.width() >= windowSize && screen.height() >= height);
}
