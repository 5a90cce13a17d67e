#pragma once

#include "framework/ui/WindowStyle.h"

#include <QDialog>

class QCheckBox;
class QLabel;

// The Tip of the Day window: one of 24 short hints, a random one first, Next Tip
// for the following one. Its check box is the only switch of the start-up tips:
// however the window closes, the box's state becomes the Show Tips setting.
class TTipOfDay : public QDialog
{
    Q_OBJECT

public:
    static constexpr int TipCount = 24;

    // showTips is the Show Tips setting; it takes the box's state on closing.
    TTipOfDay(bool &showTips, const WindowStyle::Fonts &fonts, double scale, QWidget *parent = nullptr);

    // The text of tip `number`, 1 to 24.
    static QString tipText(int number);

    int currentTip() const { return m_currentTip; }
    void setCurrentTip(int number);

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void NextTipButtonClick();

    bool &m_showTips;
    WindowStyle::Fonts m_fonts;
    double m_scale;
    WindowStyle::SavedDimensions m_design;
    int m_currentTip = 1;
    QLabel *m_heading = nullptr;
    QLabel *m_tipComment = nullptr;
    QCheckBox *m_showTipsBox = nullptr;
};
