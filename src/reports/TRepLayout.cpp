#include "TRepLayout.h"

#include "ReportDesign.h"
#include "TReportPart.h"
#include "app/WindowLook.h"
#include "framework/ui/Controls.h"
#include "framework/ui/WindowStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

constexpr int NameLabelLength = 38;

} // namespace

TRepLayout::TRepLayout(ReportDefinition &definition, const QString &name, int designerWidth, bool showTotals,
                       const Settings &settings, const WindowLook &look, QWidget *parent)
    : QDialog(parent), m_definition(definition), m_copy(definition), m_designerWidth(designerWidth),
      m_showTotals(showTotals), m_settings(settings), m_look(look),
      m_layout(look.scaleFactor(), designerWidth, definition.numLines)
{
    setObjectName(QStringLiteral("RepLayout"));
    setWindowTitle(QStringLiteral("Specify Report Layout"));
    // The drawing is laid out in pixels at the window scale factor: the
    // canvas has that size, and the labels on it stand at fixed places.
    const double s = look.scaleFactor();
    const auto at = [s](int pixels) { return int(std::lround(pixels * s)); };
    m_canvas = new QWidget(this);
    m_canvas->setObjectName(QStringLiteral("LayoutCanvas"));
    m_canvas->setFixedSize(m_layout.canvasSize());
    m_canvas->installEventFilter(this);
    QLabel *nameLabel = Controls::label(m_canvas, QStringLiteral("ReportNameLabel"),
                                        (QStringLiteral("Report: ") + name).left(NameLabelLength), true);
    nameLabel->move(m_layout.left(), at(8));
    QLabel *body = Controls::label(m_canvas, QStringLiteral("BodyLabel"), QStringLiteral("Report Body"), true);
    body->move(m_layout.left(), m_layout.rowTop(1) - at(20));
    body->setVisible(m_copy.numLines > 0);
    QLabel *totals = Controls::label(m_canvas, QStringLiteral("TotalsLabel"), QStringLiteral("Report Totals"), true);
    totals->move(m_layout.left(), m_layout.rowTop(ReportLayout::TotalsLine) - at(20));
    totals->setVisible(showTotals);

    QLabel *hint = Controls::label(this, QStringLiteral("HintLabel"),
                                   QStringLiteral("Using the left mouse button, click on the area where you would "
                                                  "like to add or change the report layout."));
    hint->setWordWrap(true);
    auto *ok = Controls::button(this, QStringLiteral("OkButton"), QStringLiteral("&Ok"));
    connect(ok, &QPushButton::clicked, this, &TRepLayout::OkButtonClick);
    auto *cancel = Controls::button(this, QStringLiteral("CancelButton"), QStringLiteral("&Cancel"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // The canvas spans the window from edge to edge, so that the window is
    // no wider than a screen of 640 pixels at scale 1.
    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(m_layout.left(), 0, m_layout.left(), 0);
    buttons->addWidget(hint, 1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, at(6));
    layout->addWidget(m_canvas);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TRepLayout::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TRepLayout::FormShow()
{
    WindowStyle::present(this, m_look.fonts(), m_look.scaleFactor());
    WindowStyle::applyColors(this, m_look.colors(WindowLook::Group::Report));
    for (QLabel *label : m_canvas->findChildren<QLabel *>())
        label->adjustSize();
}

void TRepLayout::OkButtonClick()
{
    m_definition = m_copy;
    accept();
}

bool TRepLayout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_canvas)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint:
        paintCanvas();
        return true;
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton)
            m_pressed = m_layout.hit(mouse->position().toPoint(), m_copy);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return true;
        const ReportLayout::Hit released = m_layout.hit(mouse->position().toPoint(), m_copy);
        const ReportLayout::Hit pressed = std::exchange(m_pressed, {});
        if (released == pressed && released.valid())
            openPart(released.line, released.item);
        return true;
    }
    default:
        return QDialog::eventFilter(watched, event);
    }
}

void TRepLayout::openPart(int line, int item)
{
    const bool totals = line == ReportLayout::TotalsLine;
    ReportLine &target = totals ? m_copy.totalsLine : m_copy.bodyLines[std::size_t(line - 1)];
    TReportPart part(target, line, item, m_designerWidth, m_settings, m_look, this);
    if (part.exec() == QDialog::Accepted) {
        target = part.line();
        m_canvas->update();
    }
}

void TRepLayout::paintCanvas()
{
    QPainter painter(m_canvas);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8 * m_look.scaleFactor());
    painter.setFont(font);
    const int lines = std::clamp(m_copy.numLines, 0, ReportDefinition::LineCount);
    for (int number = 1; number <= lines; ++number)
        paintLine(painter, m_copy.bodyLines[std::size_t(number - 1)], number, false);
    if (m_showTotals)
        paintLine(painter, m_copy.totalsLine, ReportLayout::TotalsLine, true);
}

void TRepLayout::paintLine(QPainter &painter, const ReportLine &line, int number, bool totals)
{
    const QFontMetrics metrics = painter.fontMetrics();
    const std::vector<QRect> cells = m_layout.cells(line, number);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const QRect &cell = cells[i];
        const ReportElement &element = line.elements[i];
        painter.setPen(Qt::black);
        painter.setBrush(Qt::white);
        painter.drawRect(cell.adjusted(0, 0, -1, -1));

        QString text;
        Qt::Alignment align = Qt::AlignLeft;
        QColor ink = Qt::black;
        if (element.isFiller()) {
            text = QStringLiteral("Filler");
            align = Qt::AlignHCenter;
            ink = QColor(0, 128, 0);
        } else if (element.isLabel()) {
            text = element.labelText;
            align = Qt::AlignRight;
            ink = Qt::red;
        } else {
            text = totals ? element.name : ReportDesign::fieldCaption(element.name, m_settings);
        }
        // A text too wide for its cell is cut at the right and drawn from its left.
        const int room = cell.right() - cell.left() - 1;
        if (metrics.horizontalAdvance(text) > room) {
            while (!text.isEmpty() && metrics.horizontalAdvance(text) > room)
                text.chop(1);
            align = Qt::AlignLeft;
        }
        painter.setPen(ink);
        painter.drawText(cell.adjusted(1, 0, -1, 0), int(align | Qt::AlignVCenter), text);
    }
}
