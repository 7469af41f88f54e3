#pragma once

#include <QDialog>

#include "platform/settings.h"

class QCheckBox;
class QRadioButton;
class QSlider;

namespace tb::app {

// "Favourites Mode", "Highlight Unvisited Links" and the inactivity reset. Works on its own
// copy of the values; apply_to writes them back.
class MostVisitedDialog : public QDialog {
    Q_OBJECT

public:
    explicit MostVisitedDialog(const Settings& settings, QWidget* parent = nullptr);

    void apply_to(Settings& settings) const;

    QRadioButton* mode_button(int mode) const { return modes_[mode]; }
    QCheckBox* highlight_box() const { return highlight_; }
    QCheckBox* reset_box() const { return reset_; }
    QSlider* months_slider() const { return months_; }

private:
    void show_months(int months);

    QRadioButton* modes_[3];
    QCheckBox* highlight_;
    QCheckBox* reset_;
    QSlider* months_;
};

}  // namespace tb::app
