#pragma once

#include <QMainWindow>
#include <memory>

#include "app/message_box.h"
#include "storage/database.h"

class QLabel;

namespace tb::app {

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(Database& db, QWidget* parent = nullptr);

    void refresh_status();

private:
    Database& db_;
    QLabel* folder_count_;
};

}  // namespace tb::app
