#pragma once

#include "app/Settings.h"
#include "framework/ui/WindowStyle.h"

#include <QDialog>

class QComboBox;

// "Color Configuration": edits a working copy of one colour set, slot by slot
// through the colour dialog or wholesale from a predefined combination, and
// paints itself as a sample of it. Nothing reaches the settings here: after Ok
// the caller copies workingSet() into the target's set(s) (ColorTarget::store).
class TColorConfig : public QDialog
{
    Q_OBJECT

public:
    // `target`: 1 main, 2 edit, 3 search, 4 report, 5 configure, 6 all
    // (ColorTarget); `set` is the set to start from (ColorTarget::initialSet).
    TColorConfig(int target, const ColorSet &set, const WindowStyle::Fonts &fonts, double scale,
                 QWidget *parent = nullptr);

    int target() const { return m_target; }
    const ColorSet &workingSet() const { return m_working; }

    // Paints the dialog and its samples from the working set.
    void SetColors();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    // Sets one slot to the colour chosen in the colour dialog.
    void chooseSlotColor(int slot);
    // Entry 0 of `ColorSets` (empty) changes nothing, entries 1-12 are the presets.
    void ColorSetsChange(int entry);

    int m_target;
    ColorSet m_working;
    WindowStyle::Fonts m_fonts;
    double m_scale;
    bool m_formShown = false;
    QComboBox *m_colorSets;
};
