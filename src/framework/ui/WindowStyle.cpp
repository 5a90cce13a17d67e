#include "WindowStyle.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTableWidget>
#include <QWidget>

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

} // namespace

void applyFonts(QWidget *window, const Fonts &fonts)
{
    const QList<QWidget *> children = window->findChildren<QWidget *>();
    for (QWidget *child : children) {
        if (const QFont *font = fontFor(child, fonts))
            takeNameAndStyle(child, *font);
    }
}

} // namespace WindowStyle
