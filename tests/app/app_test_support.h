#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>
#include <stdexcept>

#include "app/main_window.h"
#include "app/message_box.h"
#include "app/ui_services.h"
#include "model/model.h"
#include "platform/messages.h"
#include "platform/reporter.h"
#include "storage/database.h"
#include "support/test_support.h"

namespace tb::test {

// The entry of the menu bar's menu `top` whose text before any tab is `text`, with the states of
// the actions brought up to date first, as opening the menu does.
inline QAction* menu_entry(app::MainWindow& window, const QString& top, const QString& text) {
    window.update_actions();
    for (QAction* menu : window.menuBar()->actions()) {
        if (menu->text() != top) {
            continue;
        }
        for (QAction* entry : menu->menu()->actions()) {
            if (entry->text().section('\t', 0, 0) == text) {
                return entry;
            }
        }
    }
    qFatal("no menu entry %s", qPrintable(text));
}

// A fresh database in a temporary data folder with its loaded model. Core reports are
// recorded rather than shown.
class TestModel {
public:
    TestModel() {
        if (db.open_database(dir.path()) != OpenStatus::Ok) {
            throw std::runtime_error("cannot open the test database");
        }
        model = std::make_unique<Model>(db);
        model->load();
        // As the main window does once it exists.
        model->journal.set_enabled(true);
    }

    RowId folder(const std::string& title, RowId parent = kRootFolder) {
        RowId id = model->folders.create_folder(title, parent);
        model->folders.reload();
        return id;
    }
    RowId link(const std::string& title, const std::string& url, RowId parent) {
        return model->links.add_link_to(parent, title, url, "");
    }

    TempDir dir;
    RecordingReporter reporter;
    Database db{reporter};
    std::unique_ptr<Model> model;
};

// Runs `act` on the modal dialog of type D that the next exec() opens. A dialog of another
// type is rejected, so a wrong turn fails the test instead of hanging it.
template <typename D>
void on_next_dialog(std::function<void(D*)> act, bool* reached = nullptr) {
    QTimer::singleShot(0, [act = std::move(act), reached] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<D*>(modal)) {
            if (reached != nullptr) {
                *reached = true;
            }
            act(dialog);
        } else if (auto* other = qobject_cast<QDialog*>(modal)) {
            other->reject();
        }
    });
}

// The texts of the message boxes shown since the last reset.
inline QStringList shown_messages() {
    QStringList texts;
    for (const QString& text : app::MessageBoxes::shown()) {
        texts << text;
    }
    return texts;
}

inline QString text_of(int id, std::vector<std::string> args = {}) {
    return app::message_text(Message::of(id, std::move(args)));
}

// A folder choice over the test model: `check` judges the target, New Folder creates for real.
inline app::FolderChoice folder_choice(TestModel& data, std::function<int(int)> check) {
    return {.check = std::move(check), .create_folders = [&data](int parent, const QString& text) {
                auto ids = data.model->folders.create_folders_from_text(parent, text.toStdString());
                data.model->folders.reload();
                return ids;
            }};
}

// The check of every target that takes links: the root refuses them.
inline int refuse_root(int target) {
    return target == kRootFolder ? msg::kNoLinksInRoot : 0;
}

// The dialog's label showing exactly `text`, or null.
inline QLabel* label_with_text(QWidget* parent, const QString& text) {
    for (QLabel* label : parent->findChildren<QLabel*>()) {
        if (label->text() == text) {
            return label;
        }
    }
    return nullptr;
}

// Clicks a standard button of the dialog's button box, as the user would.
inline void click_button(QWidget* dialog, QDialogButtonBox::StandardButton which) {
    auto* box = dialog->findChild<QDialogButtonBox*>();
    QTest::mouseClick(box->button(which), Qt::LeftButton);
}

// Clicks the button whose text (mnemonic included) is `text`.
inline void click_button(QWidget* dialog, const QString& text) {
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
        if (button->text() == text) {
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no button ") + text));
}

// Answers the next `count` message boxes with OK.
inline void acknowledge(int count = 1) {
    for (int i = 0; i < count; ++i) {
        app::MessageBoxes::answer_next(QMessageBox::Ok);
    }
}

}  // namespace tb::test
