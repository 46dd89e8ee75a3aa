#include "batch/BatchProcessor.h"

#include "logo/LogoEngine.h"
#include "platform/Error.h"
#include "platform/FileWriting.h"
#include "platform/NativeFiles.h"
#include "platform/Paths.h"
#include "platform/TextLineReader.h"

#include <QDir>
#include <QFontDatabase>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unordered_map>
#include <unordered_set>

namespace zot {

BatchLine parseBatchLine(const QString& line, int inputs) {
    BatchLine parsed;
    qsizetype from = 0;
    for (int i = 1; i <= inputs; ++i) {
        const qsizetype semicolon = line.indexOf(u';', from);
        if (semicolon < 0) {
            parsed.missing = line.mid(from);
            return parsed;
        }
        parsed.fields.append(line.mid(from, semicolon - from));
        from = semicolon + 1;
    }
    parsed.complete = true;
    const qsizetype end = line.indexOf(u';', from);
    parsed.outputName = end < 0 ? line.mid(from) : line.mid(from, end - from);
    return parsed;
}

QString missingSeparatorReport(qint64 lineNumber, const QString& rest) {
    return QStringLiteral("Missing ; at line ") + QString::number(lineNumber) +
           QStringLiteral(" : ") + rest;
}

bool threadedRenderingSupported() {
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    return QFontDatabase::supportsThreadedFontRendering();
#else
    // Qt 6 dropped the question: text is drawn into pictures on any thread
    // (it has answered yes since Qt 5.0).
    return true;
#endif
}

namespace {

// What a batch does with a complete line's file.
enum class LineRole {
    Write,   // render, encode and write it
    Skip,    // this part's, but the file was there before the batch
    Foreign, // another part's
};

class LineRoles {
  public:
    explicit LineRoles(const BatchOptions& options)
        : shard_(options.shard), skipExisting_(options.skipExisting) {}

    LineRole roleOf(const QString& outputName, const QString& path) {
        if (!shard_.owns(outputName))
            return LineRole::Foreign;
        if (!skipExisting_)
            return LineRole::Write;
        // Kept by hash: eight bytes a file, however long the names.
        const quint64 key = outputNameHash(path);
        if (written_.count(key) > 0)
            return LineRole::Write;
        struct stat st {};
        if (::lstat(nativePath(path).constData(), &st) == 0)
            return LineRole::Skip;
        written_.insert(key);
        return LineRole::Write;
    }

  private:
    BatchShard shard_;
    bool skipExisting_;
    std::unordered_set<quint64> written_; // files this batch writes
};

// The total a progress display is told: a part does not know its own ahead.
qint64 progressTotal(TextLineReader& lines, const BatchOptions& options) {
    return options.shard.whole() ? lines.lineCount() : -1;
}

// Plans a line whose logo is not drawn here. The first line is planned in
// full: the renderings between the design's default texts and its own were
// never checked.
std::optional<LogoEngine::Plan> planUndrawn(LogoEngine& engine, const QStringList& fields,
                                            bool first) {
    return first ? engine.planLabelTexts(fields) : engine.skimLabelTexts(fields);
}

BatchEnd runInline(LogoEngine& engine, TextLineReader& lines, const QString& outputFolder,
                   const BatchOptions& options) {
    const qint64 total = progressTotal(lines, options);
    const int inputs = engine.LabelCount();
    LineRoles roles(options);
    QByteArray file;
    qint64 lineNumber = 0;
    qint64 done = 0;
    // The state the last rendering would start from, when lines were planned
    // but not drawn since: the engine's logo is behind its texts.
    std::optional<LogoEngine::RenderState> behind;
    const auto catchUp = [&] {
        if (!behind)
            return;
        const LogoEngine::RenderState state = std::move(*behind);
        behind.reset();
        engine.renderFrom(state);
    };
    bool first = true;
    while (std::optional<QString> line = lines.next()) {
        ++lineNumber;
        const BatchLine parsed = parseBatchLine(*line, inputs);
        if (!parsed.complete) {
            // The fields before a missing ";" are set all the same.
            catchUp();
            engine.setLabelTexts(parsed.fields);
            engine.appendError(missingSeparatorReport(lineNumber, parsed.missing));
            return BatchEnd::MissingSeparator;
        }
        const QString path = outputPath(outputFolder, parsed.outputName);
        const bool refused = !staysInFolder(parsed.outputName);
        const LineRole role = refused ? LineRole::Write : roles.roleOf(parsed.outputName, path);
        if (role == LineRole::Write) {
            if (std::optional<LogoEngine::Plan> plan = engine.planLabelTexts(parsed.fields)) {
                if (!plan->rendered)
                    engine.renderFrom(plan->state);
                behind.reset();
            } else {
                // No field changed: the logo is the last rendering's.
                catchUp();
            }
        } else if (std::optional<LogoEngine::Plan> plan =
                       planUndrawn(engine, parsed.fields, first)) {
            if (plan->rendered)
                behind.reset();
            else
                behind = std::move(plan->state);
        }
        first = false;
        if (refused)
            throw Error::cannotCreateFile(path);
        if (role == LineRole::Foreign)
            continue;
        if (role == LineRole::Write) {
            encodeLogo(engine.logo(), options.format, file);
            writeFileReplacing(path, file);
        }
        ++done;
        if (options.progress && !options.progress(done, total)) {
            catchUp();
            return BatchEnd::Cancelled;
        }
    }
    // The engine ends with the last line's logo, as the lines one by one leave it.
    catchUp();
    return BatchEnd::Finished;
}

// One line's logo for a worker: a state to render, or finished bytes (the
// logo as it was before the batch, or one the planning engine drew itself).
struct Logo {
    std::shared_ptr<const LogoEngine::RenderState> state; // render this, or
    std::shared_ptr<const QByteArray> bytes;              // write these
};

struct Task {
    qint64 line = 0;
    qint64 done = 0; // lines of this part done with this one
    QString path;
    Logo logo;
    // Another line in flight names the same file: write it in turn only.
    bool ordered = false;
    // The name climbs out of the output folder: the line cannot be written.
    bool refused = false;
    // The file was there before the batch: only counted, in turn.
    bool skip = false;
};

// Consecutive lines go to one worker together, so that threads meet once
// per chunk rather than once per logo.
struct Chunk {
    qint64 index = 0;
    std::vector<Task> tasks;
};
constexpr size_t kChunkLines = 32;

// The chunks in flight between the planning thread and the workers, and the
// turn of the next chunk to put its files in place: strictly in line order.
class Pipeline {
  public:
    explicit Pipeline(size_t capacity) : capacity_(capacity) {}

