#pragma once

#include <QDialog>

class QLabel;
class QSlider;

namespace tb::app {

// "Update Frequency": a slider of 1 to 15 minutes. Every move is stored into the setting at
// once; the running timer keeps its period until the next start.
class UpdateFrequencyDialog : public QDialog {
    Q_OBJECT

public:
    explicit UpdateFrequencyDialog(int& minutes, QWidget* parent = nullptr);

    QSlider* slider() const { return slider_; }
    QLabel* value_label() const { return value_; }

private:
    int& minutes_;
    QSlider* slider_;
    QLabel* value_;
};

}  // namespace tb::app
