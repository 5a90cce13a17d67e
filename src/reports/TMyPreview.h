#pragma once

#include "framework/report/TFilePrinter.h"

#include <QDialog>
#include <QElapsedTimer>

class QAction;
class QLabel;
class QLineEdit;
class QPrinter;
class ReportRecording;
class Settings;
class TFilePreview;
class WindowLook;

// The report on screen, page by page: zoom, paging, and printing of the page
// shown, the whole report or a range of pages, or saving it as a PDF file.
// What it prints are the recorded pages it shows. It opens where and as large
// as it was last closed (the Report Viewing Window keys).
class TMyPreview : public QDialog
{
    Q_OBJECT

public:
    // `recording` must outlive the window.
    TMyPreview(const ReportRecording &recording, const QString &caption, Settings &settings, const WindowLook &look,
               QWidget *parent);
    ~TMyPreview() override;

    TFilePreview *preview() const { return m_preview; }

    void SBPrintClick();
    void MenuPrintReportClick();
    void MenuPrintRangeClick();
    void MenuSavePdfClick();
    void MenuUseColorClick();
    void zoomTo(double percent);

    // Closing waits for a print under way.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createMenu();
    QWidget *createToolBar();
    void FormActivate();
    void FormClose();
    void MyFilePreviewPageChange(int page);
    void MyFilePreviewZoomChange(double percent);
    void ZoomEditExit();
    void PageEditExit();
    // False, after saying so, while the previous print is still running.
    bool printerReady();
    void printPages(int first, int last);
    void printTo(QPrinter &printer, int first, int last);

    const ReportRecording &m_recording;
    Settings &m_settings;
    const WindowLook &m_look;
    TFilePrinter m_filePrinter;
    QElapsedTimer m_sinceEvents;
    bool m_started = false;
    TFilePreview *m_preview;
    QLineEdit *m_zoomEdit = nullptr;
    QLineEdit *m_pageEdit = nullptr;
    QLabel *m_pageLabel = nullptr;
    QAction *m_useColor = nullptr;
};
