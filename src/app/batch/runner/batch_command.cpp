#include "batch_command.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <optional>

#include "app/batch/batch_run.h"
#include "app/batch/batch_texts.h"
#include "app/batch/input_file_list.h"
#include "app/batch/name_list_file.h"
#include "app/batch/output_path.h"
#include "app/batch/recursive_listing.h"
#include "app/batch/run_plan.h"
#include "app/batch/run_resources.h"
#include "console_output.h"
#include "filterhost/filter_host.h"
#include "filterhost/module_folders.h"
#include "imagefiles/format_lists.h"
#include "install_layout.h"
#include "plan_printout.h"
#include "runner_options.h"
#include "workimage/trace.h"

namespace tinta {

namespace {

// The two lists as the dialog's sorted combo boxes hold them.
struct SortedFormats {
    std::vector<std::string> masks;
    std::vector<std::string> formats;
};

SortedFormats LoadSortedFormats() {
    FormatLists lists = QtFormatLists();
    const auto sorted = [](std::vector<std::string> texts) {
        std::sort(texts.begin(), texts.end(),
                  [](const auto& a, const auto& b) { return LessIgnoringCase(a, b); });
        return texts;
    };
    return {sorted(std::move(lists.inputMasks)), sorted(std::move(lists.outputFormats))};
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The output format list entry that requested names ("png", ".png", "*.PNG").
std::optional<std::string> FindFormat(const std::vector<std::string>& formats,
                                      const std::string& requested) {
    const std::string extension = FormatExtension(requested);
    for (const std::string& format : formats) {
        if (!extension.empty() && SameIgnoringCase(FormatExtension(format), extension)) {
            return format;
        }
    }
    return std::nullopt;
}

void ListFilters(const FilterHost& host, std::ostream& out) {
    for (size_t i = 0; i < host.Titles().size(); ++i) {
        out << host.Titles()[i] << '\t' << host.ModuleFileAt(static_cast<int>(i)).name << '\n';
    }
}

void ListFormats(const SortedFormats& formats, std::ostream& out) {
    out << "入力形式:";
    for (const std::string& mask : formats.masks) {
        out << ' ' << mask;
    }
    out << "\n出力形式:";
    for (const std::string& format : formats.formats) {
        out << ' ' << format;
    }
    out << '\n';
}

class TraceToStream {
  public:
    TraceToStream(bool active, std::ostream& stream) : active_(active) {
        if (active_) {
            previous_ = SetTraceSink([&stream](std::string_view line) { stream << line; });
        }
    }
    ~TraceToStream() {
        if (active_) {
            SetTraceSink(previous_);
        }
    }
    TraceToStream(const TraceToStream&) = delete;
    TraceToStream& operator=(const TraceToStream&) = delete;

  private:
    bool active_;
    TraceSink previous_;
};

// The entries of the run: the names of --files-from, the folder tree under
// --recursive, or the input-file list of the folder and mask.
InputFileList ListEntries(const RunnerOptions& options, const std::string& mask, std::istream& in) {
    InputFileList list;
    const NameSeparator separator =
        options.nulSeparated ? NameSeparator::kNul : NameSeparator::kNewline;
    if (options.filesFrom == "-") {
        list.names = ReadNameList(in, separator);
    } else if (options.filesFrom) {
        std::ifstream file(*options.filesFrom, std::ios::binary);
        if (!file) {
            list.error = "一覧「" + *options.filesFrom + "」を読み込めません";
        } else {
            list.names = ReadNameList(file, separator);
        }
    } else if (options.recursive) {
        list = ListInputTree(options.inputFolder, mask, options.outputFolder);
    } else {
        list = ListInputFiles(options.inputFolder, mask);
    }
    return list;
}

}  // namespace

int RunBatchCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                    bool terminal, const StopRequest* stop) {
    return RunBatchCommand(arguments, std::cin, out, err, terminal, stop);
}

int RunBatchCommand(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
                    std::ostream& err, bool terminal, const StopRequest* stop) {
    const ParsedArguments parsed = ParseRunnerArguments(arguments);
    if (!parsed.error.empty()) {
        err << parsed.error << '\n' << kRunnerUsage;
        return kExitUnusable;
    }
    const RunnerOptions& options = parsed.options;
    if (options.help) {
        out << kRunnerUsage;
        return kExitAllWritten;
    }
    if (options.version) {
        out << "tinta_batch " << kProgramVersion << '\n';
        return kExitAllWritten;
    }
    const TraceToStream trace(options.verbose, err);

    ConsoleMessages messages(err);
    FilterHost host(messages, ModuleSearchFolders());
    host.DiscoverModules();
    const SortedFormats formats = LoadSortedFormats();
    if (options.listFilters || options.listFormats) {
        if (options.listFilters) {
            ListFilters(host, out);
        }
        if (options.listFormats) {
            ListFormats(formats, out);
        }
        return kExitAllWritten;
    }

    if (options.filter) {
        const int index = host.FindFilter(*options.filter);
        if (index < 0) {
            err << "フィルター「" << *options.filter << "」が見つかりません\n";
            return kExitUnusable;
        }
        if (index != host.SelectedIndex() && !options.dryRun) {
            host.SelectFilter(index);
        }
    }
    // A dry run calls no module; it only checks that the one asked for is there.
    if (!options.dryRun && !host.Module().IsLoaded()) {
        err << "フィルターモジュールを読み込めませんでした(";
        for (size_t i = 0; i < host.SearchFolders().size(); ++i) {
            err << (i == 0 ? "" : ", ") << host.SearchFolders()[i];
        }
        err << ")\n";
        return kExitUnusable;
    }

    BatchSettings settings;
    settings.inputFolder = options.inputFolder;
    settings.outputFolder = options.outputFolder;
    settings.edging = options.edging;
    settings.loadLimits.maxPixels = options.maxPixels.value_or(kDefaultMaxPixels);
    const std::string mask =
        options.mask.value_or(formats.masks.empty() ? "*.ERI" : formats.masks[0]);
    const std::optional<std::string> format =
        options.format
            ? FindFormat(formats.formats, *options.format)
            : std::optional<std::string>(formats.formats.empty() ? "*.TGA" : formats.formats[0]);
    if (!format) {
        err << "出力形式「" << *options.format << "」は使えません\n";
        return kExitUnusable;
    }
    settings.formatText = *format;

    const InputFileList list = ListEntries(options, mask, in);
    if (!list.error.empty()) {
        err << list.error << '\n';
        return kExitUnusable;
    }
    const RunPlan plan = PlanRun(list.names, settings, options.existing);
    if (options.dryRun) {
        PrintPlan(plan, out);
        out << std::flush;
        if (!options.quiet) {
            err << PlanSummaryLine(plan) << '\n' << std::flush;
        }
        return PlanWritesEveryFile(plan) ? kExitAllWritten : kExitSomeFailed;
    }

    ConsoleProgress progress(err, options.quiet ? ConsoleProgress::Style::kSilent
                                  : terminal    ? ConsoleProgress::Style::kBar
                                                : ConsoleProgress::Style::kLines);
    RunOptions run;
    run.jobs = options.jobs.value_or(DefaultJobs());
    run.memoryBudget = options.memoryBytes.value_or(DefaultMemoryBudget());
    run.stop = stop != nullptr ? &stop->requested : nullptr;
    const BatchReport report = BatchRun(plan, settings, host, progress, {}, run);
    progress.Finish();
    if (!options.quiet || report.stopped) {
        err << (report.stopped ? kStoppedMessage : kDoneMessage) << '\n'
            << SummaryLine(report) << '\n';
    }
    for (const std::string& line : FailureLines(report)) {
        err << line << '\n';
    }
    err << std::flush;
    if (report.stopped) {
        const int signal = stop != nullptr ? stop->signal.load() : 0;
        return kExitStoppedBase + (signal > 0 ? signal : 2);
    }
    return report.failures.empty() ? kExitAllWritten : kExitSomeFailed;
}

}  // namespace tinta
