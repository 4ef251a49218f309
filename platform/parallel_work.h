#pragma once

// Work shared among the processor's cores (two on the machines this is measured on), in two shapes.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

// How many threads share a job: every core, up to four.
inline unsigned workerThreads() {
    return std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
}

// Splits [0, count) into one contiguous range per thread, by the cumulative weight of its items (weight(i)
// must be cheap), and runs work(begin, end) for each, returning when all are done. Ranges never overlap,
// so work that writes only its own items needs no lock. Less than minimumWeight in all stays on this thread.
template <typename Weight, typename Work>
void forEachRange(std::size_t count, double minimumWeight, Weight weight, Work work) {
    double total = 0;
    for (std::size_t i = 0; i < count; ++i) total += weight(i);
    const unsigned threads = total < minimumWeight ? 1 : workerThreads();
    std::vector<std::size_t> bounds{0};
    double seen = 0;
    for (std::size_t i = 0; i < count && bounds.size() < threads; ++i) {
        seen += weight(i);
        if (seen >= total * static_cast<double>(bounds.size()) / threads) bounds.push_back(i + 1);
    }
    while (bounds.size() <= threads) bounds.push_back(count);
    std::vector<std::thread> helpers;
    std::size_t started = 1;
    try {
        for (; started < threads; ++started) helpers.emplace_back(work, bounds[started], bounds[started + 1]);
    } catch (const std::system_error&) {
        // No thread to spare: this one does the rest.
    }
    work(bounds[0], bounds[1]);
    for (std::thread& helper : helpers) helper.join();
    if (started < threads) work(bounds[started], count);
}

// Work whose results are used in order: produce(i) runs on any of the threads, this one included; consume(i,
// result) runs on this thread, strictly in the order of i, with at most `ahead` results produced but not yet
// consumed. Since produce depends on nothing but i, what consume sees, and so every file and log entry it
// writes, is the same as on one thread. produce must not throw; a thread that cannot be started leaves its
// share to this one.
template <typename Result, typename Produce, typename Consume>
void produceInOrder(std::size_t count, std::size_t ahead, Produce produce, Consume consume) {
    ahead = std::max<std::size_t>(ahead, 1);
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::optional<Result>> slots(ahead);
    std::size_t next = 0;      // the next index to produce
    std::size_t consumed = 0;  // how many were consumed
    bool stop = false;

    // Called with the lock held; produces one result without it.
    const auto produceNext = [&](std::unique_lock<std::mutex>& lock) {
        const std::size_t index = next++;
        lock.unlock();
        Result result = produce(index);
        lock.lock();
        slots[index % ahead] = std::move(result);
        changed.notify_all();
    };
    const auto helper = [&] {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return stop || next >= count || next < consumed + ahead; });
            if (stop || next >= count) return;
            produceNext(lock);
        }
    };

    struct Helpers {
        std::vector<std::thread> threads;
        std::mutex& mutex;
        std::condition_variable& changed;
        bool& stop;
        ~Helpers() {
            {
                const std::lock_guard<std::mutex> lock(mutex);
                stop = true;
            }
            changed.notify_all();
            for (std::thread& thread : threads) thread.join();
        }
    } helpers{{}, mutex, changed, stop};
    const unsigned cores = workerThreads();
    if (count > 1) {
        try {
            for (unsigned i = 1; i < cores; ++i) helpers.threads.emplace_back(helper);
        } catch (const std::system_error&) {
            // Fewer helpers; this thread produces whatever they do not.
        }
    }

    for (std::size_t i = 0; i < count; ++i) {
        std::unique_lock<std::mutex> lock(mutex);
        while (!slots[i % ahead]) {
            if (next < count && next < i + ahead) {
                produceNext(lock);
            } else {
                changed.wait(lock);
            }
        }
        Result result = std::move(*slots[i % ahead]);
        slots[i % ahead].reset();
        consumed = i + 1;
        changed.notify_all();
        lock.unlock();
        consume(i, std::move(result));
    }
}
