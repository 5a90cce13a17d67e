#pragma once

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QPushButton;
class ReportGenerator;
class TBaseReport;
class WindowLook;

// The Report Status Screen: runs a report as soon as it is shown and tells the
// page being done. Its button cancels the run while it goes on, and closes the
// window once it has ended ("Report Completed!" or "Report Canceled!"). An
// error ends the run: it is shown, and the run counts as cancelled.
class TReportForm : public QDialog
{
    Q_OBJECT

public:
    // `engine` is a printer for printing and a filer for viewing and for text
    // files; the generator's handlers are attached to it here.
    TReportForm(ReportGenerator &generator, TBaseReport &engine, const WindowLook &look, QWidget *parent = nullptr);

    bool aborted() const;

    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void FormActivate();
    void BitBtn1Click();
    void showStatus(const QString &status);

    static constexpr int StatusInterval = 40; // milliseconds

    TBaseReport &m_engine;
    const WindowLook &m_look;
    bool m_shown = false;
    bool m_running = false;
    bool m_closeWhenDone = false;
    QElapsedTimer m_sinceStatus;
    QLabel *m_label1 = nullptr;
    QPushButton *m_bitBtn1 = nullptr;
};
