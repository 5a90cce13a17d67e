#include "WindowStyle.h"

#include "MessageService.h"
#include "WinColor.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>
#include <QWidget>
#include <algorithm>
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
    const QColor back = WinColor::toQColor(backgroundColor);
    const QColor fore = WinColor::toQColor(textColor);
    // A disabled control's text lies halfway to its background, so that it
    // looks disabled in every colour set.
    const QColor faded((fore.red() + back.red()) / 2, (fore.green() + back.green()) / 2,
                       (fore.blue() + back.blue()) / 2);
    const auto set = [&](QPalette::ColorRole backRole, QPalette::ColorRole textRole) {
        palette.setColor(backRole, back);
        palette.setColor(textRole, fore);
        palette.setColor(QPalette::Disabled, textRole, faded);
    };
    set(background, text);
    // Check boxes, radio buttons and closed combo boxes paint from the button roles.
    if (qobject_cast<QCheckBox *>(widget) || qobject_cast<QRadioButton *>(widget) || qobject_cast<QComboBox *>(widget))
        set(QPalette::Button, QPalette::ButtonText);
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

void keepSystemColors(QWidget *control)
{
    control->setProperty("systemColors", true);
}

void colorAsCheckBox(QWidget *radio)
{
    radio->setProperty("checkColors", true);
}

void applyColors(QWidget *window, const Colors &c)
{
    window->setAutoFillBackground(true);
    setColors(window, QPalette::Window, c[0], QPalette::WindowText, c[2]);
    const QList<QWidget *> children = window->findChildren<QWidget *>();
    for (QWidget *child : children) {
        if (child->property("systemColors").toBool())
            continue;
        if (qobject_cast<QLabel *>(child)) {
            const bool heading = child->property("heading").toBool();
            setColors(child, QPalette::Window, c[0], QPalette::WindowText, heading ? c[1] : c[2]);
        } else if (qobject_cast<QComboBox *>(child)) {
            setColors(child, QPalette::Base, c[5], QPalette::Text, c[6]);
        } else if (qobject_cast<QLineEdit *>(child) && !qobject_cast<QComboBox *>(child->parentWidget())) {
            setColors(child, QPalette::Base, c[3], QPalette::Text, c[4]);
        } else if (qobject_cast<QAbstractItemView *>(child)) {
            setColors(child, QPalette::Base, c[7], QPalette::Text, c[8]);
        } else if (qobject_cast<QRadioButton *>(child) && !child->property("checkColors").toBool()) {
            // Radio buttons and check boxes sit on the colour of their page.
            setColors(child, QPalette::Window, c[9], QPalette::WindowText, c[10]);
        } else if (qobject_cast<QCheckBox *>(child) || qobject_cast<QRadioButton *>(child)) {
            setColors(child, QPalette::Window, c[11], QPalette::WindowText, c[12]);
        } else if (qobject_cast<QGroupBox *>(child)) {
            setColors(child, QPalette::Window, c[0], QPalette::WindowText, c[1]);
        } else if (qobject_cast<QTabWidget *>(child)) {
            // Tab pages sit on the window's colour, not the style's (which
            // paints them from the button colour).
            setColors(child, QPalette::Window, c[0], QPalette::WindowText, c[2]);
            setColors(child, QPalette::Button, c[0], QPalette::ButtonText, c[2]);
        } else if (qobject_cast<QPushButton *>(child)) {
            // Whatever the page they sit on.
            QPalette palette = child->palette();
            palette.setColor(QPalette::Button, QApplication::palette().color(QPalette::Button));
            palette.setColor(QPalette::ButtonText, QApplication::palette().color(QPalette::ButtonText));
            child->setPalette(palette);
        } else if (qobject_cast<QTabBar *>(child) || qobject_cast<QMenuBar *>(child)) {
            // Tab captions and menu titles, the selected one too.
            setColors(child, QPalette::Window, c[0], QPalette::WindowText, c[2]);
            setColors(child, QPalette::Button, c[0], QPalette::ButtonText, c[2]);
        }
    }
}

void scale(QWidget *window, double factor)
{
    const double f = std::round(factor * 100) / 100;
    if (f == 1.0)
        return;
    // Every font set on the window or one of its parts grows once, from its
    // size now; a part that inherits its font grows with its parent (taking
    // the sizes first, so that no part grows twice by inheriting a grown one).
    std::vector<std::pair<QWidget *, qreal>> sizes{{window, window->font().pointSizeF()}};
    const QList<QWidget *> children = window->findChildren<QWidget *>();
    for (QWidget *child : children) {
        if (child->testAttribute(Qt::WA_SetFont))
            sizes.emplace_back(child, child->font().pointSizeF());
    }
    for (const auto &[widget, size] : sizes) {
        if (size <= 0)
            continue;
        QFont font = widget->font();
        font.setPointSizeF(size * f);
        widget->setFont(font);
    }
    // Geometry the window gives in pixels grows too: the sizes its grids and
    // lists are held to, their column widths and row heights.
    const auto grown = [f](int pixels) { return int(std::lround(pixels * f)); };
    for (QWidget *child : children) {
        auto *area = qobject_cast<QAbstractScrollArea *>(child);
        if (!area || child->objectName().startsWith(QLatin1String("qt_")))
            continue;
        if (child->minimumWidth() > 0)
            child->setMinimumWidth(grown(child->minimumWidth()));
        if (child->minimumHeight() > 0)
            child->setMinimumHeight(grown(child->minimumHeight()));
        if (child->maximumWidth() < QWIDGETSIZE_MAX)
            child->setMaximumWidth(grown(child->maximumWidth()));
        if (child->maximumHeight() < QWIDGETSIZE_MAX)
            child->setMaximumHeight(grown(child->maximumHeight()));
        if (auto *table = qobject_cast<QTableView *>(child)) {
            QHeaderView *columns = table->horizontalHeader();
            for (int c = 0; c < columns->count(); ++c) {
                if (columns->sectionResizeMode(c) != QHeaderView::Stretch)
                    columns->resizeSection(c, grown(columns->sectionSize(c)));
            }
            QHeaderView *rows = table->verticalHeader();
            rows->setDefaultSectionSize(std::max(grown(rows->defaultSectionSize()), table->fontMetrics().height() + 4));
        }
    }
    // The window grows by the factor, and further where its layout asks for more.
    QSize size(grown(window->width()), grown(window->height()));
    if (QLayout *layout = window->layout()) {
        layout->invalidate();
        layout->activate();
        size = size.expandedTo(window->minimumSizeHint());
    }
    window->resize(size);
}

