#pragma once

#include <QList>
#include <QString>

class QWidget;

// Every message box of the program goes through here, so that tests can answer
// the next box and read what the user would have read. Captions name the kind
// of message ("Error", "Confirm", "Notice", ...); the text is shown as given.
class MessageService
{
public:
    enum class Icon { Error, Information, Warning, Question };
    enum Button { Ok = 0x1, Yes = 0x2, No = 0x4, Cancel = 0x8 };

    struct Shown
    {
        QString caption;
        QString text;
        Icon icon;
        int buttons;
        int answer;
    };

    // A modal box; answers the button pressed. The hour-glass cursor is put
    // away while the box is up.
    static int show(QWidget *parent, const QString &caption, const QString &text, Icon icon, int buttons,
                    int defaultButton);

    // "Error" with an OK button.
    static void error(QWidget *parent, const QString &text);
    // A Yes/No question; true for Yes.
    static bool ask(QWidget *parent, const QString &caption, const QString &text);
    // A notice with an OK button under the given caption ("Notice", "Finished").
    static void inform(QWidget *parent, const QString &caption, const QString &text);

    // Test seam. While recording, no box appears: each is appended to shown()
    // and answered with the next queued answer, or with its default button.
    static void startRecording();
    static void stopRecording();
    static bool isRecording();
    static void queueAnswer(int button);
    static const QList<Shown> &shown();
    static void clearShown();
};
