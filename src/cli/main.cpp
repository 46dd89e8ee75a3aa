// zotmaker-cli: opens a design, renders and writes logos without a display.
#include "batch/BatchProcessor.h"
#include "batch/DataBatch.h"
#include "cli/BatchProgress.h"
#include "cli/TopLevel.h"
#include "designs/DesignFolders.h"
#include "designs/DesignInstaller.h"
#include "imaging/LogoFile.h"
#include "logo/HeadlessEditor.h"
#include "logo/LogoEngine.h"
#include "platform/DataFileReader.h"
#include "platform/Error.h"
#include "platform/FontTable.h"
#include "platform/Memory.h"
#include "platform/NativeFiles.h"
#include "platform/Paths.h"
#include "platform/TextLineReader.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

const char kUsage[] =
    "Usage: zotmaker-cli check DESIGN_DIR\n"
    "       zotmaker-cli render DESIGN_DIR [--text TEXT]... [--out FILE] [--format bmp|png]\n"
    "       zotmaker-cli batch DESIGN_DIR DATA OUT_DIR [--input lines|csv|tsv|jsonl]\n"
    "                          [--name PATTERN] [--ignore-unknown] [--jobs N]\n"
    "                          [--format bmp|png] [--shard K/N] [--skip-existing] [--progress]\n"
    "       zotmaker-cli install SOURCE [--replace]\n"
    "       zotmaker-cli fonts DESIGN_DIR\n"
    "\n"
    "Opens the design in DESIGN_DIR as the editor does and reports every line of\n"
    "the error list on standard error.\n"
    "  check    only opens the design.\n"
    "  render   sets label input 1 to the first --text, input 2 to the second and\n"
    "           so on, then writes the logo to FILE.\n"
    "  batch    makes one logo per line of the batch file DATA (or per row of a\n"
    "           data file, with --input) into OUT_DIR; DATA - reads standard\n"
    "           input as it comes.\n"
    "  install  installs the design in SOURCE (a .zip, .tar, .tar.gz, .tar.xz,\n"
    "           .tar.bz2 or .7z archive, or a design folder) into the user's\n"
    "           designs folder, prints where, then checks it as check does; its\n"
    "           messages do not change the exit status; it names on standard\n"
    "           error the fonts it lacks, as fonts does.\n"
    "  fonts    prints one line per TrueType line of the design: its caption, the\n"
    "           family asked for, the font file that draws it and where that\n"
    "           comes from (design, system or stand-in), separated by tabs.\n"
    "\n"
    "Options:\n"
    "  --text TEXT        text for the next label input (render)\n"
    "  --out FILE         where to write the logo (render)\n"
    "  --format bmp|png   file format of the logos written (default bmp)\n"
    "  --input FORMAT     how DATA is read (batch): lines (the default: batch\n"
    "                     lines, whatever the file's name), csv or tsv (a header\n"
    "                     row names the columns) or jsonl (one JSON object a line)\n"
    "  --name PATTERN     the output names of a data file's rows, from {caption},\n"
    "                     {#N} and {row} or {row:5} (batch); without it, from the\n"
    "                     column \"file\"\n"
    "  --ignore-unknown   pass over columns that fill no label input (batch)\n"
    "  --jobs N           render on N threads (batch; default: the cores, at\n"
    "                     most 4); the files are the same for any N\n"
    "  --shard K/N        write only the lines of part K of N (batch); every part\n"
    "                     reads the whole batch, and the N parts together write\n"
    "                     the files one run writes, byte for byte\n"
    "  --skip-existing    leave the file of a line alone when it existed before\n"
    "                     the batch (batch); a rerun completes a stopped batch\n"
    "  --progress         show lines done (of this part), rate and time left\n"
    "  --replace          put the design in place of one installed under its name\n"
    "                     (install)\n"
    "  --verbose     let Qt's own diagnostics through\n"
    "  --help        show this text\n"
    "\n"
    "Exit status: 0 when nothing was reported, 1 when the error list got a line\n"
    "or an error stopped the command, 2 for a usage error. install: 0 when\n"
    "installed, 1 when refused (nothing is installed), 2 for a usage error.\n"
    "fonts: 0 when every line is drawn in the family it asks for, 1 when one is\n"
    "drawn by a stand-in or the design does not load, 2 for a usage error.\n";

