#include "TMyPreview.h"

#include "PrintDestination.h"
#include "ReportDesign.h"
#include "TPrintRange.h"
#include "app/Settings.h"
#include "app/WindowLook.h"
#include "framework/Error.h"
#include "framework/report/ReportRecording.h"
#include "framework/report/TFilePreview.h"
#include "framework/ui/Controls.h"
#include "framework/ui/MessageService.h"
#include "framework/ui/WaitCursor.h"
#include "framework/ui/WindowStyle.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QScreen>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// How often a print under way lets the window take a click.
constexpr qint64 EventsInterval = 40;
// The smallest window the settings may ask for.
constexpr QSize MinimumSize(320, 240);

} // namespace

TMyPreview::TMyPreview(const ReportRecording &recording, const QString &caption, Settings &settings,
                       const WindowLook &look, QWidget *parent)
    : QDialog(parent), m_recording(recording), m_settings(settings), m_look(look), m_filePrinter(recording)
{
    setObjectName(QStringLiteral("MyPreview"));
    setWindowTitle(caption);
    setSizeGripEnabled(true);
    m_preview = new TFilePreview(this);
    m_preview->setObjectName(QStringLiteral("MyFilePreview"));
    connect(m_preview, &TFilePreview::pageChanged, this, &TMyPreview::MyFilePreviewPageChange);
    connect(m_preview, &TFilePreview::zoomChanged, this, &TMyPreview::MyFilePreviewZoomChange);
    m_filePrinter.onPage = [this] {
        if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < EventsInterval)
            return;
        m_sinceEvents.start();
        QCoreApplication::processEvents();
    };

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    createMenu();
    layout->addWidget(createToolBar());
    layout->addWidget(m_preview, 1);

    // Where the window was last closed, kept on the screen: the place is
    // that of its frame, the size that of the window inside it.
    QRect placed(m_settings.reportWindowLeft, m_settings.reportWindowTop, m_settings.reportWindowWidth,
                 m_settings.reportWindowHeight);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        placed = WindowStyle::placedWithin(placed, MinimumSize, screen->availableGeometry());
    else
        placed.setSize(placed.size().expandedTo(MinimumSize));
    resize(placed.size());
    move(placed.topLeft());
}

TMyPreview::~TMyPreview()
{
    // Edits losing the focus while the window is taken apart finish their
    // editing: nothing of this window may answer by then.
    for (QObject *sender : std::initializer_list<QObject *>{m_zoomEdit, m_pageEdit, m_preview})
        disconnect(sender, nullptr, this, nullptr);
}

