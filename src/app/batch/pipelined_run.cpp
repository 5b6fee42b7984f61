#include "pipelined_run.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <filesystem>
#include <mutex>
#include <new>
#include <thread>

#include "batch_texts.h"
#include "planned_save.h"

namespace tinta {
namespace {

// How often the calling thread looks up from waiting (stop requests, the
// observer's Waiting).
constexpr std::chrono::milliseconds kWaitSlice{20};

enum class Stage {
    kWaiting,    // not started
    kLoading,    // a worker loads it
    kLoaded,     // waits for the filter
    kSaving,     // filtered, waits for or is in a save
    kFinished,   // result known (written, failed, or a folder entry)
    kAbandoned,  // loaded after the run stopped; dropped unfiltered
};

struct Entry {
    const PlannedEntry* planned = nullptr;
    Stage stage = Stage::kWaiting;
    bool folder = false;
    bool skipped = false;  // counted as skipped (planned, or its name taken at save)
    bool outOfMemory = false;
    WorkImagePtr image;
    uint64_t bytes = 0;
    FileResult result;
    // An earlier entry whose output is this entry's input: this one is
    // loaded only after that one is finished, as in a run of one file at
    // a time. -1 when there is none.
    int waitsFor = -1;
};

std::string NormalPath(const std::string& path) {
    return std::filesystem::path(path).lexically_normal().string();
}

class Pipeline {
  public:
    Pipeline(const RunPlan& plan, const BatchSettings& settings, FilterHost& host,
             BatchObserver& observer, const ImageFileSteps& steps, const RunOptions& options)
        : plan_(plan),
          settings_(settings),
          host_(host),
          observer_(observer),
          steps_(steps),
          options_(options),
          entries_(plan.entries.size()) {
        // The names an entry may write: its planned output and, under
        // rename, the plain name too (a name free at planning may be taken
        // at saving, and the next number is then used).
        std::vector<std::vector<std::string>> outputs;
        for (size_t i = 0; i < plan.entries.size(); ++i) {
            const PlannedEntry& planned = plan.entries[i];
            Entry& entry = entries_[i];
            entry.planned = &planned;
            const std::string input = NormalPath(planned.inputPath);
            for (size_t j = i; j-- > 0 && entry.waitsFor < 0;) {
                for (const std::string& output : outputs[j]) {
                    if (output == input) {
                        entry.waitsFor = static_cast<int>(j);
                        break;
                    }
                }
            }
            std::vector<std::string>& written = outputs.emplace_back();
            if (WillWrite(planned.outcome)) {
                written.push_back(NormalPath(planned.outputPath));
                if (!planned.baseName.empty()) {
                    written.push_back(NormalPath(planned.baseName));
                }
            }
        }
    }

    BatchReport Run() {
        const int count = static_cast<int>(entries_.size());
        observer_.Progress(0, count);
        std::vector<std::thread> workers;
        for (int i = 0; i < options_.jobs; ++i) {
            workers.emplace_back([this] { WorkerLoop(); });
        }
        FilterInOrder();
        {
            const std::lock_guard lock(mutex_);
            closing_ = true;
        }
        workReady_.notify_all();
        for (std::thread& worker : workers) {
            worker.join();
        }
        ReportOutOfMemoryOnce();
        observer_.Progress(count, count);
        return Report();
    }

  private:
    bool StopRequested() const {
        return options_.stop != nullptr && options_.stop->load(std::memory_order_relaxed);
    }

    // Under the lock.
    bool CanStartLoad() const {
        if (!takingNew_ || nextLoad_ >= entries_.size()) {
            return false;
        }
        const int waitsFor = entries_[nextLoad_].waitsFor;
        if (waitsFor >= 0 && entries_[static_cast<size_t>(waitsFor)].stage != Stage::kFinished) {
            return false;
        }
        const size_t limit = static_cast<size_t>(options_.jobs) + 2;
        return held_ == 0 || (held_ < limit && heldBytes_ + estimate_ <= options_.memoryBudget &&
                              heldBytes_ + estimate_ >= heldBytes_);
    }

    void WorkerLoop() {
        DibBuffer buffer;
        std::unique_lock lock(mutex_);
        for (;;) {
            workReady_.wait(lock, [this] { return !saves_.empty() || CanStartLoad() || closing_; });
            if (!saves_.empty()) {
                const size_t index = saves_.front();
                saves_.pop_front();
                lock.unlock();
                Save(index, buffer);
                lock.lock();
            } else if (CanStartLoad()) {
                const size_t index = nextLoad_++;
                entries_[index].stage = Stage::kLoading;
                entries_[index].bytes = estimate_;  // until its real size is known
                heldBytes_ += estimate_;
                ++held_;
                lock.unlock();
                Load(index, buffer);
                lock.lock();
            } else {
                return;
            }
        }
    }

