#include "pool.h"

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

namespace engine {
namespace {

// Busy-waits this many rounds before sleeping: an epoch's halves end close together, and waking a
// sleeping thread costs tens of microseconds.
constexpr int SpinRounds = 4000;

void pause()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

class Helper
{
public:
    Helper()
        : m_thread([this] { loop(); })
    {}

    ~Helper()
    {
        m_stop.store(true, std::memory_order_relaxed);
        publish(m_posted, m_posted.load(std::memory_order_relaxed) + 1);
        m_thread.join();
    }

    Helper(const Helper &) = delete;
    Helper &operator=(const Helper &) = delete;

    // Hands part 1 to the helper and runs part 0 here. A helper that has not taken its part by
    // the time part 0 is done (asleep, or waiting for a core the machine gives to others) loses
    // it, and part 0 has then done all the work; a helper that took it is waited for.
    void run(PartFunction fn, void *context)
    {
        m_fn = fn;
        m_context = context;
        m_job.store(Posted, std::memory_order_release);
        publish(m_posted, m_posted.load(std::memory_order_relaxed) + 1);
        fn(context, 0);
        unsigned job = Posted;
        if (m_job.compare_exchange_strong(job, Revoked, std::memory_order_acq_rel)) {
            return;
        }
        while (job != Done) {
            awaitChange(m_job, job);
            job = m_job.load(std::memory_order_acquire);
        }
    }

private:
    // Waits until value differs from old: a short spin, then asleep until publish() wakes it.
    void awaitChange(const std::atomic<unsigned> &value, unsigned old)
    {
        for (int k = 0; k < SpinRounds; ++k) {
            if (value.load(std::memory_order_acquire) != old) {
                return;
            }
            pause();
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        while (value.load(std::memory_order_acquire) == old) {
            m_wake.wait(lock);
        }
    }

    // Stores v and wakes a sleeper; taking the mutex in between means a sleeper that has just
    // seen the old value is already waiting, so the wake-up cannot be lost.
    void publish(std::atomic<unsigned> &value, unsigned v)
    {
        value.store(v, std::memory_order_release);
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
        }
        m_wake.notify_all();
    }

    void loop()
    {
        unsigned seen = 0;
        for (;;) {
            awaitChange(m_posted, seen);
            seen = m_posted.load(std::memory_order_acquire);
            if (m_stop.load(std::memory_order_relaxed)) {
                return;
            }
            unsigned job = Posted;
            if (!m_job.compare_exchange_strong(job, Taken, std::memory_order_acq_rel)) {
                continue; // revoked, or already taken and done
            }
            m_fn(m_context, 1);
            publish(m_job, Done);
        }
    }

    // The state of the latest part handed over.
    enum : unsigned { Done, Posted, Taken, Revoked };

    PartFunction m_fn = nullptr;
    void *m_context = nullptr;
    std::atomic<unsigned> m_posted {0};
    std::atomic<unsigned> m_job {Done};
    std::atomic<bool> m_stop {false};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;
};

bool twoThreads()
{
    static const bool twoCores = std::thread::hardware_concurrency() >= 2;
    // Read at every pass, so a benchmark can compare one core with two in one run.
    const char *setting = std::getenv("AXONA_THREADS");
    return twoCores && !(setting && std::strcmp(setting, "1") == 0);
}

// The helper, started on first use; null when no thread can be started.
Helper *sharedHelper()
{
    try {
        static Helper instance;
        return &instance;
    } catch (...) {
        return nullptr;
    }
}

} // namespace

void runTwoParts(PartFunction fn, void *context)
{
    if (!twoThreads()) {
        fn(context, 0);
        fn(context, 1);
        return;
    }
    if (Helper *helper = sharedHelper()) {
        helper->run(fn, context);
        return;
    }
    fn(context, 0);
    fn(context, 1);
}

} // namespace engine
