#pragma once
// Password checks off the event loop. Each Argon2id check costs a quarter of a second of CPU and holds 64 MiB while
// it runs, so they run one at a time on a low-priority worker thread behind a bounded queue; when the queue is full
// a check is refused at once and the caller answers 429.
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <atomic>
#include <functional>

class PasswordPool
{
public:
    // threads 0: one; capacity 0: eight checks per thread, running or queued.
    explicit PasswordPool(int threads = 0, int capacity = 0);
    ~PasswordPool();

    // Checks password against storedHash on a worker, then calls done(verified) on the thread that created the
    // pool. Returns false, without calling done, when the queue is full.
    bool verify(const QString &storedHash, const QString &password, std::function<void(bool verified)> done);

    [[nodiscard]] int capacity() const { return m_capacity; }

private:
    QThreadPool m_pool;
    QObject m_receiver; // done() is delivered through it, and dropped once the pool is gone
    int m_capacity = 0;
    std::atomic<int> m_pending{0};
};
