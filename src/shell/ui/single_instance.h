#pragma once

#include "shell/instance_socket.h"

#include <QObject>
#include <QString>
#include <filesystem>
#include <memory>
#include <optional>

class QLockFile;
class QSocketNotifier;
class QWidget;

namespace ravlo {

// One running instance per program folder and user: a lock file and a local socket in
// XDG_RUNTIME_DIR (the temporary folder when it is not set). The first instance holds the lock and
// listens; a later one finds the lock taken, asks the first to come to the front and ends.
class TSingleInstance : public QObject {
    Q_OBJECT
public:
    enum class TRole {
        First,     // this is the only instance; activation requests arrive as ActivationRequested
        Second,    // another instance runs and was asked to come to the front
        Unguarded, // no lock could be made (no usable folder): the run goes on unchecked
    };

    // key names the program: see SingleInstanceKey.
    explicit TSingleInstance(const QString& key, QObject* parent = nullptr);
    ~TSingleInstance() override;

    TRole Start();
    // Whether a Second instance reached the first one.
    bool Notified() const { return notified_; }

    // In RuntimeDir() as it was when the object was made.
    const QString& LockPath() const { return lockPath_; }
    const QString& ServerPath() const { return serverPath_; }
    // XDG_RUNTIME_DIR, or the temporary folder.
    static QString RuntimeDir();

signals:
    // Another instance asked this one to come to the front.
    void ActivationRequested();

private:
    void Listen();
    void ReadRequests();

    QString lockPath_;
    QString serverPath_;
    std::unique_ptr<QLockFile> lock_;
    TInstanceSocket listener_;
    // Declared after the socket, so that it goes before the socket is closed.
    std::unique_ptr<QSocketNotifier> notifier_;
    bool notified_ = false;
};

// The instance key of the program folder (where the runtime log lies) and the program's name: the
// user id and a hash of both, safe as a file name.
QString SingleInstanceKey(const std::filesystem::path& programDir, const std::filesystem::path& programName);

// Shows a hidden or minimised window again and brings it to the front.
void BringToFront(QWidget& window);

// The start-up's instance check, to be made before the runtime log starts (starting it archives
// the log, which a second instance must leave to the first). A second instance writes its mark to
// the first one's log and beeps; then its exit code is answered and the program ends.
std::optional<int> CheckSingleInstance(TSingleInstance& guard, const std::filesystem::path& programPath);

} // namespace ravlo
