#pragma once

#include "ReportDefinition.h"
#include "ReportLayout.h"

#include <QDialog>

class QLabel;
class Settings;
class WindowLook;

// "Specify Report Layout": the report's body lines and its totals line drawn
// as rows of cells, fields in black, labels in red and fillers in green; a
// click on a cell opens it in Select Report Part. It works on a copy of the
// definition that Ok keeps and Cancel drops.
class TRepLayout : public QDialog
{
    Q_OBJECT

public:
    // `name` is the report's name as the designer shows it, `designerWidth`
    // the width its radio buttons say, `showTotals` whether its Use Totals box
    // is checked.
    TRepLayout(ReportDefinition &definition, const QString &name, int designerWidth, bool showTotals,
               const Settings &settings, const WindowLook &look, QWidget *parent);

    const ReportDefinition &layoutCopy() const { return m_copy; }
    QWidget *canvas() const { return m_canvas; }
    const ReportLayout &layoutGeometry() const { return m_layout; }

    // Opens Select Report Part on element `item` of body line `line` (or of
    // the totals line, ReportLayout::TotalsLine).
    void openPart(int line, int item);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void OkButtonClick();
    void paintCanvas();
    void paintLine(QPainter &painter, const ReportLine &line, int number, bool totals);

    ReportDefinition &m_definition;
    ReportDefinition m_copy;
    int m_designerWidth;
    bool m_showTotals;
    const Settings &m_settings;
    const WindowLook &m_look;
    ReportLayout m_layout;
    ReportLayout::Hit m_pressed;
    QWidget *m_canvas;
};