    // False when the batch has stopped and the chunk is not wanted.
    bool push(Chunk chunk) {
        std::unique_lock lock(mutex_);
        spaceFreed_.wait(lock, [&] { return queue_.size() < capacity_ || stopped_; });
        if (stopped_)
            return false;
        queue_.push_back(std::move(chunk));
        added_.notify_one();
        return true;
    }
    void close() {
        std::lock_guard lock(mutex_);
        closed_ = true;
        added_.notify_all();
    }
    bool pop(Chunk& chunk) {
        std::unique_lock lock(mutex_);
        ++idle_;
        added_.wait(lock, [&] { return !queue_.empty() || closed_ || stopped_; });
        --idle_;
        if (queue_.empty() || stopped_)
            return false;
        chunk = std::move(queue_.front());
        queue_.pop_front();
        spaceFreed_.notify_one();
        return true;
    }
    // A worker waits with nothing to do: a part-filled chunk is worth sending.
    bool hungry() {
        std::lock_guard lock(mutex_);
        return idle_ > 0 && queue_.empty();
    }

    // Waits for a chunk's turn; false when the batch stopped before it.
    bool awaitTurn(qint64 index) {
        std::unique_lock lock(mutex_);
        turn_.wait(lock, [&] { return next_ == index || stopped_; });
        return !stopped_;
    }
    void passTurn() {
        std::lock_guard lock(mutex_);
        ++next_;
        turn_.notify_all();
    }
    // Ends the batch: nothing after the line at hand is put in place.
    void stop(std::exception_ptr failure = nullptr) {
        std::lock_guard lock(mutex_);
        if (!stopped_)
            failure_ = failure;
        stopped_ = true;
        added_.notify_all();
        spaceFreed_.notify_all();
        turn_.notify_all();
    }
    bool stopped() {
        std::lock_guard lock(mutex_);
        return stopped_;
    }
    std::exception_ptr failure() {
        std::lock_guard lock(mutex_);
        return failure_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable added_;
    std::condition_variable spaceFreed_;
    std::condition_variable turn_;
    std::deque<Chunk> queue_;
    size_t capacity_;
    int idle_ = 0;
    bool closed_ = false;
    bool stopped_ = false;
    std::exception_ptr failure_;
    qint64 next_ = 0;
};

// A line's file, written or ready to write when its turn comes.
struct Prepared {
    const Task* task = nullptr;
    std::optional<PendingFile> pending;
    QByteArray bytes; // for a line written only in turn
};

// Files are written side by side, but take their places in line order: each
// waits under its temporary name beside its target until its turn, and is
// removed if the batch stops before its line.
void work(LogoEngine& engine, Pipeline& pipeline, const BatchOptions& options, qint64 total,
          bool& cancelled) {
    QByteArray file;
    Chunk chunk;
    std::vector<Prepared> prepared;
    const auto discardFrom = [&prepared](size_t first) {
        for (size_t k = first; k < prepared.size(); ++k) {
            if (prepared[k].pending)
                prepared[k].pending->discard();
        }
    };
    while (pipeline.pop(chunk)) {
        prepared.clear();
        std::exception_ptr failure;
        for (const Task& task : chunk.tasks) {
            try {
                if (task.refused)
                    throw Error::cannotCreateFile(task.path);
                if (task.skip) {
                    prepared.push_back({&task, std::nullopt, {}});
                    continue;
                }
                const QByteArray* bytes = task.logo.bytes.get();
                if (task.logo.state) {
                    engine.renderFrom(*task.logo.state);
                    encodeLogo(engine.logo(), options.format, file);
                    bytes = &file;
                }
                Prepared line{&task, std::nullopt, {}};
                if (task.ordered)
                    line.bytes = *bytes;
                else
                    line.pending = PendingFile::write(task.path, *bytes);
                prepared.push_back(std::move(line));
            } catch (...) {
                // The lines before it are still put in place, in turn.
                failure = std::current_exception();
                break;
            }
        }
        if (!pipeline.awaitTurn(chunk.index)) {
            discardFrom(0);
            return;
        }
        for (size_t k = 0; k < prepared.size(); ++k) {
            bool goOn = true;
            try {
                const Task& task = *prepared[k].task;
                if (prepared[k].pending)
                    prepared[k].pending->commit();
                else if (!task.skip)
                    writeFileReplacing(task.path, prepared[k].bytes);
                // A progress display that fails ends the batch as a failed write does.
                goOn = !options.progress || options.progress(task.done, total);
            } catch (...) {
                discardFrom(k + 1);
                pipeline.stop(std::current_exception());
                return;
            }
            if (!goOn) {
                discardFrom(k + 1);
                cancelled = true;
                pipeline.stop();
                return;
            }
        }
        if (failure) {
            pipeline.stop(failure);
            return;
        }
        pipeline.passTurn();
    }
}

// The last names handed out, to tell which lines may touch the same file
// while both are in flight.
class RecentNames {
  public:
    explicit RecentNames(size_t size) : names_(size) {}
    // Whether name is among the recent ones; it becomes the newest. Counted
    // in a hash, so a line costs the same however long the window.
    bool seen(const QString& name) {
        const QString clean = QDir::cleanPath(name);
        const bool found = counts_.count(clean) > 0;
        QString& oldest = names_[next_];
        if (!oldest.isNull()) {
            auto it = counts_.find(oldest);
            if (it != counts_.end() && --it->second == 0)
                counts_.erase(it);
        }
        oldest = clean;
        ++counts_[clean];
        next_ = (next_ + 1) % names_.size();
        return found;
    }

