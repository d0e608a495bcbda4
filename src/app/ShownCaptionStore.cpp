#include "ShownCaptionStore.h"

#include "ShownCaptionFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>
#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString ApplicationFolder = u"veltrinox-lcd"_s;

} // namespace

QString ShownCaptionStore::defaultFolder() {
    const QString stateHome = qEnvironmentVariable("XDG_STATE_HOME");
    const QString base = QDir::isAbsolutePath(stateHome) ? stateHome : QDir::home().filePath(u".local/state"_s);
    return QDir(base).filePath(ApplicationFolder);
}

QString ShownCaptionStore::filePath(const QString& folder, quint16 feedPort) {
    return QDir(folder).filePath(u"shown-caption-%1.json"_s.arg(feedPort));
}

QString ShownCaptionStore::filePath(const QString& folder, const QString& instance) {
    // Not "shown-caption-NAME.json": a display named "10001" would share the file of the unnamed
    // display on port 10001.
    return QDir(folder).filePath(u"shown-caption-instance-%1.json"_s.arg(instance));
}

ShownCaptionStore::ShownCaptionStore(QString filePath) : m_path(std::move(filePath)), m_thread([this] { run(); }) {}

ShownCaptionStore::~ShownCaptionStore() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

std::optional<ShownCaption> ShownCaptionStore::load() const {
    // A pipe or device put in its place would block the start or never end.
    const QFileInfo info(m_path);
    if (!info.isFile() || info.size() > ShownCaptionFile::MaxBytes)
        return std::nullopt;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return ShownCaptionFile::Decode(file.read(ShownCaptionFile::MaxBytes + 1));
}

void ShownCaptionStore::captionShown(const ShownCaption& shown) {
    handOver({shown});
}

void ShownCaptionStore::forget() {
    handOver({std::nullopt});
}

void ShownCaptionStore::handOver(Task task) {
    {
        const std::lock_guard lock(m_mutex);
        m_pending = std::move(task); // a caption not yet written gives way to the newer one
    }
    m_wake.notify_one();
}

void ShownCaptionStore::flush() {
    std::unique_lock lock(m_mutex);
    m_done.wait(lock, [this] { return !m_pending && !m_busy; });
}

void ShownCaptionStore::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_pending || m_stopping; });
        if (!m_pending)
            break; // stopping, with everything written
        const Task task = std::move(*m_pending);
        m_pending.reset();
        m_busy = true;
        lock.unlock();
        carryOut(task);
        lock.lock();
        m_busy = false;
        if (!m_pending)
            m_done.notify_all();
    }
}

void ShownCaptionStore::carryOut(const Task& task) {
    if (task.caption)
        write(*task.caption);
    else
        remove();
}

void ShownCaptionStore::write(const ShownCaption& shown) {
    const QByteArray bytes = ShownCaptionFile::Encode(shown);
    if (bytes.size() > ShownCaptionFile::MaxBytes) {
        // Kept, the caption before it would come back after a crash instead of this one.
        remove();
        return;
    }
    const QFileInfo info(m_path);
    // The folder is the user's own: the captions of a show may not be public yet.
    if (!info.dir().exists() &&
        !(QDir().mkpath(info.dir().absolutePath()) &&
          QFile::setPermissions(info.dir().absolutePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))) {
        reportOnce(u"cannot make the folder "_s + info.dir().absolutePath());
        return;
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        reportOnce(file.errorString());
        remove();
    }
}

void ShownCaptionStore::remove() {
    if (QFile::exists(m_path) && !QFile::remove(m_path))
        reportOnce(u"cannot remove it"_s);
}

void ShownCaptionStore::reportOnce(const QString& failure) {
    if (std::exchange(m_failureReported, true))
        return;
    std::fprintf(stderr,
                 "veltrinox-lcd: the caption on screen cannot be kept in %s (%s): after a crash the display "
                 "will not show it again\n",
                 qPrintable(QDir::toNativeSeparators(m_path)), qPrintable(failure));
}
