#include "MessageService.h"

#include <QApplication>
#include <QMessageBox>

namespace {

struct Recorder
{
    bool recording = false;
    QList<int> answers;
    QList<MessageService::Shown> shown;
};

Recorder &recorder()
{
    static Recorder instance;
    return instance;
}

QMessageBox::StandardButton standard(int button)
{
    switch (button) {
    case MessageService::Yes:
        return QMessageBox::Yes;
    case MessageService::No:
        return QMessageBox::No;
    case MessageService::Cancel:
        return QMessageBox::Cancel;
    default:
        return QMessageBox::Ok;
    }
}

} // namespace

int MessageService::show(QWidget *parent, const QString &caption, const QString &text, Icon icon, int buttons,
                         int defaultButton)
{
    Recorder &r = recorder();
    if (r.recording) {
        const int answer = r.answers.isEmpty() ? defaultButton : r.answers.takeFirst();
        r.shown.append({caption, text, icon, buttons, answer});
        return answer;
    }
    // A wait cursor must not hang over a question.
    int overrides = 0;
    while (QApplication::overrideCursor()) {
        QApplication::restoreOverrideCursor();
        ++overrides;
    }
    QMessageBox box(parent);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
    case Icon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    QMessageBox::StandardButtons standardButtons;
    for (int b : {Ok, Yes, No, Cancel}) {
        if (buttons & b)
            standardButtons |= standard(b);
    }
    box.setStandardButtons(standardButtons);
    box.setDefaultButton(standard(defaultButton));
    const int pressed = box.exec();
    for (int i = 0; i < overrides; ++i)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    for (int b : {Ok, Yes, No, Cancel}) {
        if (pressed == standard(b))
            return b;
    }
    return (buttons & Cancel) ? Cancel : (buttons & No) ? No : Ok;
}

void MessageService::error(QWidget *parent, const QString &text)
{
    show(parent, QStringLiteral("Error"), text, Icon::Error, Ok, Ok);
}

bool MessageService::ask(QWidget *parent, const QString &caption, const QString &text)
{
    return show(parent, caption, text, Icon::Question, Yes | No, Yes) == Yes;
}

void MessageService::inform(QWidget *parent, const QString &caption, const QString &text)
{
    show(parent, caption, text, Icon::Information, Ok, Ok);
}

void MessageService::startRecording()
{
    recorder() = Recorder();
    recorder().recording = true;
}

void MessageService::stopRecording()
{
    recorder() = Recorder();
}

bool MessageService::isRecording()
{
    return recorder().recording;
}

void MessageService::queueAnswer(int button)
{
    recorder().answers.append(button);
}

const QList<MessageService::Shown> &MessageService::shown()
{
    return recorder().shown;
}

void MessageService::clearShown()
{
    recorder().shown.clear();
}
