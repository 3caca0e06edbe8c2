#include "shell/ui/single_instance.h"

#include "shell/exit_codes.h"
#include "shell/start_log.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QLockFile>
#include <QSocketNotifier>
#include <QWidget>
#include <unistd.h>

namespace ravlo {
namespace {

// The first instance may hold the lock but not listen yet: it is given two seconds to start.
constexpr int kConnectAttempts = 20;

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(path.toStdString());
}

} // namespace

TSingleInstance::TSingleInstance(const QString& key, QObject* parent)
    : QObject(parent), lockPath_(RuntimeDir() + QLatin1Char('/') + key + QStringLiteral(".lock")),
      serverPath_(RuntimeDir() + QLatin1Char('/') + key + QStringLiteral(".sock")) {}

TSingleInstance::~TSingleInstance() {
    if (listener_.Valid()) {
        // The lock is still held here, so no other instance listens at this name yet.
        std::error_code ignored;
        std::filesystem::remove(ToPath(ServerPath()), ignored);
    }
}

QString TSingleInstance::RuntimeDir() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists()) {
        return runtime;
    }
    return QDir::tempPath();
}

TSingleInstance::TRole TSingleInstance::Start() {
    lock_ = std::make_unique<QLockFile>(LockPath());
    // A lock held for the whole run is never stale by age; one left by a crashed run is, because its
    // process is gone.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        Listen();
        return TRole::First;
    }
    if (lock_->error() != QLockFile::LockFailedError) {
        lock_.reset();
        return TRole::Unguarded;
    }
    lock_.reset();
    notified_ = SendFrontRequest(ToPath(ServerPath()), kConnectAttempts);
    return TRole::Second;
}

void TSingleInstance::Listen() {
    listener_ = ListenInstanceSocket(ToPath(ServerPath()));
    if (!listener_.Valid()) {
        return; // still the only instance; a later one then cannot bring it to the front
    }
    notifier_ = std::make_unique<QSocketNotifier>(listener_.Fd(), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { ReadRequests(); });
}

void TSingleInstance::ReadRequests() {
    if (AcceptFrontRequests(listener_)) {
        emit ActivationRequested();
    }
}

QString SingleInstanceKey(const std::filesystem::path& programDir, const std::filesystem::path& programName) {
    std::error_code error;
    std::filesystem::path dir = std::filesystem::weakly_canonical(programDir, error);
    if (error) {
        dir = programDir;
    }
    const QByteArray identity = QByteArray::fromStdString((dir / programName.filename()).string());
    const QByteArray hash = QCryptographicHash::hash(identity, QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("ravlo-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

void BringToFront(QWidget& window) {
    if (window.isHidden() || window.isMinimized()) {
        window.showNormal();
    }
    window.raise();
    window.activateWindow();
}

std::optional<int> CheckSingleInstance(TSingleInstance& guard, const std::filesystem::path& programPath) {
    if (guard.Start() != TSingleInstance::TRole::Second) {
        return std::nullopt;
    }
    WriteSecondInstanceMark(programPath);
    QApplication::beep();
    return kExitOtherInstance;
}

} // namespace ravlo
