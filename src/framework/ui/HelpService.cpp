#include "HelpService.h"

#include "HelpWindow.h"

namespace HelpService {

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
