#include "batch/BatchProcessor.h"

#include "logo/LogoEngine.h"
#include "platform/Error.h"
#include "platform/FileWriting.h"
#include "platform/NativeFiles.h"
#include "platform/Paths.h"
#include "platform/TextLineReader.h"

#include <QDir>
#include <QFontDatabase>
#include <QScopeGuard>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
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

qint64 BatchFileLines::lineCount() const {
    return lines_.lineCount();
}

std::optional<BatchLine> BatchFileLines::next() {
    std::optional<QString> line = lines_.next();
    if (!line)
        return std::nullopt;
    ++lineNumber_;
    BatchLine parsed = parseBatchLine(*line, inputs_);
    if (!parsed.complete)
        parsed.report = missingSeparatorReport(lineNumber_, parsed.missing);
    return parsed;
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

int defaultBatchJobs() {
    return std::clamp(QThread::idealThreadCount(), 1, 4);
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
qint64 progressTotal(const BatchSource& lines, const BatchOptions& options) {
    return options.shard.whole() ? lines.lineCount() : -1;
}

// Plans a line whose logo is not drawn here. The first line is planned in
// full: the renderings between the design's default texts and its own were
// never checked.
std::optional<LogoEngine::Plan> planUndrawn(LogoEngine& engine, const QStringList& fields,
                                            bool first) {
    return first ? engine.planLabelTexts(fields) : engine.skimLabelTexts(fields);
}

// A logo the planning engine holds (as it was before the batch, or one it
// drew itself), with the texts and fonts as they are with it.
struct KeptLogo {
    Bitmap logo;
    QImage alphaLogo;
    LogoEngine::RenderState after;
};

// One line's logo: a state for a worker to render, or a kept logo to encode.
// Either way the planning engine can go back to it.
struct Logo {
    std::shared_ptr<const LogoEngine::RenderState> state; // render this, or
    std::shared_ptr<const KeptLogo> kept;                 // encode this
};

void rewindTo(LogoEngine& engine, const Logo& logo) {
    if (logo.state)
        engine.rewindTo(*logo.state);
    else if (logo.kept)
        engine.rewindTo(logo.kept->after, logo.kept->logo, logo.kept->alphaLogo);
}

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
    // The file, when the planning thread rendered and encoded it itself.
    QByteArray bytes;
    // Or the logo it rendered, for the writing thread to encode.
    std::optional<std::pair<Bitmap, QImage>> drawn;
};

// Consecutive lines go to one worker together, so that threads meet once
// per chunk rather than once per logo.
struct Chunk {
    qint64 index = 0;
    std::vector<Task> tasks;
    qint64 bytes = 0; // of the files it carries
};
constexpr size_t kChunkLines = 32;
// Files carried by a chunk, at most (one file may be more): the memory of a
// batch stays flat however large its logos.
constexpr qint64 kChunkBytes = qint64(1) << 20;
// Descriptors the rest of the program may hold meanwhile (the design's
// files, fonts, the toolkit's), kept free of pending files.
constexpr qint64 kOtherFiles = 256;

// Lines a chunk carries, at most. A file written ahead of its turn holds a
// descriptor until it is put in place (PendingFile), and fewer than
// capacity + threads chunks hold such files at once: those finished out of
// turn (fewer than capacity when a worker takes one), those being written
// and the one being put in place. Where the open file limit cannot be
// raised that far, chunks get shorter.
size_t linesPerChunk(size_t capacity, size_t threads) {
    const qint64 holding = qint64(capacity + threads);
    const qint64 limit = raiseOpenFileLimit(holding * qint64(kChunkLines) + kOtherFiles);
    return size_t(std::clamp<qint64>((limit - kOtherFiles) / holding, 1, kChunkLines));
}

// The folders a batch writes into, each rid once of the temporary files
// that runs killed earlier left there.
class FolderCleaner {
  public:
    void enter(const QString& path) {
        const QStringView folder = QStringView(path).left(path.lastIndexOf(u'/') + 1);
        if (folder == last_)
            return;
        last_ = folder.toString();
        if (cleaned_.insert(last_).second)
            removeAbandonedTemporaryFiles(nativePath(last_));
    }

  private:
    QString last_;
    std::unordered_set<QString> cleaned_;
};

// Told how many lines are done; the planning thread calls it, never a worker.
using ProgressReport = std::function<void(qint64 done)>;

// A line's file, written under a temporary name or ready to write.
struct Prepared {
    size_t task = 0; // in its chunk
    std::optional<PendingFile> pending;
    QByteArray bytes; // for a line written only in turn
};

// A chunk a worker is through with: its files wait under their temporary
// names beside their targets for their turn.
struct Finished {
    Chunk chunk;
    std::vector<Prepared> prepared;
    std::exception_ptr failure; // at the task after the last prepared one
};

void discard(Finished& finished, size_t from = 0) {
    for (size_t k = from; k < finished.prepared.size(); ++k) {
        if (finished.prepared[k].pending)
            finished.prepared[k].pending->discard();
    }
    finished.prepared.clear();
}

// How often a planning thread that waits tells the lines done.
constexpr auto kProgressInterval = std::chrono::milliseconds(10);

// The chunks in flight between the planning thread and the workers, the
// chunks finished out of turn, and the line the planning engine must show
// when the batch stops. Files take their places strictly in line order, put
// there by whichever worker finishes the chunk whose turn it is; the others
// go on with the next chunks meanwhile.
class Pipeline {
  public:
    Pipeline(size_t capacity, Logo before) : capacity_(capacity), at_(std::move(before)) {}

    // Waits for room, telling report of the lines done meanwhile. False when
    // the batch has stopped and the chunk is not wanted.
    bool push(Chunk chunk, const ProgressReport& report) {
        std::unique_lock lock(mutex_);
        for (;;) {
            if (stopped_)
                return false;
            if (queue_.size() < capacity_)
                break;
            if (!tellProgress(lock, report))
                plannerWake_.wait_for(lock, kProgressInterval);
        }
        queue_.push_back(std::move(chunk));
        added_.notify_one();
        return true;
    }
    // Tells report of the lines done since it was last told, if any.
    void report(const ProgressReport& report) {
        std::unique_lock lock(mutex_);
        tellProgress(lock, report);
    }
    // Waits for every worker to leave, telling report of the lines done.
    void drain(const ProgressReport& report) {
        std::unique_lock lock(mutex_);
        while (working_ > 0) {
            if (!tellProgress(lock, report))
                plannerWake_.wait_for(lock, kProgressInterval);
        }
        tellProgress(lock, report);
    }
    void workerArrived() {
        std::lock_guard lock(mutex_);
        ++working_;
    }
    void workerLeft() {
        std::lock_guard lock(mutex_);
        --working_;
        plannerWake_.notify_all();
    }
    void close() {
        std::lock_guard lock(mutex_);
        closed_ = true;
        added_.notify_all();
    }
    // Waits for a chunk, and for room among the chunks finished out of turn.
    bool pop(Chunk& chunk) {
        std::unique_lock lock(mutex_);
        ++idle_;
        added_.wait(lock, [&] {
            return stopped_ || (queue_.empty() && closed_) ||
                   (!queue_.empty() && waiting_.size() < capacity_);
        });
        --idle_;
        if (queue_.empty() || stopped_)
            return false;
        chunk = std::move(queue_.front());
        queue_.pop_front();
        plannerWake_.notify_all();
        return true;
    }
    // A worker waits with nothing to do: a part-filled chunk is worth sending.
    bool hungry() {
        std::lock_guard lock(mutex_);
        return idle_ > 0 && queue_.empty();
    }

    // Puts the chunk's files in place when its turn has come, and those of
    // the chunks after it that are finished; otherwise leaves it for the
    // worker whose chunk comes first.
    void finish(Finished finished) {
        std::unique_lock lock(mutex_);
        if (stopped_) {
            lock.unlock();
            discard(finished);
            return;
        }
        const qint64 index = finished.chunk.index;
        waiting_.emplace(index, std::move(finished));
        if (committing_)
            return;
        committing_ = true;
        while (!stopped_) {
            auto it = waiting_.find(next_);
            if (it == waiting_.end())
                break;
            Finished turn = std::move(it->second);
            waiting_.erase(it);
            added_.notify_all();
            lock.unlock();
            const bool goOn = commit(turn);
            lock.lock();
            if (!goOn)
                break;
            ++next_;
        }
        committing_ = false;
        if (stopped_)
            dropWaiting(lock);
    }

    // Ends the batch: nothing after the line at hand is put in place. A
    // failure names the line it happened at, which the engine then shows.
    void stop(std::exception_ptr failure = nullptr, const Task* failedAt = nullptr) {
        std::unique_lock lock(mutex_);
        if (!stopped_) {
            failure_ = failure;
            if (failedAt)
                at_ = failedAt->logo;
        }
        stopped_ = true;
        added_.notify_all();
        plannerWake_.notify_all();
        // Chunks finished out of turn go now, unless a worker is putting
        // files in place: it removes them when it sees the stop.
        if (!committing_)
            dropWaiting(lock);
    }
    bool stopped() {
        std::lock_guard lock(mutex_);
        return stopped_;
    }
    std::exception_ptr failure() {
        std::lock_guard lock(mutex_);
        return failure_;
    }
    // The line the batch got to: the last put in place, or the one it failed at.
    Logo stoppedAt() {
        std::lock_guard lock(mutex_);
        return at_;
    }

  private:
    // Removes the files of the chunks finished out of turn, outside the lock.
    void dropWaiting(std::unique_lock<std::mutex>& lock) {
        std::map<qint64, Finished> left;
        left.swap(waiting_);
        lock.unlock();
        for (auto& [index, finished] : left)
            discard(finished);
    }
    // Puts a chunk's files in place in line order; false when the batch
    // stopped before or at one of them.
    bool commit(Finished& turn) {
        const std::vector<Task>& tasks = turn.chunk.tasks;
        for (size_t k = 0; k < turn.prepared.size(); ++k) {
            // Cancelled or failed meanwhile: the files stay as they are.
            if (stopped()) {
                discard(turn, k);
                return false;
            }
            Prepared& line = turn.prepared[k];
            const Task& task = tasks[line.task];
            try {
                if (line.pending)
                    line.pending->commit();
                else if (!task.skip)
                    writeFileReplacing(task.path, line.bytes);
            } catch (...) {
                discard(turn, k + 1);
                stop(std::current_exception(), &task);
                return false;
            }
            committed(task);
        }
        if (turn.failure) {
            stop(turn.failure, &tasks[turn.prepared.size()]);
            return false;
        }
        return true;
    }
    // A line's file is in place (or was left alone): the engine would show it.
    void committed(const Task& task) {
        std::lock_guard lock(mutex_);
        done_ = task.done;
        at_ = task.logo;
    }
    // False when there was nothing new to tell.
    bool tellProgress(std::unique_lock<std::mutex>& lock, const ProgressReport& report) {
        if (done_ == told_)
            return false;
        told_ = done_;
        const qint64 done = done_;
        lock.unlock();
        report(done);
        lock.lock();
        return true;
    }

    std::mutex mutex_;
    std::condition_variable added_; // a chunk, room for one finished, or the end
    // Room in the queue, a worker gone, or the batch stopped.
    std::condition_variable plannerWake_;
    std::deque<Chunk> queue_;
    size_t capacity_;
    int idle_ = 0;
    int working_ = 0;
    bool closed_ = false;
    bool stopped_ = false;
    std::exception_ptr failure_;
    std::map<qint64, Finished> waiting_; // finished out of turn
    bool committing_ = false;
    qint64 next_ = 0; // the chunk whose files go in place next
    qint64 done_ = 0;
    qint64 told_ = 0;
    Logo at_;
};

// Qt's fonts, metrics and glyph runs belong to the thread that made them:
// one used on another thread shares its font engine with the thread that
// made it, which crashes in FreeType (a design's own fonts at once). A
// worker's are made again on its thread, and let go there before it ends.
void forgetTextObjects(LogoEngine& engine) {
    for (auto& font : engine.design().TtfFonts)
        font->invalidate();
}

// Renders, encodes and writes the chunks' files under temporary names; the
// files take their places in line order, and are removed if the batch stops
// before their line. A worker without an engine only writes files the
// planning thread encoded.
void work(LogoEngine* engine, Pipeline& pipeline, LogoFormat format) {
    QByteArray file;
    Chunk chunk;
    while (pipeline.pop(chunk)) {
        Finished finished{std::move(chunk), {}, nullptr};
        const std::vector<Task>& tasks = finished.chunk.tasks;
        for (size_t k = 0; k < tasks.size(); ++k) {
            const Task& task = tasks[k];
            try {
                if (task.refused)
                    throw Error::cannotCreateFile(task.path);
                if (task.skip) {
                    finished.prepared.push_back({k, std::nullopt, {}});
                    continue;
                }
                if (task.drawn) {
                    encodeLogo(task.drawn->first, task.drawn->second, format, file);
                } else if (task.bytes.isNull()) {
                    if (task.logo.state) {
                        engine->renderFrom(*task.logo.state);
                        encodeLogo(engine->logo(), engine->alphaLogo(), format, file);
                    } else {
                        encodeLogo(task.logo.kept->logo, task.logo.kept->alphaLogo, format, file);
                    }
                }
                const QByteArray& bytes = task.bytes.isNull() ? file : task.bytes;
                Prepared line{k, std::nullopt, {}};
                if (task.ordered)
                    line.bytes = bytes;
                else
                    line.pending = PendingFile::write(task.path, bytes);
                finished.prepared.push_back(std::move(line));
            } catch (...) {
                // The lines before it are still put in place, in turn.
                finished.failure = std::current_exception();
                break;
            }
        }
        chunk = Chunk{};
        pipeline.finish(std::move(finished));
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
        pipeline_.workerArrived();
        try {
            threads_.emplace_back([this, body = std::move(body)] {
                try {
                    body();
                } catch (...) {
                    pipeline_.stop(std::current_exception());
                }
                pipeline_.workerLeft();
            });
        } catch (...) {
            pipeline_.workerLeft();
            throw;
        }
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

// Plans the lines on this thread, in order. With workers (engines with the
// design open), they render, encode and write; without, this thread renders
// and encodes, and one thread writes the files beside it: the time a file
// takes the system is no longer added to the time its logo takes.
BatchEnd runThreaded(LogoEngine& engine, const std::vector<std::unique_ptr<LogoEngine>>& workers,
                     BatchSource& lines, const QString& outputFolder, const BatchOptions& options) {
    const qint64 total = progressTotal(lines, options);
    LineRoles roles(options);
    qint64 done = 0;
    bool first = true;
    const bool renderHere = workers.empty();
    const size_t threadCount = std::max<size_t>(workers.size(), 1);
    const size_t capacity = 2 * threadCount;
    // A logo the planning engine holds, with what goes with it.
    const auto kept = [&engine] {
        return Logo{nullptr, std::make_shared<const KeptLogo>(KeptLogo{
                                 engine.logo(), engine.alphaLogo(), engine.renderState()})};
    };
    // Until the batch renders, its lines show the logo as it was.
    Logo last = kept();
    Pipeline pipeline(capacity, last);
    const size_t chunkLines = linesPerChunk(capacity, threadCount);
    // Lines further apart than this are never in flight together.
    RecentNames recent((capacity + 2 * threadCount + 1) * chunkLines);
    FolderCleaner folders;
    // Progress is told on this thread, so that a window can show it and take
    // a Cancel between lines.
    bool cancelled = false;
    const ProgressReport report = [&](qint64 lineDone) {
        if (!options.progress)
            return;
        bool goOn = false;
        try {
            goOn = options.progress(lineDone, total);
        } catch (...) {
            // A progress display that fails ends the batch as a failed write does.
            pipeline.stop(std::current_exception());
            return;
        }
        if (!goOn) {
            cancelled = true;
            pipeline.stop();
        }
    };
    // A thread that cannot be started ends the batch before its first line:
    // the machine is out of threads or address space, and fewer jobs than
    // asked for would only fail later, less plainly.
    WorkerThreads threads(pipeline);
    for (auto& worker : workers)
        threads.start([&, w = worker.get()] {
            const auto forget = qScopeGuard([w] { forgetTextObjects(*w); });
            work(w, pipeline, options.format);
        });
    if (renderHere)
        threads.start([&] { work(nullptr, pipeline, options.format); });
    // The state whose logo the engine holds, when this thread drew it.
    std::shared_ptr<const LogoEngine::RenderState> drawn;
    const auto draw = [&] {
        if (last.state && last.state != drawn) {
            engine.renderFrom(*last.state);
            drawn = last.state;
        }
    };

    std::optional<QString> missing;
    std::exception_ptr planningFailure;
    qint64 lineNumber = 0;
    Chunk chunk;
    const auto send = [&] {
        if (chunk.tasks.empty())
            return true;
        const qint64 index = chunk.index;
        const bool taken = pipeline.push(std::move(chunk), report);
        chunk = Chunk{index + 1, {}, 0};
        pipeline.report(report);
        return taken;
    };
    try {
        while (!pipeline.stopped()) {
            std::optional<BatchLine> next = lines.next();
            if (!next)
                break;
            ++lineNumber;
            const BatchLine& parsed = *next;
            if (!parsed.complete) {
                // The engine first takes the last logo, then the short line's fields.
                draw();
                engine.setLabelTexts(parsed.fields);
                missing = parsed.report;
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
                last = plan->rendered ? kept()
                                      : Logo{std::make_shared<const LogoEngine::RenderState>(
                                                 std::move(plan->state)),
                                             nullptr};
            }
            // Another part's line only stops the batch when its name is refused.
            if (role == LineRole::Foreign && !refused)
                continue;
            // Also where this part's files are all there already: a killed
            // run may have left temporary files beside old files it replaced.
            if (!refused)
                folders.enter(path);
            if (role != LineRole::Foreign)
                ++done;
            const bool ordered = role == LineRole::Write && recent.seen(path);
            QByteArray bytes;
            std::optional<std::pair<Bitmap, QImage>> logo;
            if (renderHere && role == LineRole::Write && !refused) {
                draw();
                if (options.format == LogoFormat::Png) {
                    // Deflate takes longer than the rendering: the writing
                    // thread does it, and one job keeps two cores busy.
                    logo.emplace(engine.logo(), engine.alphaLogo());
                    chunk.bytes +=
                        engine.logo().storage().sizeInBytes() + engine.alphaLogo().sizeInBytes();
                } else {
                    encodeLogo(engine.logo(), engine.alphaLogo(), options.format, bytes);
                    chunk.bytes += bytes.size();
                }
            }
            chunk.tasks.push_back({lineNumber, done, std::move(path), last, ordered, refused,
                                   role == LineRole::Skip, std::move(bytes), std::move(logo)});
            // Full, or a worker is idle (a slow pipe): send what there is.
            if ((chunk.tasks.size() >= chunkLines || chunk.bytes >= kChunkBytes ||
                 pipeline.hungry()) &&
                !send())
                break;
        }
    } catch (...) {
        // A rendering failed on this thread: the lines before it are still
        // written, and the engine stays at the failing line.
        planningFailure = std::current_exception();
        last = {};
    }
    send();
    pipeline.close();
    pipeline.drain(report);
    threads.join();

    // The planning ran ahead of the files: where the batch ended before its
    // last planned line, the engine goes back to the line it ended at, as
    // one job leaves it.
    if (std::exception_ptr failure = pipeline.failure()) {
        try {
            rewindTo(engine, pipeline.stoppedAt());
        } catch (...) {
            // The failure that ended the batch is the one to report.
        }
        std::rethrow_exception(failure);
    }
    if (cancelled) {
        rewindTo(engine, pipeline.stoppedAt());
        return BatchEnd::Cancelled;
    }
    if (planningFailure)
        std::rethrow_exception(planningFailure);
    if (missing) {
        engine.appendError(*missing);
        return BatchEnd::MissingSeparator;
    }
    // The engine ends with the last line's logo, as the lines one by one leave it.
    draw();
    return BatchEnd::Finished;
}

} // namespace

BatchEnd RunBatch(LogoEngine& engine, TextLineReader& lines, const QString& outputFolder,
                  const BatchOptions& options) {
    BatchFileLines source(lines, engine.LabelCount());
    return RunBatch(engine, source, outputFolder, options);
}

BatchEnd RunBatch(LogoEngine& engine, BatchSource& lines, const QString& outputFolder,
                  const BatchOptions& options) {
    if (options.jobs <= 1 || !threadedRenderingSupported())
        return runThreaded(engine, {}, lines, outputFolder, options);
    // Each job renders on an engine of its own with the same design open.
    EngineObserver quiet;
    std::vector<std::unique_ptr<LogoEngine>> workers;
    try {
        for (int i = 0; i < options.jobs; ++i) {
            workers.push_back(std::make_unique<LogoEngine>(quiet, engine.programFolder()));
            // Only PNG files keep alpha: a BMP batch does without its drawing.
            workers.back()->setAlphaWanted(engine.alphaWanted() &&
                                           options.format == LogoFormat::Png);
            workers.back()->OpenDesign(engine.design().DesignFolder, engine.designParent());
            forgetTextObjects(*workers.back());
        }
    } catch (const Error&) {
        // A design that does not open cleanly is rendered on this thread.
        return runThreaded(engine, {}, lines, outputFolder, options);
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
