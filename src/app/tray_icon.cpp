#include "app/tray_icon.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include "app/app_controller.h"
#include "app/app_icon.h"
#include "app/command_table.h"
#include "app/commands.h"

namespace tb::app {

TrayLogic::Step TrayLogic::open_hide() {
    if (!tray_available_) {
        return Step::kShowAndRaise;
    }
    hidden_ = !hidden_;
    return hidden_ ? Step::kHideToTray : Step::kBringBack;
}

TrayLogic::Step TrayLogic::minimised(bool minimise_to_tray) {
    if (!tray_available_ || !minimise_to_tray || hidden_) {
        return Step::kNone;
    }
    hidden_ = true;
    return Step::kHideToTray;
}

TrayLogic::Step TrayLogic::activate() {
    if (hidden_) {
        hidden_ = false;
        return Step::kBringBack;
    }
    return Step::kShowAndRaise;
}

std::unique_ptr<QMenu> build_tray_menu(AppController& controller,
                                       std::function<void()> after_command) {
    auto menu = std::make_unique<QMenu>();
    std::vector<std::pair<int, QAction*>> actions;
    for (const MenuEntry& entry : tray_menu()) {
        if (entry.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QCoreApplication::translate("Menu", entry.text));
        action->setCheckable(entry.checkable);
        const int id = entry.id;
        QObject::connect(action, &QAction::triggered, menu.get(), [&controller, id, after_command] {
            controller.execute(id);
            if (after_command) {
                after_command();
            }
        });
        actions.emplace_back(id, action);
    }
    // The first item is what a double click on the icon does, shown in bold.
    menu->setDefaultAction(actions.front().second);
    QMenu* raw = menu.get();
    QObject::connect(raw, &QMenu::aboutToShow, raw, [&controller, actions] {
        for (const auto& [id, action] : actions) {
            const CommandStatus status = controller.status(id);
            action->setEnabled(status.enabled);
            if (action->isCheckable()) {
                action->setChecked(status.checked);
            }
        }
    });
    return menu;
}

TrayIcon::TrayIcon(QWidget& window, AppController& controller, bool tray_available,
                   std::function<void()> after_command)
    : window_(window),
      controller_(controller),
      logic_(tray_available),
      menu_(build_tray_menu(controller, std::move(after_command))) {
    window_.installEventFilter(this);
    if (!tray_available) {
        return;
    }
    icon_ = new QSystemTrayIcon(program_icon(), this);
    icon_->setToolTip(QStringLiteral("Tagberry 2.0"));
    icon_->setContextMenu(menu_.get());
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick) {
                    controller_.execute(kCmdOpenHide);
                }
            });
    icon_->show();
}

TrayIcon::~TrayIcon() {
    window_.removeEventFilter(this);
}

void TrayIcon::open_hide() {
    apply(logic_.open_hide());
}

void TrayIcon::activate() {
    apply(logic_.activate());
}

void TrayIcon::apply(TrayLogic::Step step) {
    switch (step) {
        case TrayLogic::Step::kNone:
            break;
        case TrayLogic::Step::kHideToTray:
            window_.hide();
            break;
        case TrayLogic::Step::kBringBack:
        case TrayLogic::Step::kShowAndRaise:
            window_.setWindowState(window_.windowState() & ~Qt::WindowMinimized);
            window_.show();
            window_.raise();
            window_.activateWindow();
            break;
    }
}

bool TrayIcon::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::WindowStateChange &&
        window_.isMinimized()) {
        if (logic_.minimised(controller_.settings().minimise_to_tray) ==
            TrayLogic::Step::kHideToTray) {
            // Hidden once the window system has finished minimising it.
            QTimer::singleShot(0, this, [this] {
                if (logic_.hidden_in_tray()) {
                    window_.hide();
                }
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tb::app
