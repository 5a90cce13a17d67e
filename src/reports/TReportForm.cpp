#include "TReportForm.h"

#include "ReportGenerator.h"
#include "app/WindowLook.h"
#include "framework/Error.h"
#include "framework/report/TBaseReport.h"
#include "framework/ui/MessageService.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

TReportForm::TReportForm(ReportGenerator &generator, TBaseReport &engine, const WindowLook &look, QWidget *parent)
    : QDialog(parent), m_engine(engine), m_look(look)
{
    setObjectName(QStringLiteral("ReportForm"));
    setWindowTitle(QStringLiteral("Report Status Screen"));
    m_label1 = new QLabel(QStringLiteral("Printing Status"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setAlignment(Qt::AlignCenter);
    // Room for the three status lines, so that the window keeps its size.
    m_label1->setMinimumSize(m_label1->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 30,
                             m_label1->fontMetrics().lineSpacing() * 3);
    m_bitBtn1 = new QPushButton(QStringLiteral("Cancel"), this);
    m_bitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    connect(m_bitBtn1, &QPushButton::clicked, this, &TReportForm::BitBtn1Click);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_bitBtn1);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label1);
    layout->addLayout(buttons);

    generator.attach(engine);
    engine.onStatus = [this](const QString &status) { showStatus(status); };
}

bool TReportForm::aborted() const
{
    return m_engine.aborted();
}

void TReportForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown && !event->spontaneous()) {
        m_shown = true;
        FormShow();
        QTimer::singleShot(0, this, &TReportForm::FormActivate);
    }
}

void TReportForm::FormShow()
{
    WindowStyle::applyFonts(this, m_look.fonts());
    WindowStyle::scale(this, m_look.scaleFactor());
    WindowStyle::centre(this);
}

void TReportForm::FormActivate()
{
    m_running = true;
    m_sinceStatus.invalidate();
    try {
        m_engine.execute();
    } catch (const Error &e) {
        MessageService::error(this, e.message());
    }
    m_running = false;
    if (m_closeWhenDone) {
        QDialog::reject();
        return;
    }
    m_label1->setText(m_engine.aborted() ? QStringLiteral("\nReport Canceled!")
                                         : QStringLiteral("\nReport Completed!"));
    m_bitBtn1->setText(QStringLiteral("OK"));
}

void TReportForm::BitBtn1Click()
{
    if (m_running)
        m_engine.abort();
    else
        accept();
}

// Closing the window while the report runs cancels the run; the window closes
// when it has ended.
void TReportForm::reject()
{
    if (m_running) {
        m_engine.abort();
        m_closeWhenDone = true;
    } else
        QDialog::reject();
}

// The status and the Cancel button are served between pages, a few times a
// second: a long report has thousands of pages.
void TReportForm::showStatus(const QString &status)
{
    if (m_sinceStatus.isValid() && m_sinceStatus.elapsed() < StatusInterval)
        return;
    m_sinceStatus.start();
    m_label1->setText(status);
    QCoreApplication::processEvents();
}
