#include "HelpWindow.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWindow>

namespace {

QPointer<HelpWindow> theWindow;

QPushButton *addButton(QWidget *parent, QLayout *layout, const QString &objectName, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    layout->addWidget(button);
    return button;
}

} // namespace

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window), m_index(QStringLiteral(":/help"))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Shelfmark Books Help"));

    auto *bar = new QHBoxLayout;
    QPushButton *contents = addButton(this, bar, QStringLiteral("ContentsButton"), QStringLiteral("&Contents"));
    m_backButton = addButton(this, bar, QStringLiteral("BackButton"), QStringLiteral("&Back"));
    m_forwardButton = addButton(this, bar, QStringLiteral("ForwardButton"), QStringLiteral("&Forward"));
    bar->addStretch();
    auto *findLabel = new QLabel(QStringLiteral("F&ind:"), this);
    bar->addWidget(findLabel);
    m_findField = new QLineEdit(this);
    m_findField->setObjectName(QStringLiteral("FindField"));
    findLabel->setBuddy(m_findField);
    bar->addWidget(m_findField);
    QPushButton *previous = addButton(this, bar, QStringLiteral("FindPreviousButton"), QStringLiteral("&Previous"));
    QPushButton *next = addButton(this, bar, QStringLiteral("FindNextButton"), QStringLiteral("&Next"));
    m_findStatus = new QLabel(this);
    m_findStatus->setObjectName(QStringLiteral("FindStatus"));
    bar->addWidget(m_findStatus);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_browser);
    resize(760, 560);

    m_backButton->setEnabled(false);
    m_forwardButton->setEnabled(false);
    connect(contents, &QPushButton::clicked, this, &HelpWindow::showContents);
    connect(m_backButton, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forwardButton, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_backButton, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forwardButton, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::pageChanged);
    connect(next, &QPushButton::clicked, this, [this] { findInPage(); });
    connect(m_findField, &QLineEdit::returnPressed, this, [this] { findInPage(); });
    connect(previous, &QPushButton::clicked, this, [this] { findInPage(QTextDocument::FindBackward); });

    connect(new QShortcut(QKeySequence::Back, this), &QShortcut::activated, m_browser, &QTextBrowser::backward);
    connect(new QShortcut(QKeySequence::Forward, this), &QShortcut::activated, m_browser, &QTextBrowser::forward);
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this, [this] {
        m_findField->setFocus();
        m_findField->selectAll();
    });
    connect(new QShortcut(QKeySequence::FindNext, this), &QShortcut::activated, this, [this] { findInPage(); });
    connect(new QShortcut(QKeySequence::FindPrevious, this), &QShortcut::activated, this,
            [this] { findInPage(QTextDocument::FindBackward); });
}

HelpWindow *HelpWindow::instance()
{
    if (!theWindow) {
        theWindow = new HelpWindow;
        // A window without a parent is deleted with the application, while it
        // can still be.
        qAddPostRoutine([] { delete theWindow.data(); });
    }
    return theWindow;
}

void HelpWindow::present(QWidget *parent)
{
    // A modal window blocks every window but those it is the transient parent of.
    winId();
    windowHandle()->setTransientParent(parent ? parent->window()->windowHandle() : nullptr);
    show();
    raise();
    activateWindow();
}

void HelpWindow::showContents()
{
    m_browser->setSource(m_index.startPage());
}

void HelpWindow::showAnchor(const QString &anchor)
{
    const QUrl url = m_index.urlFor(anchor);
    m_browser->setSource(url.isEmpty() ? m_index.startPage() : url);
}

QUrl HelpWindow::source() const
{
    return m_browser->source();
}

QString HelpWindow::anchor() const
{
    return m_browser->source().fragment();
}

bool HelpWindow::findInPage(QTextDocument::FindFlags flags)
{
    const QString text = m_findField->text();
    m_findStatus->clear();
    if (text.isEmpty())
        return false;
    if (m_browser->find(text, flags))
        return true;
    const QTextCursor before = m_browser->textCursor();
    QTextCursor from = before;
    from.movePosition(flags.testFlag(QTextDocument::FindBackward) ? QTextCursor::End : QTextCursor::Start);
    m_browser->setTextCursor(from);
    if (m_browser->find(text, flags))
        return true;
    m_browser->setTextCursor(before);
    m_findStatus->setText(QStringLiteral("Not found"));
    return false;
}

void HelpWindow::pageChanged()
{
    m_findStatus->clear();
    const QString title = m_browser->documentTitle();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Shelfmark Books Help")
                                   : QStringLiteral("Shelfmark Books Help - %1").arg(title));
}
