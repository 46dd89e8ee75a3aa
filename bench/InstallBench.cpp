// Installing a shared design: a zip of 1,000 and of 10,000 entries into a
// fresh designs folder, against libarchive's own extraction of the same
// archive (the floor: no checks, no hidden folder, no rename); and a gzip
// bomb stopped at the 512 MiB limit, with the process's peak memory.
#include "designs/DesignInstaller.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <archive.h>
#include <archive_entry.h>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QTemporaryDir* gDir = nullptr;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// files entries of 4 KiB each (a character folder's pictures), and a script.
QString makeZip(int files) {
    const QString path = gDir->path() + QStringLiteral("/design-%1.zip").arg(files);
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_open_filename(a, QFile::encodeName(path).constData());
    QByteArray data(4096, '\0');
    for (int i = 0; i <= files; ++i) {
        const QByteArray name = i == 0 ? QByteArray("Shared/script.zot")
                                       : "Shared/chars/c" + QByteArray::number(i) + ".bmp";
        for (qsizetype k = 0; k < data.size(); ++k)
            data[k] = char((k * 31 + i * 7) & 0xFF);
        archive_entry* e = archive_entry_new();
        archive_entry_copy_pathname(e, name.constData());
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_perm(e, 0644);
        archive_entry_set_size(e, data.size());
        archive_write_header(a, e);
        archive_write_data(a, data.constData(), size_t(data.size()));
        archive_entry_free(e);
    }
    archive_write_close(a);
    archive_write_free(a);
    return path;
}

// 1 GiB of zeros in a few MiB of gzip.
QString makeBomb() {
    const QString path = gDir->path() + QStringLiteral("/bomb.tar.gz");
    archive* a = archive_write_new();
    archive_write_set_format_pax_restricted(a);
    archive_write_add_filter_gzip(a);
    archive_write_set_options(a, "gzip:compression-level=1");
    archive_write_open_filename(a, QFile::encodeName(path).constData());
    const qint64 size = qint64(1) << 30;
    archive_entry* e = archive_entry_new();
    archive_entry_copy_pathname(e, "Bomb/zeros.bmp");
    archive_entry_set_filetype(e, AE_IFREG);
    archive_entry_set_size(e, size);
    archive_write_header(a, e);
    const QByteArray zeros(1 << 20, '\0');
    for (qint64 done = 0; done < size; done += zeros.size())
        archive_write_data(a, zeros.constData(), size_t(zeros.size()));
    archive_entry_free(e);
    archive_write_close(a);
    archive_write_free(a);
    return path;
}

// libarchive's own extraction, refusing what it can refuse itself.
// The files it wrote.
int extractWithLibarchive(const QString& archivePath, const QString& into) {
    int written = 0;
    archive* a = archive_read_new();
    archive_read_support_format_zip(a);
    archive_read_support_filter_gzip(a);
    archive_read_support_format_tar(a);
    archive_read_open_filename(a, QFile::encodeName(archivePath).constData(), 65536);
    const QByteArray folder = QFile::encodeName(into);
    archive_entry* e = nullptr;
    while (archive_read_next_header(a, &e) == ARCHIVE_OK) {
        const QByteArray target = folder + '/' + archive_entry_pathname(e);
        archive_entry_copy_pathname(e, target.constData());
        // The folder is put before each name here, so absolute names pass.
        written += archive_read_extract(a, e,
                                        ARCHIVE_EXTRACT_SECURE_NODOTDOT |
                                            ARCHIVE_EXTRACT_SECURE_SYMLINKS) == ARCHIVE_OK;
    }
    archive_read_free(a);
    return written;
}

// The bomb stops at the limit: 512 MiB written, then everything removed.
void BM_InstallBomb(benchmark::State& state) {
    const QString bomb = makeBomb();
    for (auto _ : state) {
        QTemporaryDir designs(gDir->path() + QStringLiteral("/designs-XXXXXX"));
        const zot::InstallResult r = zot::installDesign(bomb, designs.path());
        if (r.refusal != QStringLiteral("The design unpacks to more than 512 MiB")) {
            state.SkipWithError("the bomb was not stopped by the limit");
            break;
        }
    }
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_mb"] = double(usage.ru_maxrss) / 1024;
    state.counters["archive_mb"] = double(QFile(bomb).size()) / (1 << 20);
}
// Registered first, so that the process's peak memory is the bomb's alone.
BENCHMARK(BM_InstallBomb)->Unit(benchmark::kMillisecond)->Iterations(3);

// Each iteration installs into a new, empty designs folder; the first
// iteration (cold: nothing of the archive in memory yet) is kept apart.
void BM_Install(benchmark::State& state) {
    const QString zip = makeZip(int(state.range(0)));
    double installSeconds = 0, floorSeconds = 0, first = -1;
    for (auto _ : state) {
        QTemporaryDir designs(gDir->path() + QStringLiteral("/designs-XXXXXX"));
        const auto start = Clock::now();
        const zot::InstallResult r = zot::installDesign(zip, designs.path());
        const double took = secondsSince(start);
        state.SetIterationTime(took);
        if (!r.installed) {
            state.SkipWithError(qPrintable(r.refusal));
            break;
        }
        if (first < 0)
            first = took;
        installSeconds += took;

        QTemporaryDir floor(gDir->path() + QStringLiteral("/floor-XXXXXX"));
        const auto floorStart = Clock::now();
        const int written = extractWithLibarchive(zip, floor.path());
        floorSeconds += secondsSince(floorStart);
        if (written != state.range(0) + 1) {
            state.SkipWithError("libarchive's extraction failed");
            break;
        }
    }
    state.counters["first_ms"] = first * 1000;
    state.counters["vs_libarchive_extract"] = floorSeconds > 0 ? installSeconds / floorSeconds : 0;
}
BENCHMARK(BM_Install)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir dir;
    gDir = &dir;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