void TMyPreview::createMenu()
{
    auto *bar = new QMenuBar(this);
    layout()->setMenuBar(bar);
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("MenuFile"));
    connect(Controls::menuItem(file, QStringLiteral("MenuPrintPage"), QStringLiteral("&Print Page"),
                               QStringLiteral("Ctrl+P")),
            &QAction::triggered, this, &TMyPreview::SBPrintClick);
    connect(Controls::menuItem(file, QStringLiteral("MenuPrintReport"), QStringLiteral("Print &Report"),
                               QStringLiteral("Ctrl+R")),
            &QAction::triggered, this, &TMyPreview::MenuPrintReportClick);
    connect(Controls::menuItem(file, QStringLiteral("MenuPrintRange"), QStringLiteral("Print Ran&ge"),
                               QStringLiteral("Ctrl+G")),
            &QAction::triggered, this, &TMyPreview::MenuPrintRangeClick);
    connect(Controls::menuItem(file, QStringLiteral("MenuSavePdf"), QStringLiteral("Save As P&DF..."),
                               QStringLiteral("Ctrl+D")),
            &QAction::triggered, this, &TMyPreview::MenuSavePdfClick);
    file->addSeparator();
    connect(Controls::menuItem(file, QStringLiteral("MenuExit"), QStringLiteral("E&xit"), QStringLiteral("Ctrl+X")),
            &QAction::triggered, this, &QDialog::accept);

    QMenu *navigate = bar->addMenu(QStringLiteral("&Navigate"));
    navigate->setObjectName(QStringLiteral("MenuNavigate"));
    connect(Controls::menuItem(navigate, QStringLiteral("MenuPrevPage"), QStringLiteral("&Previous Page"),
                               QStringLiteral("Ctrl+E")),
            &QAction::triggered, m_preview, &TFilePreview::prevPage);
    connect(Controls::menuItem(navigate, QStringLiteral("MenuNextPage"), QStringLiteral("&Next Page"),
                               QStringLiteral("Ctrl+N")),
            &QAction::triggered, m_preview, &TFilePreview::nextPage);
    navigate->addSeparator();
    connect(Controls::menuItem(navigate, QStringLiteral("MenuFirstPage"), QStringLiteral("&First Page"),
                               QStringLiteral("Ctrl+F")),
            &QAction::triggered, this, [this] { m_preview->goToPage(m_preview->firstPage()); });
    connect(Controls::menuItem(navigate, QStringLiteral("MenuLastPage"), QStringLiteral("&Last Page"),
                               QStringLiteral("Ctrl+L")),
            &QAction::triggered, this, [this] { m_preview->goToPage(m_preview->pageCount()); });

    QMenu *view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("MenuView"));
    m_useColor =
        Controls::menuItem(view, QStringLiteral("MenuUseColor"), QStringLiteral("Use Color"), QStringLiteral("Ctrl+C"));
    m_useColor->setCheckable(true);
    m_useColor->setChecked(!m_preview->monochrome());
    connect(m_useColor, &QAction::triggered, this, &TMyPreview::MenuUseColorClick);
    view->addSeparator();
    // Zoom In and Zoom Out hold the fixed factors; their shortcuts take the
    // preview's own steps, as the tool bar's buttons do.
    const auto zoomItem = [this](QMenu *menu, const char *name, const char *caption, double percent) {
        connect(Controls::menuItem(menu, QString::fromLatin1(name), QString::fromLatin1(caption)), &QAction::triggered,
                this, [this, percent] { zoomTo(percent); });
    };
    QMenu *zoomIn = view->addMenu(QStringLiteral("Zoom &In"));
    zoomIn->setObjectName(QStringLiteral("MenuZoomIn"));
    zoomItem(zoomIn, "MenuZoomIn1to1", "&1 : 1", 100);
    zoomItem(zoomIn, "MenuZoomIn2to1", "&2 : 1", 200);
    QMenu *zoomOut = view->addMenu(QStringLiteral("Zoom &Out"));
    zoomOut->setObjectName(QStringLiteral("MenuZoomOut"));
    zoomItem(zoomOut, "MenuZoomOut1to1", "1 : &1", 100);
    zoomItem(zoomOut, "MenuZoomOut1to2", "1 : &2", 50);
    zoomItem(zoomOut, "MenuZoomOut1to3", "1 : &3", 33.3);
    zoomItem(zoomOut, "MenuZoomOut1to4", "1 : &4", 25);
    zoomItem(zoomOut, "MenuZoomOut1to5", "1 : &5", 20);
    zoomIn->menuAction()->setShortcut(QKeySequence(QStringLiteral("Ctrl+I")));
    connect(zoomIn->menuAction(), &QAction::triggered, m_preview, &TFilePreview::zoomIn);
    zoomOut->menuAction()->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    connect(zoomOut->menuAction(), &QAction::triggered, m_preview, &TFilePreview::zoomOut);
    connect(Controls::menuItem(view, QStringLiteral("MenuZoomPageWidth"), QStringLiteral("Zoom &Page Width"),
                               QStringLiteral("Ctrl+Z")),
            &QAction::triggered, this, [this] { zoomTo(m_preview->zoomPageWidthFactor()); });
    connect(Controls::menuItem(view, QStringLiteral("MenuZoomPage"), QStringLiteral("Zoom &Whole Page"),
                               QStringLiteral("Ctrl+W")),
            &QAction::triggered, this, [this] { zoomTo(m_preview->zoomPageFactor()); });
}

QWidget *TMyPreview::createToolBar()
{
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("SpeedPanel"));
    // The bar fits the narrowest window the preview opens in (640 pixels):
    // the buttons stand close together, and the page count is cut at the
    // right rather than widen the window.
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(2);
    const auto speed = [this, bar, row](const char *name, const char *icon, const char *hint, auto run) {
        auto *button = new QToolButton(bar);
        button->setObjectName(QString::fromLatin1(name));
        button->setIcon(QIcon(QStringLiteral(":/icons/") + QString::fromLatin1(icon)));
        button->setIconSize(QSize(20, 20));
        button->setAutoRaise(true);
        button->setToolTip(QString::fromLatin1(hint));
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, run);
        row->addWidget(button);
    };
    speed("SBZoomIn", "zoom-in.png", "Zoom In", [this] { m_preview->zoomIn(); });
    speed("SBZoomOut", "zoom-out.png", "Zoom Out", [this] { m_preview->zoomOut(); });
    speed("SBZoomPageWidth", "zoom-page-width.png", "Zoom Page Width",
          [this] { zoomTo(m_preview->zoomPageWidthFactor()); });
    speed("SBZoomPage", "zoom-page.png", "Zoom Whole Page", [this] { zoomTo(m_preview->zoomPageFactor()); });
    row->addSpacing(6);
    speed("SBPrevPage", "nav-prior.png", "Prev Page", [this] { m_preview->prevPage(); });
    speed("SBNextPage", "nav-next.png", "Next Page", [this] { m_preview->nextPage(); });
    row->addSpacing(6);
    speed("SBPrint", "reports.png", "Print Page", [this] { SBPrintClick(); });
    speed("SBSavePdf", "save-pdf.png", "Save As PDF", [this] { MenuSavePdfClick(); });
    speed("SBDone", "nav-post.png", "Done", [this] { accept(); });
    row->addSpacing(8);

    row->addWidget(Controls::label(bar, QStringLiteral("ZoomLabel"), QStringLiteral("Zoom %")));
    m_zoomEdit = Controls::edit(bar, QStringLiteral("ZoomEdit"), 10);
    connect(m_zoomEdit, &QLineEdit::editingFinished, this, &TMyPreview::ZoomEditExit);
    row->addWidget(m_zoomEdit);
    row->addSpacing(6);
    row->addWidget(Controls::label(bar, QStringLiteral("PageNumLabel"), QStringLiteral("Page #")));
    m_pageEdit = Controls::edit(bar, QStringLiteral("PageEdit"), 6);
    connect(m_pageEdit, &QLineEdit::editingFinished, this, &TMyPreview::PageEditExit);
    row->addWidget(m_pageEdit);
    row->addSpacing(6);
    m_pageLabel = Controls::label(bar, QStringLiteral("PageLabel"), QStringLiteral("Page 1 of 1"));
    m_pageLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(m_pageLabel, 1);
    return bar;
}

