#include "server/PasswordPool.h"

#include "server/Auth.h"

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <unistd.h>
#endif

PasswordPool::PasswordPool(int threads, int capacity)
{
    // Each check holds 64 MiB (Argon2id's interactive limit, which the stored hashes carry) while it runs, and the
    // rest of the service needs about 30 MB: a second check at the same time would take it past 100 MB. Sign-ins
    // beyond what one thread checks wait in the queue instead.
    if (threads <= 0)
        threads = 1;
    m_pool.setMaxThreadCount(threads);
    m_pool.setExpiryTimeout(-1);
    m_capacity = capacity > 0 ? capacity : threads * 8;
}

PasswordPool::~PasswordPool()
{
    m_pool.clear();
    m_pool.waitForDone();
}

bool PasswordPool::verify(const QString &storedHash, const QString &password, std::function<void(bool)> done)
{
    if (m_pending.fetch_add(1) >= m_capacity) {
        m_pending.fetch_sub(1);
        return false;
    }
    m_pool.start([this, storedHash, password, done = std::move(done)]() mutable {
#ifdef Q_OS_LINUX
        // Linux keeps a nice value per thread: requests on the event loop go first.
        static thread_local const bool niced = setpriority(PRIO_PROCESS, gettid(), 10) == 0;
        Q_UNUSED(niced);
#endif
        const bool verified = Auth::verifyPassword(storedHash, password);
        m_pending.fetch_sub(1);
        QMetaObject::invokeMethod(
            &m_receiver, [done = std::move(done), verified] { done(verified); }, Qt::QueuedConnection);
    });
    return true;
}
