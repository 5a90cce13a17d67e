#include "DataNavigator.h"

#include <QIcon>
#include <QToolButton>

namespace {

struct ButtonLook
{
    const char *name;
    const char *icon;
    const char *hint;
};

constexpr ButtonLook looks[DataNavigator::ButtonCount] = {
    {"First", ":/icons/nav-first.png", "First record"},    {"Prior", ":/icons/nav-prior.png", "Prior record"},
    {"Next", ":/icons/nav-next.png", "Next record"},       {"Last", ":/icons/nav-last.png", "Last record"},
    {"Insert", ":/icons/nav-insert.png", "Insert record"}, {"Delete", ":/icons/nav-delete.png", "Delete record"},
    {"Edit", ":/icons/nav-edit.png", "Edit record"},       {"Post", ":/icons/nav-post.png", "Post edit"},
    {"Cancel", ":/icons/nav-cancel.png", "Cancel edit"},   {"Refresh", ":/icons/nav-refresh.png", "Refresh data"},
};

} // namespace

DataNavigator::DataNavigator(QWidget *parent) : QWidget(parent)
{
    for (int b = 0; b < ButtonCount; ++b) {
        auto *button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(looks[b].name));
        button->setIcon(QIcon(QString::fromLatin1(looks[b].icon)));
        button->setToolTip(QString::fromLatin1(looks[b].hint));
        button->setAutoRaise(false);
        connect(button, &QToolButton::clicked, this, [this, b] { emit clicked(Button(b)); });
        m_buttons[std::size_t(b)] = button;
    }
    layoutButtons();
}

void DataNavigator::setMovementOnly(bool movementOnly)
{
    for (int b = Insert; b < ButtonCount; ++b)
        m_buttons[std::size_t(b)]->setVisible(!movementOnly);
    layoutButtons();
}

void DataNavigator::setButtonEnabled(Button button, bool enabled)
{
    m_buttons[button]->setEnabled(enabled);
}

void DataNavigator::resizeEvent(QResizeEvent *)
{
    layoutButtons();
}

void DataNavigator::layoutButtons()
{
    int shown = 0;
    for (QToolButton *button : m_buttons)
        shown += button->isVisibleTo(this) || !button->isHidden() ? 1 : 0;
    if (shown == 0)
        return;
    const int width = this->width() / shown;
    int x = 0;
    for (QToolButton *button : m_buttons) {
        if (button->isHidden())
            continue;
        button->setGeometry(x, 0, width, height());
        x += width;
    }
}
