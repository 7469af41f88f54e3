#include "app/message_box.h"

#include <QCoreApplication>
#include <set>

#include "platform/messages.h"

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

std::deque<QMessageBox::Icon>& icons() {
    static std::deque<QMessageBox::Icon> shown;
    return shown;
}

}  // namespace

QMessageBox::StandardButton MessageBoxes::show(QWidget* parent, const QString& text,
                                               QMessageBox::Icon icon,
                                               QMessageBox::StandardButtons buttons) {
    shown_texts().push_back(text);
    icons().push_back(icon);
    if (!answers().empty()) {
        auto answer = answers().front();
        answers().pop_front();
        return answer;
    }
    QMessageBox box(icon, QCoreApplication::applicationName(), text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void MessageBoxes::answer_next(QMessageBox::StandardButton button) {
    answers().push_back(button);
}

const std::deque<QString>& MessageBoxes::shown() {
    return shown_texts();
}

const std::deque<QMessageBox::Icon>& MessageBoxes::shown_icons() {
    return icons();
}

void MessageBoxes::reset() {
    answers().clear();
    shown_texts().clear();
    icons().clear();
}

// The English text of a message stays the lookup key of its translation; the arguments are
// filled in afterwards, so they are never translated themselves.
QString message_text(const Message& message) {
    const char* english = message.id != 0 ? english_string(message.id) : message.text.c_str();
    if (english == nullptr) {
        return QString::fromStdString(render(message));
    }
    const QString text = QCoreApplication::translate("Strings", english);
    // As in render(): an engine's plain text may hold a '%' of its own.
    if (message.id == 0 && message.args.empty()) {
        return text;
    }
    return QString::fromStdString(fill_arguments(text.toStdString(), message.args));
}

QMessageBox::Icon message_icon(int message_id) {
    static const std::set<int> information = {msg::kRestartNeeded,  msg::kLinkUpdated,
                                              msg::kBookmarksSaved, msg::kSearchResultsSaved,
                                              msg::kDataSaved,      msg::kFavouritesAutomatic};
    static const std::set<int> questions = {msg::kDeleteFolderQuestion, msg::kDeleteLinkQuestion,
                                            msg::kDeleteLinksQuestion,  msg::kClearUndoQuestion,
                                            msg::kDeleteItemsQuestion,  msg::kDeleteQueriesQuestion,
                                            msg::kResetAllQuestion};
    if (information.count(message_id) != 0) {
        return QMessageBox::Information;
    }
    return questions.count(message_id) != 0 ? QMessageBox::Question : QMessageBox::Warning;
}

void MessageBoxReporter::report(const Message& message) {
    MessageBoxes::show(parent_, message_text(message), message_icon(message.id));
}

}  // namespace tb::app
