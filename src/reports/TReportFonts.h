#pragma once

#include <QDialog>
#include <array>

class QLineEdit;
struct ReportDefinition;
struct ReportFont;
class WindowLook;

// "Report Fonts": the fonts of a report's titles, column headers, body and
// footnotes, each changed through the font dialog straight into the
// definition.
class TReportFonts : public QDialog
{
    Q_OBJECT

public:
    TReportFonts(ReportDefinition &definition, const WindowLook &look, QWidget *parent);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void newFont(std::size_t which);
    void showFonts();

    const WindowLook &m_look;
    std::array<ReportFont *, 4> m_fonts;
    std::array<QLineEdit *, 4> m_edits{};
};
