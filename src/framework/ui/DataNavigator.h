#pragma once

#include <QWidget>
#include <array>

class QToolButton;

// A record navigator: a row of buttons that move through, add to and change
// the records of a data-aware view.
class DataNavigator : public QWidget
{
    Q_OBJECT

public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh, ButtonCount };

    explicit DataNavigator(QWidget *parent = nullptr);

    // Only the movement buttons (browse mode) or all ten.
    void setMovementOnly(bool movementOnly);
    void setButtonEnabled(Button button, bool enabled);
    QToolButton *button(Button button) const { return m_buttons[button]; }

signals:
    void clicked(DataNavigator::Button button);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutButtons();
    std::array<QToolButton *, ButtonCount> m_buttons{};
};