void TMyPreview::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_started && !event->spontaneous()) {
        m_started = true;
        FormActivate();
    }
}

void TMyPreview::FormActivate()
{
    WindowStyle::applyFonts(this, m_look.fonts());
    // Room for the largest factor and page number, in the edits' own font.
    m_zoomEdit->setFixedWidth(m_zoomEdit->fontMetrics().horizontalAdvance(QStringLiteral("0000.0")) + 12);
    m_pageEdit->setFixedWidth(m_pageEdit->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    m_preview->start(m_recording);
    MyFilePreviewZoomChange(m_preview->zoomFactor());
    m_preview->setFocus();
}

void TMyPreview::done(int result)
{
    if (m_filePrinter.busy())
        return;
    FormClose();
    QDialog::done(result);
}

void TMyPreview::FormClose()
{
    m_preview->end();
    m_settings.reportWindowLeft = x();
    m_settings.reportWindowTop = y();
    m_settings.reportWindowWidth = width();
    m_settings.reportWindowHeight = height();
}

void TMyPreview::MyFilePreviewPageChange(int page)
{
    m_pageEdit->setText(QString::number(page));
    m_pageLabel->setText(
        QStringLiteral("Page %1 of %2").arg(page - m_preview->firstPage() + 1).arg(m_preview->pageCount()));
}

void TMyPreview::MyFilePreviewZoomChange(double percent)
{
    m_zoomEdit->setText(QString::number(percent, 'f', 1).left(10));
    m_preview->redraw();
}

void TMyPreview::zoomTo(double percent)
{
    m_preview->setZoomFactor(percent);
    m_preview->redraw();
}

// A value that does not read, or is the one in force, changes nothing; the
// edit shows the factor in force again.
void TMyPreview::ZoomEditExit()
{
    const std::optional<double> percent = ReportDesign::readDecimal(m_zoomEdit->text());
    if (percent && *percent != m_preview->zoomFactor())
        m_preview->setZoomFactor(*percent);
    MyFilePreviewZoomChange(m_preview->zoomFactor());
}

void TMyPreview::PageEditExit()
{
    bool ok = false;
    const int page = m_pageEdit->text().trimmed().toInt(&ok);
    if (ok && page != m_preview->currentPage())
        m_preview->goToPage(page);
    MyFilePreviewPageChange(m_preview->currentPage());
}

void TMyPreview::MenuUseColorClick()
{
    m_preview->setMonochrome(!m_preview->monochrome());
    m_useColor->setChecked(!m_preview->monochrome());
}

bool TMyPreview::printerReady()
{
    if (!m_filePrinter.busy())
        return true;
    MessageService::error(this, QStringLiteral("Previous print job has not yet finished.  Try again later."));
    return false;
}

void TMyPreview::SBPrintClick()
{
    printPages(m_preview->currentPage(), m_preview->currentPage());
}

void TMyPreview::MenuPrintReportClick()
{
    printPages(1, m_preview->pageCount());
}

void TMyPreview::MenuPrintRangeClick()
{
    if (!printerReady())
        return;
    TPrintRange range(m_preview->pageCount(), m_look, this);
    range.exec();
    if (range.confirmed())
        printPages(range.range().first, range.range().last);
}

void TMyPreview::MenuSavePdfClick()
{
    if (!printerReady())
        return;
    QPrinter printer(QPrinter::HighResolution);
    if (PrintDestination::toPdf(printer, this))
        printTo(printer, 1, m_preview->pageCount());
}

void TMyPreview::printPages(int first, int last)
{
    if (!printerReady())
        return;
    QPrinter printer(QPrinter::HighResolution);
    if (PrintDestination::prepare(printer, m_settings, this))
        printTo(printer, first, last);
}

void TMyPreview::printTo(QPrinter &printer, int first, int last)
{
    printer.setDocName(windowTitle());
    m_sinceEvents.invalidate();
    try {
        WaitCursor wait;
        m_filePrinter.print(printer, first, last, 1);
    } catch (const Error &e) {
        MessageService::error(this, e.message());
    }
}
