#pragma once

#include "ViewerConfiguration.h"
#include "app/Settings.h"
#include "framework/ui/WindowStyle.h"

#include <QDialog>

class QCheckBox;
class QFrame;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class QTableWidget;

// "Viewer Configuration": how the main window's viewer grid shows the catalog.
// Check boxes, alignment, colours and fonts go into the settings at once; the
// four grids (shown fields, widths, order, names) are taken when the window
// closes, by whatever way it closes, and a name that two fields share keeps it
// open on the names page. The caller applies the result to the viewer grid.
class TViewConfig : public QDialog
{
    Q_OBJECT

public:
    TViewConfig(Settings &settings, const WindowStyle::Fonts &fonts, double scale, QWidget *parent = nullptr);

    // Paints the window from the configure colour set.
    void SetColors();

    // Every way out (Exit, Escape, the title bar) passes the closing checks.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *createTitlePage();
    QWidget *createLookPage();
    QWidget *createShowPage();
    QWidget *createWidthsPage();
    QWidget *createOrderPage();
    QWidget *createNamesPage();
    QTableWidget *createGrid(const QString &objectName, const QStringList &headings, const QList<int> &widths);
    void fillOrderGrid(const std::array<int, ViewerConfiguration::Count> &orderFields);
    ViewerConfiguration::Grids gridTexts() const;

    void FormShow();
    bool FormCloseQuery();
    void FormClose();
    void Button1Click();
    void NewColorBUttonClick();
    void TitleFontButtonClick();
    void NewFontButtonClick();
    void FieldsToDisplayDblClick(int row);
    void OrderUpClick();
    void OrderDownClick();
    void OrderDefaultsClick();
    void HelpButtonClick();
    void moveOrderRow(int step);

    Settings &m_settings;
    WindowStyle::Fonts m_fonts;
    double m_scale;
    bool m_formShown = false;

    QTabWidget *m_pages;
    QFrame *m_titleShape;
    QLineEdit *m_titleFont;
    QFrame *m_cellColorShape;
    QLineEdit *m_gridFont;
    QTableWidget *m_showGrid;
    QTableWidget *m_widthGrid;
    QTableWidget *m_orderGrid;
    QTableWidget *m_nameGrid;
};