    void Load(size_t index, DibBuffer& buffer) {
        Entry& entry = entries_[index];
        const PlannedEntry& planned = *entry.planned;
        const bool folder = planned.outcome == PlannedOutcome::kFolder;
        const bool skipped = planned.outcome == PlannedOutcome::kSkipped;
        PreparedImage prepared;
        bool outOfMemory = false;
        if (!folder && !skipped && !WillWrite(planned.outcome)) {
            prepared.failure = {FileStatus::kNotWritten, planned.reason};
        } else if (!folder && !skipped) {
            try {
                prepared = LoadStep(planned.inputPath, settings_.edging, settings_.loadLimits,
                                    buffer, steps_);
            } catch (const std::bad_alloc&) {
                outOfMemory = true;
                prepared.failure = {FileStatus::kNotLoaded, kOutOfMemoryReason};
            } catch (const std::exception& error) {
                prepared.failure = {FileStatus::kNotWritten, NotWrittenReason(error.what())};
            }
        }
        const std::lock_guard lock(mutex_);
        entry.folder = folder;
        entry.skipped = skipped;
        entry.outOfMemory = outOfMemory;
        if (outOfMemory) {
            StopForMemory();
        }
        heldBytes_ -= entry.bytes;
        entry.bytes = 0;
        if (prepared.image && !closing_) {
            entry.bytes = static_cast<size_t>(prepared.image->imageSize);
            heldBytes_ += entry.bytes;
            estimate_ = entry.bytes;
            entry.image = std::move(prepared.image);
            entry.stage = Stage::kLoaded;
        } else {
            entry.result = std::move(prepared.failure);
            Finish(entry);
        }
        changed_.notify_all();
    }

    void Save(size_t index, DibBuffer& buffer) {
        Entry& entry = entries_[index];
        FileResult result;
        bool outOfMemory = false;
        bool skipped = false;
        try {
            result = PlannedSaveStep(plan_, *entry.planned, *entry.image, buffer, steps_, skipped);
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
            result = {FileStatus::kNotWritten, kOutOfMemoryReason};
        } catch (const std::exception& error) {
            result = {FileStatus::kNotWritten, NotWrittenReason(error.what())};
        }
        entry.image.reset();
        const std::lock_guard lock(mutex_);
        entry.outOfMemory = outOfMemory;
        entry.skipped = skipped;
        if (outOfMemory) {
            StopForMemory();
        }
        entry.result = std::move(result);
        Finish(entry);
        changed_.notify_all();
        workReady_.notify_all();
    }

    // Under the lock: the entry's result is known and its picture gone.
    void Finish(Entry& entry) {
        if (entry.stage != Stage::kWaiting) {
            --held_;
            heldBytes_ -= entry.bytes;
        }
        entry.bytes = 0;
        entry.stage = Stage::kFinished;
        ++finished_;
        workReady_.notify_all();
    }

    // Under the lock: memory ran out, so no new file is started.
    void StopForMemory() {
        takingNew_ = false;
        outOfMemory_ = true;
    }

    void ReportOutOfMemoryOnce() {
        bool report = false;
        {
            const std::lock_guard lock(mutex_);
            report = outOfMemory_ && !outOfMemoryReported_;
            outOfMemoryReported_ = outOfMemoryReported_ || outOfMemory_;
        }
        if (report) {
            observer_.OutOfMemory();
        }
    }

    // Waits until entry index is loaded or finished; false when it never
    // will be (the run stopped before it was started).
    bool WaitForEntry(std::unique_lock<std::mutex>& lock, size_t index) {
        for (;;) {
            if (StopRequested() && !stopped_) {
                stopped_ = true;
                takingNew_ = false;
                workReady_.notify_all();
            }
            const Stage stage = entries_[index].stage;
            if (stage == Stage::kLoaded || stage == Stage::kFinished) {
                return !stopped_ || stage == Stage::kFinished;
            }
            if (stage == Stage::kWaiting && !takingNew_) {
                return false;
            }
            changed_.wait_for(lock, kWaitSlice);
            lock.unlock();
            ReportProgress();
            observer_.Waiting();
            lock.lock();
        }
    }