  private:
    std::vector<QString> names_;
    std::unordered_map<QString, int> counts_;
    size_t next_ = 0;
};

// The workers of a batch. Whatever ends it, even a thread that cannot be
// started or memory running out, they are stopped and joined first: a thread
// left joinable would end the program.
class WorkerThreads {
  public:
    explicit WorkerThreads(Pipeline& pipeline) : pipeline_(pipeline) {}
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;
    ~WorkerThreads() {
        if (threads_.empty())
            return;
        pipeline_.stop();
        join();
    }
    // Throws std::system_error when no thread is to be had.
    void start(std::function<void()> body) {
        threads_.emplace_back([this, body = std::move(body)] {
            try {
                body();
            } catch (...) {
                pipeline_.stop(std::current_exception());
            }
        });
    }
    void join() {
        for (std::thread& thread : threads_)
            thread.join();
        threads_.clear();
    }

  private:
    Pipeline& pipeline_;
    std::vector<std::thread> threads_;
};

BatchEnd runThreaded(LogoEngine& engine, std::vector<std::unique_ptr<LogoEngine>>& workers,
                     TextLineReader& lines, const QString& outputFolder,
                     const BatchOptions& options) {
    const qint64 total = progressTotal(lines, options);
    const int inputs = engine.LabelCount();
    LineRoles roles(options);
    qint64 done = 0;
    bool first = true;
    const size_t capacity = 2 * workers.size();
    Pipeline pipeline(capacity);
    // Lines further apart than this are never in flight together.
    RecentNames recent((capacity + 2 * workers.size() + 1) * kChunkLines);
    bool cancelled = false;
    // A thread that cannot be started ends the batch before its first line:
    // the machine is out of threads or address space, and fewer jobs than
    // asked for would only fail later, less plainly.
    WorkerThreads threads(pipeline);
    for (auto& worker : workers)
        threads.start([&, w = worker.get()] { work(*w, pipeline, options, total, cancelled); });

    // Until the batch renders, its lines show the logo as it was.
    auto before = std::make_shared<QByteArray>();
    encodeLogo(engine.logo(), options.format, *before);
    Logo last{nullptr, before};
    std::optional<QString> missing;
    std::exception_ptr planningFailure;
    qint64 lineNumber = 0;
    Chunk chunk;
    const auto send = [&] {
        if (chunk.tasks.empty())
            return true;
        const qint64 index = chunk.index;
        const bool taken = pipeline.push(std::move(chunk));
        chunk = Chunk{index + 1, {}};
        return taken;
    };
    try {
        while (!pipeline.stopped()) {
            std::optional<QString> line = lines.next();
            if (!line)
                break;
            ++lineNumber;
            const BatchLine parsed = parseBatchLine(*line, inputs);
            if (!parsed.complete) {
                // The engine first takes the last logo, then the short line's fields.
                if (last.state)
                    engine.renderFrom(*last.state);
                last.state.reset();
                engine.setLabelTexts(parsed.fields);
                missing = missingSeparatorReport(lineNumber, parsed.missing);
                break;
            }
            QString path = outputPath(outputFolder, parsed.outputName);
            const bool refused = !staysInFolder(parsed.outputName);
            const LineRole role = refused ? LineRole::Write : roles.roleOf(parsed.outputName, path);
            std::optional<LogoEngine::Plan> plan = role == LineRole::Write
                                                       ? engine.planLabelTexts(parsed.fields)
                                                       : planUndrawn(engine, parsed.fields, first);
            first = false;
            if (plan) {
                if (!plan->rendered) {
                    last = {std::make_shared<const LogoEngine::RenderState>(std::move(plan->state)),
                            nullptr};
                } else {
                    auto bytes = std::make_shared<QByteArray>();
                    encodeLogo(engine.logo(), options.format, *bytes);
                    last = {nullptr, std::move(bytes)};
                }
            }
            // Another part's line only stops the batch when its name is refused.
            if (role == LineRole::Foreign && !refused)
                continue;
            if (role != LineRole::Foreign)
                ++done;
            const bool ordered = role == LineRole::Write && recent.seen(path);
            chunk.tasks.push_back({lineNumber, done, std::move(path),
                                   role == LineRole::Skip ? Logo{} : last, ordered, refused,
                                   role == LineRole::Skip});
            // Full, or a worker is idle (a slow pipe): send what there is.
            if ((chunk.tasks.size() >= kChunkLines || pipeline.hungry()) && !send())
                break;
        }
    } catch (...) {
        // A rendering failed on this thread: the lines before it are still written.
        planningFailure = std::current_exception();
        last.state.reset();
    }
    send();
    pipeline.close();
    threads.join();

    // A failed write stops the batch where it failed. (The planning may have
    // run ahead of it; only the command-line tool batches on several jobs,
    // and it ends there.)
    if (std::exception_ptr failure = pipeline.failure())
        std::rethrow_exception(failure);
    if (planningFailure)
        std::rethrow_exception(planningFailure);
    // The engine ends with the last line's logo, as the lines one by one leave it.
    if (last.state)
        engine.renderFrom(*last.state);
    if (cancelled)
        return BatchEnd::Cancelled;
    if (missing) {
        engine.appendError(*missing);
        return BatchEnd::MissingSeparator;
    }
    return BatchEnd::Finished;
}

} // namespace

BatchEnd RunBatch(LogoEngine& engine, TextLineReader& lines, const QString& outputFolder,
                  const BatchOptions& options) {
    if (options.jobs <= 1 || !threadedRenderingSupported())
        return runInline(engine, lines, outputFolder, options);
    // Each job renders on an engine of its own with the same design open.
    EngineObserver quiet;
    std::vector<std::unique_ptr<LogoEngine>> workers;
    try {
        for (int i = 0; i < options.jobs; ++i) {
            workers.push_back(std::make_unique<LogoEngine>(quiet, engine.programFolder()));
            workers.back()->OpenDesign(engine.design().DesignFolder, engine.designParent());
        }
    } catch (const Error&) {
        // A design that does not open cleanly is batched the plain way.
        return runInline(engine, lines, outputFolder, options);
    }
    return runThreaded(engine, workers, lines, outputFolder, options);
}

bool RunBatch(LogoEngine& engine, const QString& batchFile, const QString& outputFolder,
              const BatchOptions& options) {
    // Streamed line by line: memory stays flat however long the file.
    TextLineReader reader(batchFile);
    return RunBatch(engine, reader, outputFolder, options) != BatchEnd::MissingSeparator;
}

} // namespace zot
