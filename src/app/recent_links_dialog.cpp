#include "app/recent_links_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include "app/dialog_parts.h"
#include "app/message_box.h"
#include "platform/messages.h"

namespace tb::app {

RecentLinksDialog::RecentLinksDialog(const Settings& settings, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Recenty Opened Links Settings"));
    hours_ = new QSlider(Qt::Horizontal, this);
    hours_->setRange(0, 72);
    hours_->setSingleStep(1);
    hours_->setPageStep(24);
    hours_->setTickInterval(24);
    hours_->setTickPosition(QSlider::TicksBelow);
    hours_->setMinimumWidth(320);
    hours_->setValue(settings.recent_links_timespan);
    label_ = new QLabel(this);
    label_->setBuddy(hours_);
    disabled_ = new QLabel(tr("Link monitoring is disabled."), this);
    QFont bold = disabled_->font();
    bold.setBold(true);
    disabled_->setFont(bold);
    show_hours(hours_->value());
    connect(hours_, &QSlider::valueChanged, this, &RecentLinksDialog::show_hours);

    QDialogButtonBox* buttons = ok_cancel_buttons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(hours_);
    layout->addWidget(disabled_);
    layout->addStretch();
    layout->addWidget(buttons);
    // The layout keeps the place of the hidden text, so the dialog does not jump.
    QSizePolicy keep = disabled_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    disabled_->setSizePolicy(keep);
    hours_->setFocus();
}

void RecentLinksDialog::show_hours(int hours) {
    // String 131 with a mnemonic for the slider in front.
    label_->setText(QStringLiteral("&") +
                    message_text(Message::of(msg::kRecentWithinHours))
                        .replace(QStringLiteral("%d"), QString::number(hours)));
    disabled_->setVisible(hours == 0);
}

void RecentLinksDialog::apply_to(Settings& settings) const {
    settings.recent_links_timespan = hours_->value();
}

}  // namespace tb::app
