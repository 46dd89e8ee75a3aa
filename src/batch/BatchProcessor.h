#pragma once

#include "batch/BatchShard.h"
#include "imaging/LogoFile.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace zot {

class LogoEngine;
class TextLineReader;

// One line of a batch file for a design with a given number of label inputs.
struct BatchLine {
    QStringList fields; // the texts for inputs 1, 2, ... (all of them when complete)
    bool complete = false;
    QString outputName; // when complete: up to the next ";" or the end
    QString missing;    // when not: what was left of the line at the missing ";"
    // When not complete, from a source: the error list's line that ends the batch.
    QString report;
};
BatchLine parseBatchLine(const QString& line, int inputs);
QString missingSeparatorReport(qint64 lineNumber, const QString& rest);

// Where a batch's lines come from: a batch file, or the rows of a data file.
class BatchSource {
  public:
    virtual ~BatchSource() = default;
    // The number of lines, or -1 when it is not known ahead.
    virtual qint64 lineCount() const = 0;
    // The next line, or nothing at the end. A line that is not complete ends
    // the batch: its fields still go into the inputs, and its report into
    // the error list.
    virtual std::optional<BatchLine> next() = 0;
};

// The lines of a batch file, cut at ";" for a design with a given number of
// label inputs.
class BatchFileLines : public BatchSource {
  public:
    BatchFileLines(TextLineReader& lines, int inputs) : lines_(lines), inputs_(inputs) {}
    qint64 lineCount() const override;
    std::optional<BatchLine> next() override;

  private:
    TextLineReader& lines_;
    int inputs_;
    qint64 lineNumber_ = 0;
};

struct BatchOptions {
    // Threads that render; the files are the same whatever the number.
    int jobs = 1;
    LogoFormat format = LogoFormat::Bmp;
    // Write only the lines of this part; every line is still read, and
    // planned where what it leaves matters to later lines, so the files are
    // those one run of the whole batch writes, and every part stops at the
    // same line for the same reason (a failed write only in its own part).
    BatchShard shard;
    // Leave a line's file alone when it existed before this batch (a file
    // written earlier in this batch does not count): a rerun after a stop
    // completes the batch.
    bool skipExisting = false;
    // Called on the thread that runs the batch as lines of this part are done
    // (their files written or left alone), with the lines done and the total
    // (-1 when it is not known ahead, as for a pipe or a part); a call may
    // count several lines at once. Returning false ends the batch, keeping
    // the files written (lines may have been finished while it was being
    // told): the engine then shows the last of them.
    std::function<bool(qint64 done, qint64 total)> progress;
};

// MissingSeparator: a line that is not complete ended the batch.
enum class BatchEnd { Finished, MissingSeparator, Cancelled };

// Makes one logo per line of a batch: the line's fields go into the label
// inputs in order, the next part up to ";" names the output file in
// outputFolder. A line short of fields stops the batch with a message in the
// error list. Throws zot::Error when an output file cannot be created or a
// rendering fails (the batch ends there, the files before it written).
// Lines are made in file order and leave the engine as setting their fields
// one by one would. The files are written on other threads, but put in place
// in line order; with several jobs the renderings too run there, on engines
// of their own with the same design open.
BatchEnd RunBatch(LogoEngine& engine, TextLineReader& lines, const QString& outputFolder,
                  const BatchOptions& options = {});
// The same for lines from any source.
BatchEnd RunBatch(LogoEngine& engine, BatchSource& lines, const QString& outputFolder,
                  const BatchOptions& options = {});

// The same for a batch file; throws Error::cannotOpenFile when it cannot be
// read. False when the batch stopped at a line with a missing ";".
bool RunBatch(LogoEngine& engine, const QString& batchFile, const QString& outputFolder,
              const BatchOptions& options = {});

// Whether text can be drawn on threads other than the main one here.
bool threadedRenderingSupported();

// The jobs a batch runs on unless told otherwise: the cores, at most 4. The
// files are the same for any number, more jobs than cores gain nothing, and
// each job holds the design's pictures once.
int defaultBatchJobs();

} // namespace zot