    void ReportProgress() {
        int finished = 0;
        {
            const std::lock_guard lock(mutex_);
            finished = finished_;
        }
        if (finished != progressShown_) {
            progressShown_ = finished;
            observer_.Progress(finished, static_cast<int>(entries_.size()));
        }
    }

    void FilterInOrder() {
        const int count = static_cast<int>(entries_.size());
        for (size_t index = 0; index < entries_.size(); ++index) {
            observer_.FileStarting(static_cast<int>(index), count, entries_[index].planned->name);
            std::unique_lock lock(mutex_);
            if (!WaitForEntry(lock, index)) {
                break;
            }
            Entry& entry = entries_[index];
            if (entry.stage == Stage::kFinished) {
                continue;
            }
            entry.stage = Stage::kSaving;
            lock.unlock();
            ReportOutOfMemoryOnce();
            FileResult filtered;
            bool outOfMemory = false;
            try {
                filtered = FilterStep(*entry.image, host_);
            } catch (const std::bad_alloc&) {
                outOfMemory = true;
                filtered = {FileStatus::kNotWritten, kOutOfMemoryReason};
            } catch (const std::exception& error) {
                filtered = {FileStatus::kNotWritten, NotWrittenReason(error.what())};
            }
            lock.lock();
            if (outOfMemory) {
                entry.outOfMemory = true;
                StopForMemory();
            }
            if (filtered.status != FileStatus::kWritten) {
                entry.image.reset();
                entry.result = std::move(filtered);
                Finish(entry);
            } else {
                saves_.push_back(index);
                workReady_.notify_one();
            }
            lock.unlock();
            ReportProgress();
        }
        // Pictures loaded but never filtered are dropped; waiting for the
        // saves to end is the workers' part.
        std::unique_lock lock(mutex_);
        takingNew_ = false;
        while (InFlight()) {
            changed_.wait_for(lock, kWaitSlice);
            lock.unlock();
            ReportProgress();
            observer_.Waiting();
            lock.lock();
        }
        for (Entry& entry : entries_) {
            if (entry.stage == Stage::kLoaded) {
                entry.image.reset();
                --held_;
                heldBytes_ -= entry.bytes;
                entry.bytes = 0;
                entry.stage = Stage::kAbandoned;
            }
        }
    }

    // Under the lock: a load or save is running.
    bool InFlight() const {
        for (const Entry& entry : entries_) {
            if (entry.stage == Stage::kLoading || entry.stage == Stage::kSaving) {
                return true;
            }
        }
        return false;
    }

    BatchReport Report() const {
        BatchReport report;
        report.entries = static_cast<int>(entries_.size());
        report.stopped = stopped_;
        report.outOfMemory = outOfMemory_;
        for (size_t i = 0; i < entries_.size(); ++i) {
            const Entry& entry = entries_[i];
            if (entry.stage != Stage::kFinished) {
                ++report.notProcessed;
            } else if (entry.folder) {
                ++report.folders;
            } else if (entry.skipped) {
                ++report.skipped;
            } else if (entry.result.status == FileStatus::kWritten) {
                ++report.written;
            } else {
                report.failures.push_back({entry.planned->name, entry.result.reason});
            }
        }
        return report;
    }

    const RunPlan& plan_;
    const BatchSettings& settings_;
    FilterHost& host_;
    BatchObserver& observer_;
    const ImageFileSteps& steps_;
    const RunOptions& options_;

    std::mutex mutex_;
    std::condition_variable workReady_;  // for the workers
    std::condition_variable changed_;    // for the calling thread
    std::vector<Entry> entries_;
    std::deque<size_t> saves_;
    size_t nextLoad_ = 0;
    size_t held_ = 0;
    uint64_t heldBytes_ = 0;
    // What a load about to start is expected to take: the last picture's
    // size, so that the budget also covers pictures being decoded.
    uint64_t estimate_ = 1;
    int finished_ = 0;
    bool takingNew_ = true;
    bool closing_ = false;
    bool outOfMemory_ = false;
    bool stopped_ = false;

    // Calling thread only.
    bool outOfMemoryReported_ = false;
    int progressShown_ = 0;
};

}  // namespace

BatchReport PipelinedRun(const RunPlan& plan, const BatchSettings& settings, FilterHost& host,
                         BatchObserver& observer, const ImageFileSteps& steps,
                         const RunOptions& options) {
    Pipeline pipeline(plan, settings, host, observer, steps, options);
    return pipeline.Run();
}

}  // namespace tinta
