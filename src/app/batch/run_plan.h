// What a run will do with every entry, decided before the first file is
// loaded: the input and output path, and whether the output is new,
// replaces a file, is skipped, goes under another name, clashes with an
// earlier entry's output or cannot be written at all. A dry run prints the
// plan; a real run carries it out, so the two always agree.
#pragma once

#include <string>
#include <vector>

namespace tinta {

struct BatchSettings;

// What a run does with an output file that already exists.
enum class ExistingPolicy {
    kReplace,  // write over it
    kSkip,     // keep it; the entry counts as skipped
    kRename,   // write "name (2).EXT", "name (3).EXT", ... whichever is free
};

enum class PlannedOutcome {
    kNew,               // the output does not exist yet
    kReplacesExisting,  // the output replaces a file of that name
    kReplacesInput,     // the output replaces the entry's own input file
    kRenamed,           // the output goes under the first free "name (n).EXT"
    kSkipped,           // the output exists and is kept
    kClash,             // an earlier entry writes the same output; nothing written
    kFolder,            // a folder entry, passed over
    kFails,             // cannot be written (missing input, no output folder, ...)
};

struct PlannedEntry {
    std::string name;        // the list entry as shown: "photo.png", "sub/photo.png"
    std::string inputPath;   // input folder + name, or the name when it is absolute
    std::string outputPath;  // the name the output will get (the renamed one under rename)
    PlannedOutcome outcome = PlannedOutcome::kNew;
    int nameNumber = 1;       // n of "name (n).EXT" under rename; 1: the plain name
    std::string baseName;     // the plain output path, before any renaming
    std::string reason;       // why nothing is written (clash, failure); empty otherwise
    std::string clashesWith;  // the earlier entry's name for kClash
};

struct RunPlan {
    ExistingPolicy existing = ExistingPolicy::kReplace;
    std::string outputFolder;  // outputs' folders below it are made as needed
    std::vector<PlannedEntry> entries;
};

// Whether the run loads, filters and writes the entry.
bool WillWrite(PlannedOutcome outcome);

// Plans names (list entries, "[name]" folder entries, relative paths with
// folders, absolute paths) against the folders and format of settings. It
// reads the file system (which inputs and outputs exist) and writes nothing.
RunPlan PlanRun(const std::vector<std::string>& names, const BatchSettings& settings,
                ExistingPolicy existing);

// "name (n).EXT" in the folder of path ("a/photo.TGA", 3 -> "a/photo (3).TGA");
// n = 1 gives path itself.
std::string NumberedPath(const std::string& path, int n);

// The number of entries whose output name is already a file on disk (own
// inputs included): the count the dialog asks about before a run.
int CountExistingOutputs(const RunPlan& plan);

// The reason of a clash: "「earlier」と出力先が同じため書き込みません".
std::string ClashReason(const std::string& earlierName);

}  // namespace tinta
