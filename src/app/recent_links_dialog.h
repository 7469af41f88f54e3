#pragma once

#include <QDialog>

#include "platform/settings.h"

class QLabel;
class QSlider;

namespace tb::app {

// "Recent Links Timespan", in hours; 0 switches Recently Visited off.
class RecentLinksDialog : public QDialog {
    Q_OBJECT

public:
    explicit RecentLinksDialog(const Settings& settings, QWidget* parent = nullptr);

    void apply_to(Settings& settings) const;

    QSlider* hours_slider() const { return hours_; }
    QLabel* hours_label() const { return label_; }
    QLabel* disabled_label() const { return disabled_; }

private:
    void show_hours(int hours);

    QSlider* hours_;
    QLabel* label_;
    QLabel* disabled_;
};

}  // namespace tb::app
