#include "app/message_box.h"

#include <QCoreApplication>

namespace tb::app {

namespace {

std::deque<QMessageBox::StandardButton>& answers() {
    static std::deque<QMessageBox::StandardButton> queue;
    return queue;
}

std::deque<QString>& shown_texts() {
    static std::deque<QString> texts;
    return texts;
}

}  // namespace

QMessageBox::StandardButton MessageBoxes::show(QWidget* parent, const QString& text,
                                               QMessageBox::Icon icon,
                                               QMessageBox::StandardButtons buttons) {
    shown_texts().push_back(text);
    if (!answers().empty()) {
        auto answer = answers().front();
        answers().pop_front();
        return answer;
    }
    QMessageBox box(icon, QCoreApplication::applicationName(), text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void MessageBoxes::answer_next(QMessageBox::StandardButton button) { answers().push_back(button); }

const std::deque<QString>& MessageBoxes::shown() { return shown_texts(); }

void MessageBoxes::reset() {
    answers().clear();
    shown_texts().clear();
}

QString message_text(const Message& message) { return QString::fromStdString(render(message)); }

void MessageBoxReporter::report(const Message& message) {
    MessageBoxes::show(parent_, message_text(message));
}

}  // namespace tb::app
