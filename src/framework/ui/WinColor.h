#pragma once

#include <QColor>

// Colours as Windows stores them and as the settings files keep them (in decimal):
// 0x00BBGGRR, red in the low byte. The high byte, which Windows uses to mark system
// and palette colours, carries no colour and is ignored.
namespace WinColor {

inline QColor toQColor(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

inline int fromQColor(const QColor &color)
{
    return color.red() | color.green() << 8 | color.blue() << 16;
}

} // namespace WinColor