bool gVerbose = false;

constexpr int kMaxJobs = 64;

void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (gVerbose)
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

void printTo(std::FILE* stream, const QString& line) {
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

void printLine(const QString& line) {
    printTo(stderr, line);
}

int usageError(const QString& why) {
    if (!why.isEmpty())
        printLine(QStringLiteral("zotmaker-cli: ") + why);
    std::fputs(kUsage, stderr);
    return 2;
}

// The folder above DESIGN_DIR stands for the program folder.
struct DesignLocation {
    QString programFolder;
    QString folderName;
};

DesignLocation locate(const QString& designDir) {
    const QFileInfo info(QDir::cleanPath(QDir::current().absoluteFilePath(designDir)));
    return {info.absolutePath(), info.fileName()};
}

// Which font draws each TrueType line of an open design.
struct LineFont {
    QString caption;
    QString family; // as the script names it
    QString file;
    QString from; // design, system or stand-in
};

QList<LineFont> lineFonts(const zot::Design& design) {
    QList<LineFont> lines;
    for (const auto& font : design.TtfFonts) {
        LineFont line{font->LabelCaption, font->Name, QString(), QStringLiteral("stand-in")};
        if (const zot::DesignFace* face =
                design.mFontTable.faceFor(font->Name, font->Bold, font->Italic)) {
            line.file = face->file;
            line.from = QStringLiteral("design");
        } else if (const auto match = zot::matchSystemFont(font->Name, font->Bold, font->Italic)) {
            line.file = match->file;
            for (const QString& family : match->families)
                if (zot::familyKey(family) == zot::familyKey(font->Name))
                    line.from = QStringLiteral("system");
        }
        lines.append(line);
    }
    return lines;
}

QString fontLineText(const LineFont& line) {
    return line.caption + u'\t' + line.family + u'\t' + line.file + u'\t' + line.from;
}

void printOut(const QString& line) {
    printTo(stdout, line);
}

// Installs SOURCE, then opens it as check does. The design's own messages
// are the author's to mend: the design is installed all the same.
int install(const QString& source, bool replace) {
    zot::InstallOptions options;
    options.replace = replace;
    options.sampleNames = zot::sampleDesignNames(zot::programFolder());
    const zot::InstallResult result = zot::installDesign(source, zot::userDesignsFolder(), options);
    if (!result.installed) {
        printLine(QStringLiteral("Zotmaker: ") + zot::errorBoxText(result.refusal));
        return 1;
    }
    printOut(result.folder);

    const DesignLocation where = locate(result.folder);
    zot::HeadlessEditor editor;
    editor.setErrorSink(printLine);
    zot::LogoEngine engine(editor, where.programFolder);
    try {
        engine.OpenDesign(where.folderName);
    } catch (const zot::Error& error) {
        printLine(QStringLiteral("Zotmaker: ") + zot::errorBoxText(error.message()));
    }
    bool missing = false;
    for (const LineFont& line : lineFonts(engine.design())) {
        if (line.from == u"stand-in") {
            printLine(fontLineText(line));
            missing = true;
        }
    }
    if (missing)
        printLine(QStringLiteral("The design will look different until the fonts above are "
                                 "installed on this machine."));
    return 0;
}

int run(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption textOption(QStringLiteral("text"), QString(), QStringLiteral("TEXT"));
    const QCommandLineOption outOption(QStringLiteral("out"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption progressOption(QStringLiteral("progress"));
    const QCommandLineOption jobsOption(QStringLiteral("jobs"), QString(), QStringLiteral("N"));
    const QCommandLineOption formatOption(QStringLiteral("format"), QString(),
                                          QStringLiteral("FORMAT"));
    const QCommandLineOption shardOption(QStringLiteral("shard"), QString(), QStringLiteral("K/N"));
    const QCommandLineOption skipOption(QStringLiteral("skip-existing"));
    const QCommandLineOption inputOption(QStringLiteral("input"), QString(),
                                         QStringLiteral("FORMAT"));
    const QCommandLineOption nameOption(QStringLiteral("name"), QString(),
                                        QStringLiteral("PATTERN"));
    const QCommandLineOption ignoreOption(QStringLiteral("ignore-unknown"));
    const QCommandLineOption replaceOption(QStringLiteral("replace"));
    const QCommandLineOption verboseOption(QStringLiteral("verbose"));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("help"), QStringLiteral("h")});
    parser.addOptions({textOption, outOption, progressOption, jobsOption, formatOption, shardOption,
                       skipOption, inputOption, nameOption, ignoreOption, replaceOption,
                       verboseOption, helpOption});
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(helpOption)) {
        std::fputs(kUsage, stdout);
        return 0;
    }

    const QStringList args = parser.positionalArguments();
    if (args.isEmpty())
        return usageError(QStringLiteral("a command is required"));
    const QString command = args[0];
    const qsizetype wanted = command == u"check"     ? 2
                             : command == u"render"  ? 2
                             : command == u"batch"   ? 4
                             : command == u"install" ? 2
                             : command == u"fonts"   ? 2
                                                     : -1;
    if (wanted < 0)
        return usageError(QStringLiteral("unknown command: ") + command);
    if (args.size() != wanted)
        return usageError(QStringLiteral("wrong number of arguments for ") + command);
    if (command != u"render" && (parser.isSet(textOption) || parser.isSet(outOption)))
        return usageError(QStringLiteral("--text and --out go with render"));
    if (command != u"batch" && parser.isSet(progressOption))
        return usageError(QStringLiteral("--progress goes with batch"));
    if (command != u"batch" && parser.isSet(jobsOption))
        return usageError(QStringLiteral("--jobs goes with batch"));
    if (command != u"batch" && (parser.isSet(shardOption) || parser.isSet(skipOption)))
        return usageError(QStringLiteral("--shard and --skip-existing go with batch"));
    if (command != u"batch" &&
        (parser.isSet(inputOption) || parser.isSet(nameOption) || parser.isSet(ignoreOption)))
        return usageError(QStringLiteral("--input, --name and --ignore-unknown go with batch"));
    if ((command == u"check" || command == u"install" || command == u"fonts") &&
        parser.isSet(formatOption))
        return usageError(QStringLiteral("--format goes with render and batch"));
    if (command != u"install" && parser.isSet(replaceOption))
        return usageError(QStringLiteral("--replace goes with install"));
    if (command == u"install")
        return install(args[1], parser.isSet(replaceOption));
    zot::LogoFormat format = zot::LogoFormat::Bmp;
    if (parser.isSet(formatOption)) {
        const auto named = zot::logoFormatFromName(parser.value(formatOption));
        if (!named)
            return usageError(QStringLiteral("--format takes bmp or png"));
        format = *named;
    }
    int jobs = zot::defaultBatchJobs();
    if (parser.isSet(jobsOption)) {
        bool ok = false;
        jobs = parser.value(jobsOption).toInt(&ok);
        if (!ok || jobs < 1 || jobs > kMaxJobs)
            return usageError(QStringLiteral("--jobs takes a number from 1 to %1").arg(kMaxJobs));
    }
    std::optional<zot::DataFormat> dataFormat;
    if (parser.isSet(inputOption)) {
        const QString input = parser.value(inputOption);
        if (input == u"csv")
            dataFormat = zot::DataFormat::Csv;
        else if (input == u"tsv")
            dataFormat = zot::DataFormat::Tsv;
        else if (input == u"jsonl")
            dataFormat = zot::DataFormat::JsonLines;
        else if (input != u"lines")
            return usageError(QStringLiteral("--input takes lines, csv, tsv or jsonl"));
    }
    if (!dataFormat && (parser.isSet(nameOption) || parser.isSet(ignoreOption)))
        return usageError(QStringLiteral("--name and --ignore-unknown go with --input csv, tsv "
                                         "or jsonl"));
    zot::BatchShard shard;
    if (parser.isSet(shardOption)) {
        const auto given = zot::parseBatchShard(parser.value(shardOption));
        if (!given)
            return usageError(QStringLiteral("--shard takes K/N, whole numbers with 1 <= K <= N"));
        shard = *given;
    }

    const DesignLocation where = locate(args[1]);
    bool reported = false;
    zot::HeadlessEditor editor;
    editor.setErrorSink([&reported](const QString& line) {
        reported = true;
        printLine(line);
    });
    zot::LogoEngine engine(editor, where.programFolder);
    // A logo with alpha only where the files keep it.
    engine.setAlphaWanted(format == zot::LogoFormat::Png);

    try {
        engine.OpenDesign(where.folderName);
        if (command == u"render") {
            const QStringList texts = parser.values(textOption);
            if (texts.size() > engine.LabelCount())
                return usageError(
                    QStringLiteral("the design has %1 label input(s), %2 --text given")
                        .arg(engine.LabelCount())
                        .arg(texts.size()));
            for (qsizetype i = 0; i < texts.size(); ++i)
                engine.setLabelText(int(i + 1), texts[i]);
            if (parser.isSet(outOption))
                zot::writeLogoFile(engine.logo(), engine.alphaLogo(), parser.value(outOption),
                                   format);
        } else if (command == u"batch") {
            zot::BatchOptions options;
            options.jobs = jobs;
            options.format = format;
            options.shard = shard;
            options.skipExisting = parser.isSet(skipOption);
            std::optional<BatchProgress> shown;
            if (parser.isSet(progressOption)) {
                shown.emplace();
                options.progress = [&shown](qint64 done, qint64 total) {
                    shown->update(done, total);
                    return true;
                };
            }
            const QString outDir = QDir::current().absoluteFilePath(args[3]);
            const bool standardInput = args[2] == u"-";
            const QString dataPath = QDir::current().absoluteFilePath(args[2]);
            if (dataFormat) {
                std::optional<zot::DataFileReader> reader;
                if (standardInput)
                    reader.emplace(zot::DataFileReader::StandardInput{}, *dataFormat);
                else
                    reader.emplace(dataPath, *dataFormat);
                zot::DataBatchOptions data;
                data.ignoreUnknown = parser.isSet(ignoreOption);
                // The names come from the column "file" or from --name: one of them.
                // (For JSON Lines, the first row's keys tell; each row is checked.)
                if (const auto& columns = reader->columns()) {
                    const bool hasFile = zot::hasNameColumn(*columns);
                    if (hasFile && parser.isSet(nameOption))
                        return usageError(QStringLiteral(
                            "the names come from the column \"file\" or from --name, not both"));
                    if (!hasFile && !parser.isSet(nameOption))
                        return usageError(QStringLiteral(
                            "the data has no column \"file\": give the names with --name"));
                }
                if (parser.isSet(nameOption)) {
                    QStringList captions;
                    for (int i = 1; i <= engine.LabelCount(); ++i)
                        captions.append(engine.labelCaption(i));
                    auto pattern = zot::NamePattern::parse(parser.value(nameOption), captions);
                    if (const QString* why = std::get_if<QString>(&pattern))
                        return usageError(*why);
                    data.name = std::get<zot::NamePattern>(std::move(pattern));
                }
                zot::DataBatch rows(*reader, engine, std::move(data));
                zot::RunBatch(engine, rows, outDir, options);
            } else {
                std::optional<zot::TextLineReader> lines;
                if (standardInput)
                    lines.emplace(zot::TextLineReader::StandardInput{});
                else
                    lines.emplace(dataPath);
                zot::RunBatch(engine, *lines, outDir, options);
            }
            if (shown)
                shown->finish();
        }
    } catch (const zot::Error& error) {
        printLine(QStringLiteral("Zotmaker: ") + zot::errorBoxText(error.message()));
        return 1;
    }
    if (command == u"fonts") {
        // The design's own messages are shown as check shows them; only the
        // fonts decide the status.
        bool standIn = false;
        for (const LineFont& line : lineFonts(engine.design())) {
            printOut(fontLineText(line));
            standIn = standIn || line.from == u"stand-in";
        }
        return standIn ? 1 : 0;
    }
    return reported ? 1 : 0;
}

} // namespace

int main(int argc, char* argv[]) {
    zot::keepPictureMemory();
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--verbose") == 0)
            gVerbose = true;
    }
    qInstallMessageHandler(quietMessages);
    // Headless whatever the environment says.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Zotmaker"));
    // Qt reads the arguments as UTF-8 and loses what is not; a folder made on
    // Windows keeps its name by its bytes. (Qt's own options are gone from argv.)
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(zot::decodeFileName(QByteArray(argv[i])));
    return zot::runGuarded([&arguments] { return run(arguments); }, printLine);
}
