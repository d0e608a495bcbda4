#pragma once

#include "presentation/ShownCaption.h"

#include <QString>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

// Keeps the caption on screen in the user's state folder, so that a display that ended uncleanly
// (killed, crashed, power lost, restarted by the watchdog) shows it again at its next start, while
// one that ended cleanly removes it and starts blank. Each file is replaced whole (written aside,
// then renamed over the old one), so an end at any moment leaves the old caption or the new one.
// Writing runs on a thread of its own, off the animation's path: a caption is handed over at once,
// and when captions come faster than they are written only the latest is written.
class ShownCaptionStore : public ShownCaptionObserver {
public:
    // "$XDG_STATE_HOME/veltrinox-lcd", or "~/.local/state/veltrinox-lcd" where that is unset or not
    // an absolute path.
    static QString defaultFolder();
    // The file of the display whose caption feed listens on this port: displays on other ports keep
    // their own.
    static QString filePath(const QString& folder, quint16 feedPort);
    // The file of a named display, which keeps its caption whatever its ports.
    static QString filePath(const QString& folder, const QString& instance);

    explicit ShownCaptionStore(QString filePath);
    // Writes what was handed in, then stops.
    ~ShownCaptionStore() override;

    ShownCaptionStore(const ShownCaptionStore&) = delete;
    ShownCaptionStore& operator=(const ShownCaptionStore&) = delete;

    // The caption kept by the last run; nothing when there is none, or when the file is damaged, too
    // large, or not a regular file.
    std::optional<ShownCaption> load() const;

    void captionShown(const ShownCaption& shown) override;
    // A clean end: the file is removed, after whatever was handed in before.
    void forget();
    // Returns once everything handed in has been carried out.
    void flush();

private:
    // What the writer does next: write the caption, or with none remove the file.
    struct Task {
        std::optional<ShownCaption> caption;
    };

    void handOver(Task task);
    void run();
    // --- On the writer thread.
    void carryOut(const Task& task);
    void write(const ShownCaption& shown);
    void remove();
    void reportOnce(const QString& failure);

    const QString m_path;

    std::mutex m_mutex;
    std::condition_variable m_wake; // work handed over, or stopping
    std::condition_variable m_done; // the writer has nothing left
    // --- Guarded by m_mutex.
    std::optional<Task> m_pending;
    bool m_busy = false;
    bool m_stopping = false;

    // --- Only the writer thread touches this.
    bool m_failureReported = false;

    std::thread m_thread;
};
