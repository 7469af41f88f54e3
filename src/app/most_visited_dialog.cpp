#include "app/most_visited_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "app/dialog_parts.h"

namespace tb::app {

MostVisitedDialog::MostVisitedDialog(const Settings& settings, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Most Visited Links Settings"));
    auto* statistic = new QGroupBox(tr("Most visited links are visited more often than the"), this);
    auto* statistic_layout = new QVBoxLayout(statistic);
    auto* group = new QButtonGroup(this);
    const QString mode_texts[] = {tr("m&ean value (mathematical average)"),
                                  tr("m&ode (the value that occurs most often)"),
                                  tr("me&dian (the middle of a sorted values' range)")};
    for (int mode = 0; mode < 3; ++mode) {
        modes_[mode] = new QRadioButton(mode_texts[mode], statistic);
        group->addButton(modes_[mode], mode);
        statistic_layout->addWidget(modes_[mode]);
    }
    // A stored mode outside 0..2 gives a threshold of 0; no button is ticked then.
    if (settings.favourites_mode >= 0 && settings.favourites_mode < 3) {
        modes_[settings.favourites_mode]->setChecked(true);
    }

    highlight_ = new QCheckBox(tr("&Highlight unvisited links by a different colour"), this);
    highlight_->setChecked(settings.highlight_unvisited_links);
    reset_ = new QCheckBox(this);
    reset_->setChecked(settings.reset_visits_for_inactive_links);
    months_ = new QSlider(Qt::Horizontal, this);
    months_->setRange(0, 12);
    months_->setSingleStep(1);
    months_->setPageStep(3);
    months_->setTickInterval(1);
    months_->setTickPosition(QSlider::TicksBelow);
    months_->setValue(settings.reset_visits_after_timespan);
    months_->setAccessibleName(tr("Months"));
    show_months(months_->value());
    connect(months_, &QSlider::valueChanged, this, &MostVisitedDialog::show_months);

    QDialogButtonBox* buttons = ok_cancel_buttons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(statistic);
    layout->addWidget(highlight_);
    layout->addSpacing(8);
    layout->addWidget(reset_);
    layout->addWidget(months_);
    layout->addStretch();
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void MostVisitedDialog::show_months(int months) {
    reset_->setText(tr("&Reset the visits counter if a link hasn't been visited during, months: %1")
                        .arg(months));
}

void MostVisitedDialog::apply_to(Settings& settings) const {
    for (int mode = 0; mode < 3; ++mode) {
        if (modes_[mode]->isChecked()) {
            settings.favourites_mode = mode;
        }
    }
    settings.highlight_unvisited_links = highlight_->isChecked();
    settings.reset_visits_for_inactive_links = reset_->isChecked();
    settings.reset_visits_after_timespan = months_->value();
}

}  // namespace tb::app
