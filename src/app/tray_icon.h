#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace tb::app {

class AppController;

// When the main window goes into the tray and comes back, without widgets. Without a system
// tray the window is never hidden: nothing could bring it back.
class TrayLogic {
public:
    enum class Step { kNone, kHideToTray, kBringBack, kShowAndRaise };

    explicit TrayLogic(bool tray_available) : tray_available_(tray_available) {}

    bool tray_available() const { return tray_available_; }
    bool hidden_in_tray() const { return hidden_; }

    // "Open/Hide Tagberry".
    Step open_hide();
    // The window was minimised; `minimise_to_tray` is the setting.
    Step minimised(bool minimise_to_tray);
    // A second copy of the program asked this one to come forward.
    Step activate();

private:
    bool tray_available_;
    bool hidden_ = false;
};

// The tray and drop-window menu. Its commands run through the controller; `after_command` runs
// after each, so that the main window can update its own actions.
std::unique_ptr<QMenu> build_tray_menu(AppController& controller,
                                       std::function<void()> after_command);

// The icon in the system tray with its menu, and the main window's trips into the tray.
class TrayIcon : public QObject {
    Q_OBJECT

public:
    TrayIcon(QWidget& window, AppController& controller, bool tray_available,
             std::function<void()> after_command = {});
    ~TrayIcon() override;

    QMenu* menu() const { return menu_.get(); }
    const TrayLogic& logic() const { return logic_; }

    void open_hide();
    void activate();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply(TrayLogic::Step step);

    QWidget& window_;
    AppController& controller_;
    TrayLogic logic_;
    std::unique_ptr<QMenu> menu_;
    QSystemTrayIcon* icon_ = nullptr;
};

}  // namespace tb::app
