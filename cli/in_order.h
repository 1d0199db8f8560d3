// Work on many files in parallel with results handed on in the order given,
// so that output does not depend on the number of threads.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>
#include <vector>

// Worker threads where the platform has them; the WebAssembly build runs on
// the page's one thread and works through the files one after the other.
#if defined(__cpp_lib_jthread) && !defined(__EMSCRIPTEN__)
#define TAVO_IN_ORDER_THREADS 1
#else
#define TAVO_IN_ORDER_THREADS 0
#endif

namespace tavo::cli {

// The jobs of a -j option: 0 (the default) means one per processor.
inline int job_count(int jobs) {
    if (!TAVO_IN_ORDER_THREADS) return 1;
    return jobs > 0 ? jobs : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

// No working memory of a worker's own.
struct NoMemory {};

// work(i), or work(memory, i) for a work that takes the worker's memory.
template <class Memory, class Work>
decltype(auto) call_work(Work& work, Memory& memory, std::size_t i) {
    if constexpr (std::is_invocable_v<Work&, Memory&, std::size_t>)
        return work(memory, i);
    else
        return work(i);
}

// Runs work(i) for i = 0 .. count-1 on `jobs` threads and hands each result
// to emit(i, result) on the calling thread, in index order. When emit
// returns false nothing more is handed on and the workers stop taking work.
// An exception thrown by work(i) is rethrown where emit(i) would be called.
// Workers run at most a few items ahead of the emitter, so memory stays
// flat however many files there are. With a Memory, each worker makes one
// and hands it to every work(memory, i) it runs.
template <class Result, class Memory = NoMemory, class Work, class Emit>
void run_in_order(std::size_t count, int jobs, Work work, Emit emit) {
    if (!TAVO_IN_ORDER_THREADS || jobs <= 1 || count <= 1) {
        Memory memory;
        for (std::size_t i = 0; i < count; ++i) {
            Result r = call_work(work, memory, i);
            if (!emit(i, r)) return;
        }
        return;
    }
#if TAVO_IN_ORDER_THREADS

    struct Slot {
        std::optional<Result> value;
        std::exception_ptr error;
        bool done = false;
    };
    const std::size_t ahead = static_cast<std::size_t>(jobs) * 64;
    std::vector<Slot> slots(count);
    std::mutex m;
    std::condition_variable ready, room;
    std::size_t next = 0, emitted = 0;
    std::size_t waiting_for = count;  // the slot the emitter sleeps on, if any
    int held_back = 0;                // workers waiting for the emitter to catch up
    bool stop = false;

    auto worker = [&] {
        Memory memory;
        for (;;) {
            std::size_t i;
            {
                std::unique_lock lock(m);
                // The wait lets the emitter move `emitted` and set `stop`.
                // NOLINTNEXTLINE(bugprone-infinite-loop)
                while (!stop && next < count && next >= emitted + ahead) {
                    ++held_back;
                    room.wait(lock);
                    --held_back;
                }
                if (stop || next >= count) return;
                i = next++;
            }
            Slot s;
            try {
                s.value.emplace(call_work(work, memory, i));
            } catch (...) {
                s.error = std::current_exception();
            }
            s.done = true;
            bool wake;
            {
                std::lock_guard lock(m);
                slots[i] = std::move(s);
                wake = i == waiting_for;
            }
            // Only the result the emitter waits for wakes it; it then takes
            // every result ready after it without sleeping.
            if (wake) ready.notify_one();
        }
    };

    std::vector<std::jthread> threads;
    const int n = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(jobs), count));
    threads.reserve(static_cast<std::size_t>(n));
    for (int t = 0; t < n; ++t) threads.emplace_back(worker);

    auto finish = [&] {
        {
            std::lock_guard lock(m);
            stop = true;
        }
        room.notify_all();
        threads.clear();  // joins
    };
    try {
        for (std::size_t i = 0; i < count; ++i) {
            Slot s;
            bool release;
            {
                std::unique_lock lock(m);
                waiting_for = i;
                ready.wait(lock, [&] { return slots[i].done; });
                waiting_for = count;
                s = std::move(slots[i]);
                emitted = i + 1;
                release = held_back > 0;
            }
            if (release) room.notify_all();
            if (s.error) std::rethrow_exception(s.error);
            if (!emit(i, *s.value)) break;
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
#endif
}

}  // namespace tavo::cli