namespace {

// Takes `excess` pixels off the minimum lengths the window's grids and lists
// are held to (they scroll instead), each kept at least `floor` long; answers
// what could not be taken.
int giveUp(QWidget *window, int excess, Qt::Orientation direction, int floor)
{
    const QList<QAbstractScrollArea *> areas = window->findChildren<QAbstractScrollArea *>();
    for (QAbstractScrollArea *area : areas) {
        if (excess <= 0)
            break;
        if (!area->isVisibleTo(window) || area->objectName().startsWith(QLatin1String("qt_")))
            continue;
        const bool across = direction == Qt::Horizontal;
        if (across && area->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff)
            continue;
        const int held = across ? area->minimumWidth() : area->minimumHeight();
        const int given = std::min(excess, held - floor);
        if (given <= 0)
            continue;
        if (across) {
            area->setMinimumWidth(held - given);
            if (area->maximumWidth() < QWIDGETSIZE_MAX)
                area->setMaximumWidth(held - given);
        } else {
            area->setMinimumHeight(held - given);
            if (area->maximumHeight() < QWIDGETSIZE_MAX)
                area->setMaximumHeight(held - given);
        }
        excess -= given;
    }
    return excess;
}

} // namespace

QRect placedWithin(const QRect &wanted, const QSize &minimum, const QRect &available)
{
    const QSize size = wanted.size().expandedTo(minimum).boundedTo(available.size());
    const int left = std::clamp(wanted.x(), available.left(), available.right() + 1 - size.width());
    const int top = std::clamp(wanted.y(), available.top(), available.bottom() + 1 - size.height());
    return {QPoint(left, top), size};
}

void fitToScreen(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    // The frame the window manager adds is known once the window is shown.
    const QSize frame = window->isVisible() ? window->frameGeometry().size() - window->size() : QSize(0, 0);
    const QSize room = available.size() - frame;
    QSize size = window->size();
    if (QLayout *layout = window->layout()) {
        layout->activate();
        size = size.expandedTo(window->minimumSizeHint());
    }
    if (size.width() > room.width() || size.height() > room.height()) {
        const int rowsFloor = 4 * window->fontMetrics().height();
        giveUp(window, size.width() - room.width(), Qt::Horizontal, 8 * window->fontMetrics().averageCharWidth());
        giveUp(window, size.height() - room.height(), Qt::Vertical, rowsFloor);
        if (QLayout *layout = window->layout()) {
            layout->invalidate();
            layout->activate();
        }
        window->resize(size.boundedTo(room).expandedTo(window->minimumSizeHint()));
    }
    const QRect placed = placedWithin(QRect(window->pos(), window->size() + frame), QSize(), available);
    window->move(placed.topLeft());
}

void centre(QWidget *window, bool moveUp)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    fitToScreen(window);
    const QRect available = screen->availableGeometry();
    int left = (available.width() - window->width()) / 2;
    int top = (available.height() - window->height()) / 2;
    if (moveUp && top > 10)
        top -= 10;
    window->move(available.x() + left, available.y() + top);
    fitToScreen(window);
}

void present(QWidget *window, const Fonts &fonts, double factor)
{
    applyFonts(window, fonts);
    window->adjustSize();
    scale(window, factor);
    centre(window);
}

void SavedDimensions::record(QWidget *window)
{
    m_size = window->size();
    m_windowFontSize = window->font().pointSizeF();
    m_fontSizes.clear();
    if (controls(window).size() > MaxComponents)
        MessageService::error(window, QStringLiteral("Too many compenents to save dimensions."));
    // Every part's design size: scaling may later give any of them a font of its own.
    const QList<QWidget *> children = window->findChildren<QWidget *>();
    for (QWidget *child : children)
        m_fontSizes.emplace_back(child, child->font().pointSizeF());
}

void SavedDimensions::restore(QWidget *window) const
{
    for (const auto &[widget, size] : m_fontSizes) {
        if (!widget || size <= 0 || !widget->testAttribute(Qt::WA_SetFont))
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

void SavedDimensions::show(QWidget *window, const Fonts &fonts, double factor)
{
    if (!m_recorded) {
        window->adjustSize();
        record(window);
        m_recorded = true;
    }
    restore(window);
    applyFonts(window, fonts);
    scale(window, factor);
    centre(window);
}

} // namespace WindowStyle
