#include "app/update_frequency_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

#include "app/dialog_parts.h"

namespace tb::app {

namespace {

constexpr int kFewestMinutes = 1;
constexpr int kMostMinutes = 15;

}  // namespace

UpdateFrequencyDialog::UpdateFrequencyDialog(int& minutes, QWidget* parent)
    : QDialog(parent), minutes_(minutes) {
    setWindowTitle(tr("Update Frequency"));
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setRange(kFewestMinutes, kMostMinutes);
    slider_->setTickInterval(1);
    slider_->setTickPosition(QSlider::TicksBelow);
    slider_->setPageStep(1);
    slider_->setMinimumWidth(260);
    slider_->setValue(std::clamp(minutes_, kFewestMinutes, kMostMinutes));
    value_ = new QLabel(QString::number(slider_->value()), this);
    value_->setMinimumWidth(value_->fontMetrics().horizontalAdvance(QStringLiteral("00")));
    QLabel* label = buddy_label(tr("&Update newsfeeds every (minutes):"), slider_, this);
    connect(slider_, &QSlider::valueChanged, this, [this](int value) {
        minutes_ = value;
        value_->setNum(value);
    });
    auto* note = new QLabel(tr("The new period is used from the next start of the program."), this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(slider_, 1);
    row->addWidget(value_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(row);
    layout->addWidget(note);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    slider_->setFocus();
}

}  // namespace tb::app
