#include "WindowStyle.h"

#include "MessageService.h"
#include "WinColor.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableWidget>
#include <QToolButton>
#include <QWidget>
#include <cmath>

namespace WindowStyle {

namespace {

void takeNameAndStyle(QWidget *widget, const QFont &from)
{
    QFont font = widget->font();
    font.setFamily(from.family());
    font.setBold(from.bold());
    font.setItalic(from.italic());
    font.setUnderline(from.underline());
    font.setStrikeOut(from.strikeOut());
    widget->setFont(font);
}

// The font a control takes by the first kind it is, or none.
const QFont *fontFor(QWidget *widget, const Fonts &fonts)
{
    if (qobject_cast<QLabel *>(widget) || qobject_cast<QListWidget *>(widget))
        return &fonts.label;
    if (qobject_cast<QTableWidget *>(widget))
        return &fonts.edit;
    if (qobject_cast<QCheckBox *>(widget) || qobject_cast<QRadioButton *>(widget))
        return &fonts.label;
    if (qobject_cast<QLineEdit *>(widget) && !qobject_cast<QComboBox *>(widget->parentWidget()))
        return &fonts.edit;
    if (qobject_cast<QAbstractButton *>(widget))
        return &fonts.button;
    if (qobject_cast<QGroupBox *>(widget))
        return &fonts.label;
    if (qobject_cast<QComboBox *>(widget))
        return &fonts.edit;
    return nullptr;
}

void setColors(QWidget *widget, QPalette::ColorRole background, int backgroundColor, QPalette::ColorRole text,
               int textColor)
{
    QPalette palette = widget->palette();
    palette.setColor(background, WinColor::toQColor(backgroundColor));
    palette.setColor(text, WinColor::toQColor(textColor));
    // Check boxes, radio buttons and closed combo boxes paint from the button roles.
    if (qobject_cast<QCheckBox *>(widget) || qobject_cast<QRadioButton *>(widget) ||
        qobject_cast<QComboBox *>(widget)) {
        palette.setColor(QPalette::Button, WinColor::toQColor(backgroundColor));
        palette.setColor(QPalette::ButtonText, WinColor::toQColor(textColor));
    }
    widget->setPalette(palette);
}

// The window's own controls: those it named. The parts Qt builds inside a
// control (a combo box's edit, a tab widget's bar) follow their control.
QList<QWidget *> controls(QWidget *window)
{
    QList<QWidget *> named;
    const QList<QWidget *> children = window->findChildren<QWidget *>();
    for (QWidget *child : children) {
        const QString name = child->objectName();
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")))
            named.append(child);
    }
    return named;
}

} // namespace

void applyFonts(QWidget *window, const Fonts &fonts)
{
    const QList<QWidget *> children = window->findChildren<QWidget *>();
    for (QWidget *child : children) {
        if (const QFont *font = fontFor(child, fonts))
            takeNameAndStyle(child, *font);
    }
}

void markHeading(QWidget *label)
{
    label->setProperty("heading", true);
}

void applyColors(QWidget *window, const Colors &c)
{
    window->setAutoFillBackground(true);
    setColors(window, QPalette::Window, c[0], QPalette::WindowText, c[2]);
    const QList<QWidget *> children = window->findChildren<QWidget *>();
    for (QWidget *child : children) {
        if (qobject_cast<QLabel *>(child)) {
            const bool heading = child->property("heading").toBool();
            setColors(child, QPalette::Window, c[0], QPalette::WindowText, heading ? c[1] : c[2]);
        } else if (qobject_cast<QComboBox *>(child)) {
            setColors(child, QPalette::Base, c[5], QPalette::Text, c[6]);
        } else if (qobject_cast<QLineEdit *>(child) && !qobject_cast<QComboBox *>(child->parentWidget())) {
            setColors(child, QPalette::Base, c[3], QPalette::Text, c[4]);
        } else if (qobject_cast<QAbstractItemView *>(child)) {
            setColors(child, QPalette::Base, c[7], QPalette::Text, c[8]);
        } else if (qobject_cast<QRadioButton *>(child)) {
            child->setAutoFillBackground(true);
            setColors(child, QPalette::Window, c[9], QPalette::WindowText, c[10]);
        } else if (qobject_cast<QCheckBox *>(child)) {
            child->setAutoFillBackground(true);
            setColors(child, QPalette::Window, c[11], QPalette::WindowText, c[12]);
        } else if (qobject_cast<QGroupBox *>(child)) {
            setColors(child, QPalette::Window, c[0], QPalette::WindowText, c[1]);
        }
    }
}

void scale(QWidget *window, double factor)
{
    const double f = std::round(factor * 100) / 100;
    if (f == 1.0)
        return;
    const QList<QWidget *> children = controls(window);
    for (QWidget *child : children) {
        QFont font = child->font();
        if (font.pointSizeF() > 0) {
            font.setPointSizeF(font.pointSizeF() * f);
            child->setFont(font);
        }
    }
    QFont font = window->font();
    if (font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() * f);
        window->setFont(font);
    }
    const QSize size(int(window->width() * f), int(window->height() * f));
    if (QLayout *layout = window->layout()) {
        layout->invalidate();
        layout->activate();
    }
    window->resize(size);
}

void centre(QWidget *window, bool moveUp)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    const QRect available = screen->geometry();
    int left = (available.width() - window->width()) / 2;
    int top = (available.height() - window->height()) / 2;
    if (moveUp && top > 10)
        top -= 10;
    window->move(available.x() + left, available.y() + top);
}

void SavedDimensions::record(QWidget *window)
{
    m_size = window->size();
    m_windowFontSize = window->font().pointSizeF();
    m_fontSizes.clear();
    const QList<QWidget *> children = controls(window);
    if (children.size() > MaxComponents)
        MessageService::error(window, QStringLiteral("Too many compenents to save dimensions."));
    for (qsizetype i = 0; i < children.size() && i < MaxComponents; ++i)
        m_fontSizes.emplace_back(children[i], children[i]->font().pointSizeF());
}

void SavedDimensions::restore(QWidget *window) const
{
    for (const auto &[widget, size] : m_fontSizes) {
        if (!widget || size <= 0)
            continue;
        QFont font = widget->font();
        font.setPointSizeF(size);
        widget->setFont(font);
    }
    if (m_windowFontSize > 0) {
        QFont font = window->font();
        font.setPointSizeF(m_windowFontSize);
        window->setFont(font);
    }
    // The layout must know the restored fonts before the window takes its
    // design size, or the scaled minimum size would hold it larger.
    if (QLayout *layout = window->layout()) {
        layout->invalidate();
        layout->activate();
    }
    if (m_size.isValid())
        window->resize(m_size);
}

} // namespace WindowStyle
