#pragma once

#include <QMessageBox>
#include <QString>
#include <deque>

#include "platform/reporter.h"

class QWidget;

namespace tb::app {

// Every message box of the program goes through here, so tests can answer them ahead of time.
class MessageBoxes {
public:
    static QMessageBox::StandardButton show(QWidget* parent, const QString& text,
                                            QMessageBox::Icon icon = QMessageBox::Warning,
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok);

    // Tests queue answers; each box then returns the next one without being shown.
    static void answer_next(QMessageBox::StandardButton button);
    static const std::deque<QString>& shown();
    // The icons of the boxes shown, in the same order.
    static const std::deque<QMessageBox::Icon>& shown_icons();
    static void reset();
};

// The text of a core message, translated.
QString message_text(const Message& message);

// The icon that matches what a string-table message says: a success report is information, a
// question asks, everything else warns.
QMessageBox::Icon message_icon(int message_id);

// Shows the core's reports as message boxes.
class MessageBoxReporter : public Reporter {
public:
    using Reporter::report;
    explicit MessageBoxReporter(QWidget* parent = nullptr) : parent_(parent) {}
    void set_parent(QWidget* parent) { parent_ = parent; }
    void report(const Message& message) override;

private:
    QWidget* parent_;
};

}  // namespace tb::app
