#include "editor/BatchProcessor.h"

#include "logo/LogoEngine.h"
#include "platform/Error.h"
#include "platform/FileWriting.h"
#include "platform/Paths.h"
#include "platform/TextLineReader.h"

#include <QDir>
#include <QFontDatabase>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

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

BatchEnd runInline(LogoEngine& engine, TextLineReader& lines, const QString& outputFolder,
                   const BatchOptions& options) {
    const qint64 total = lines.lineCount();
    const int inputs = engine.LabelCount();
    QByteArray file;
    qint64 lineNumber = 0;
    while (std::optional<QString> line = lines.next()) {
        ++lineNumber;
        const BatchLine parsed = parseBatchLine(*line, inputs);
        // The fields before a missing ";" are set all the same.
        engine.setLabelTexts(parsed.fields);
        if (!parsed.complete) {
            engine.appendError(missingSeparatorReport(lineNumber, parsed.missing));
            return BatchEnd::MissingSeparator;
        }
        encodeLogo(engine.logo(), options.format, file);
        writeFileReplacing(outputPath(outputFolder, parsed.outputName), file);
        if (options.progress && !options.progress(lineNumber, total))
            return BatchEnd::Cancelled;
    }
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
    QString path;
    Logo logo;
    // Another line in flight names the same file: write it in turn only.
    bool ordered = false;
};

// The lines in flight between the planning thread and the workers, and the
// turn of the next file to write: files are written strictly in line order.
class Pipeline {
  public:
    explicit Pipeline(size_t capacity) : capacity_(capacity) {}

    // False when the batch has stopped and the task is not wanted.
    bool push(Task task) {
        std::unique_lock lock(mutex_);
        spaceFreed_.wait(lock, [&] { return queue_.size() < capacity_ || stopped_; });
        if (stopped_)
            return false;
        queue_.push_back(std::move(task));
        taskAdded_.notify_one();
        return true;
    }
    void close() {
        std::lock_guard lock(mutex_);
        closed_ = true;
        taskAdded_.notify_all();
    }
    bool pop(Task& task) {
        std::unique_lock lock(mutex_);
        taskAdded_.wait(lock, [&] { return !queue_.empty() || closed_ || stopped_; });
        if (queue_.empty() || stopped_)
            return false;
        task = std::move(queue_.front());
        queue_.pop_front();
        spaceFreed_.notify_one();
        return true;
    }

    // Waits for line's turn; false when the batch stopped before it.
    bool awaitTurn(qint64 line) {
        std::unique_lock lock(mutex_);
        turn_.wait(lock, [&] { return nextLine_ == line || stopped_; });
        return !stopped_;
    }
    void passTurn() {
        std::lock_guard lock(mutex_);
        ++nextLine_;
        turn_.notify_all();
    }
    // Ends the batch: nothing after the line at hand is written.
    void stop(std::exception_ptr failure = nullptr) {
        std::lock_guard lock(mutex_);
        if (!stopped_)
            failure_ = failure;
        stopped_ = true;
        taskAdded_.notify_all();
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
    void setFirstLine(qint64 line) { nextLine_ = line; }

  private:
    std::mutex mutex_;
    std::condition_variable taskAdded_;
    std::condition_variable spaceFreed_;
    std::condition_variable turn_;
    std::deque<Task> queue_;
    size_t capacity_;
    bool closed_ = false;
    bool stopped_ = false;
    std::exception_ptr failure_;
    qint64 nextLine_ = 1;
};

// Files are written side by side, but take their places in line order: a
// new file is there at once and taken back if the batch stops before its
// line; a replacement waits beside the file it replaces until its turn.
void work(LogoEngine& engine, Pipeline& pipeline, const BatchOptions& options, qint64 total,
          bool& cancelled) {
    QByteArray file;
    Task task;
    while (pipeline.pop(task)) {
        std::optional<PendingFile> pending;
        try {
            const QByteArray* bytes = task.logo.bytes.get();
            if (task.logo.state) {
                engine.renderFrom(*task.logo.state);
                encodeLogo(engine.logo(), options.format, file);
                bytes = &file;
            }
            if (!task.ordered)
                pending = PendingFile::write(task.path, *bytes);
            if (!pipeline.awaitTurn(task.line)) {
                if (pending)
                    pending->discard();
                return;
            }
            if (pending)
                pending->commit();
            else
                writeFileReplacing(task.path, *bytes);
            if (options.progress && !options.progress(task.line, total)) {
                cancelled = true;
                pipeline.stop();
                return;
            }
            pipeline.passTurn();
        } catch (...) {
            // Reported only once every earlier line is written.
            const bool turn = pipeline.awaitTurn(task.line);
            if (pending && !turn)
                pending->discard();
            pipeline.stop(std::current_exception());
            return;
        }
    }
}

// The last names handed out, to tell which lines may touch the same file
// while both are in flight.
class RecentNames {
  public:
    explicit RecentNames(size_t size) : names_(size) {}
    // Whether name is among the recent ones; it becomes the newest.
    bool seen(const QString& name) {
        const QString clean = QDir::cleanPath(name);
        const bool found = std::find(names_.begin(), names_.end(), clean) != names_.end();
        names_[next_] = clean;
        next_ = (next_ + 1) % names_.size();
        return found;
    }

  private:
    std::vector<QString> names_;
    size_t next_ = 0;
};

BatchEnd runThreaded(LogoEngine& engine, std::vector<std::unique_ptr<LogoEngine>>& workers,
                     TextLineReader& lines, const QString& outputFolder,
                     const BatchOptions& options) {
    const qint64 total = lines.lineCount();
    const int inputs = engine.LabelCount();
    const size_t capacity = 4 * workers.size();
    Pipeline pipeline(capacity);
    // Lines further apart than this are never in flight together.
    RecentNames recent(capacity + 2 * workers.size() + 1);
    bool cancelled = false;
    std::vector<std::thread> threads;
    for (auto& worker : workers)
        threads.emplace_back(
            [&, w = worker.get()] { work(*w, pipeline, options, total, cancelled); });

    // Until the batch renders, its lines show the logo as it was.
    auto before = std::make_shared<QByteArray>();
    encodeLogo(engine.logo(), options.format, *before);
    Logo last{nullptr, before};
    std::optional<QString> missing;
    std::exception_ptr planningFailure;
    qint64 lineNumber = 0;
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
            if (std::optional<LogoEngine::Plan> plan = engine.planLabelTexts(parsed.fields)) {
                if (plan->rendered) {
                    auto bytes = std::make_shared<QByteArray>();
                    encodeLogo(engine.logo(), options.format, *bytes);
                    last = {nullptr, std::move(bytes)};
                } else {
                    last = {std::make_shared<const LogoEngine::RenderState>(std::move(plan->state)),
                            nullptr};
                }
            }
            QString path = outputPath(outputFolder, parsed.outputName);
            const bool ordered = recent.seen(path);
            if (!pipeline.push({lineNumber, std::move(path), last, ordered}))
                break;
        }
    } catch (...) {
        // A rendering failed on this thread: the lines before it are still written.
        planningFailure = std::current_exception();
        last.state.reset();
    }
    pipeline.close();
    for (std::thread& thread : threads)
        thread.join();

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
