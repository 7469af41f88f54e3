#pragma once

#include <QObject>
#include <QString>
#include <filesystem>

class QLocalServer;

namespace tb::app {

// One running copy per user and data folder: a second copy tells the first to come forward and
// ends. Copies on different data folders (tests, TAGBERRY_DATA_DIR) never meet.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const std::filesystem::path& data_folder, QObject* parent = nullptr);

    static QString server_name(const std::filesystem::path& data_folder);

    // True when another copy answered and was asked to activate.
    bool activate_running();
    // Starts listening, replacing a socket left behind by a crashed copy.
    bool listen();

signals:
    void activation_requested();

private:
    QString name_;
    QLocalServer* server_ = nullptr;
};

}  // namespace tb::app
