#pragma once

#include "HelpIndex.h"

#include <QTextDocument>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTextBrowser;

// The window that shows the user's guide compiled into the resources: a browser
// with Contents (the start page), Back and Forward, and a find field that looks
// for text in the page shown. It is not modal; the program has one, created on
// first use and reused, and it stays usable above the modal window that asked
// for it.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget *parent = nullptr);

    // The program's help window, created on first use.
    static HelpWindow *instance();

    // Shows the window above `parent`'s window (usable while that window is
    // modal), or raises it when it is shown already.
    void present(QWidget *parent);

    void showContents();
    // The page holding `anchor`, scrolled to it; the contents when no page has it.
    void showAnchor(const QString &anchor);

    // The page shown, with the anchor it was opened at as fragment.
    QUrl source() const;
    QString anchor() const;

    // Looks for the find field's text in the page, from the selection on, going
    // round the page once; says "Not found" beside the field when it is absent.
    bool findInPage(QTextDocument::FindFlags flags = {});

private:
    void pageChanged();

    HelpIndex m_index;
    QTextBrowser *m_browser = nullptr;
    QPushButton *m_backButton = nullptr;
    QPushButton *m_forwardButton = nullptr;
    QLineEdit *m_findField = nullptr;
    QLabel *m_findStatus = nullptr;
};
