#pragma once

#include <QDialog>
#include <array>

class Catalog;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct ReportDefinition;
class WindowLook;

// "Report Definition": a report's name, width, fonts, titles, options,
// margins and lines per book, for a new report or one of the report list.
// Width and font changes (and, for a listed report, its name) change the
// definition at once; Update checks and saves it into the report-definitions
// file, Delete removes a listed report from it.
class TUserReport : public QDialog
{
    Q_OBJECT

public:
    // `recordIndex` is the listed report's place in the file (modify mode).
    TUserReport(ReportDefinition &definition, Catalog &catalog, const WindowLook &look, bool newMode, int recordIndex,
                QWidget *parent);

    bool newMode() const { return m_newMode; }
    // After Update: the place the report was saved at.
    bool saved() const { return m_saved; }
    int recordIndex() const { return m_recordIndex; }
    bool deleted() const { return m_deleted; }

    // The width the radio buttons say: 150, 120, or 90 for anything else.
    int designerWidth() const;

    void UpdateButtonClick();
    void DeleteButtonClick();
    void SetFontsClick();
    void SpecifyButtonClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void SetColors();
    void showFonts();
    void showWidth(int width);
    void enableRules(int numLines);
    void ReportNameExit();
    void NumLinesExit();
    void widthClick(int width);
    // The number of lines per book when it is 0-12; otherwise says so.
    bool checkNumLines();
    // The margins when they are good; otherwise says which to correct.
    bool checkMargins();
    void copyControls();

    ReportDefinition &m_definition;
    Catalog &m_catalog;
    const WindowLook &m_look;
    bool m_newMode;
    int m_recordIndex;
    QString m_startName;
    bool m_saved = false;
    bool m_deleted = false;
    std::array<double, 4> m_margins{};

    QLineEdit *m_reportName;
    QRadioButton *m_chars90;
    QRadioButton *m_chars120;
    QRadioButton *m_chars150;
    std::array<QLineEdit *, 4> m_fontEdits{}; // title lines, column headers, body, footnotes
    std::array<QLineEdit *, 3> m_titles{};
    QCheckBox *m_level1Group;
    QCheckBox *m_level2Group;
    QCheckBox *m_columnHeaders;
    QCheckBox *m_horzLines;
    QCheckBox *m_vertLines;
    QCheckBox *m_dateOnPage;
    QCheckBox *m_pageNumbers;
    QCheckBox *m_landOrient;
    QCheckBox *m_useTotals;
    std::array<QLineEdit *, 4> m_marginEdits{}; // top, bottom, left, right
    QLineEdit *m_numLines;
    QPushButton *m_deleteButton;
};
