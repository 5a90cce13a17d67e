#include "HelpService.h"

#include "HelpWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>

namespace {

class HelpKey : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        auto *widget = qobject_cast<QWidget *>(watched);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier || !widget)
            return false;
        return askForHelp(widget->window());
    }

private:
    // The window an action's menu belongs to.
    static const QWidget *ownerWindow(const QAction *action)
    {
        for (const QObject *o = action->parent(); o; o = o->parent()) {
            const auto *widget = qobject_cast<const QWidget *>(o);
            if (widget && widget->isWindow() && !qobject_cast<const QMenu *>(widget))
                return widget;
        }
        return nullptr;
    }

    static bool askForHelp(QWidget *window)
    {
        // The window's own controls, not those of the windows it owns.
        for (auto *button : window->findChildren<QAbstractButton *>(QStringLiteral("HelpButton"))) {
            if (button->window() == window && button->isVisible() && button->isEnabled()) {
                button->click();
                return true;
            }
        }
        for (const char *name : {"MenuHelp", "MenuContents"}) {
            for (auto *action : window->findChildren<QAction *>(QString::fromLatin1(name))) {
                if (ownerWindow(action) == window && action->isEnabled()) {
                    action->trigger();
                    return true;
                }
            }
        }
        return false;
    }
};

} // namespace

namespace HelpService {

void installHelpKey()
{
    static HelpKey *filter = nullptr;
    if (filter || !qApp)
        return;
    filter = new HelpKey(qApp);
    qApp->installEventFilter(filter);
}

void showContents(QWidget *parent)
{
    HelpWindow *window = HelpWindow::instance();
    window->showContents();
    window->present(parent);
}

void showTopic(QWidget *parent, const QString &keyword)
{
    HelpWindow *window = HelpWindow::instance();
    window->showAnchor(anchorFor(keyword));
    window->present(parent);
}

QString anchorFor(const QString &keyword)
{
    QString anchor;
    bool inRun = false;
    for (const QChar c : keyword) {
        if (c.isLetter() || c.isDigit()) {
            anchor += c.toLower();
            inRun = false;
        } else if (!inRun) {
            anchor += QLatin1Char('-');
            inRun = true;
        }
    }
    return anchor;
}

} // namespace HelpService
