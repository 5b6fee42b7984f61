#include "planned_save.h"

#include "batch_texts.h"
#include "output_claim.h"
#include "output_folder.h"

namespace tinta {

PlannedSave SavePlanned(const RunPlan& plan, const PlannedEntry& entry,
                        const std::function<SaveResult(const std::string& path)>& save) {
    PlannedSave result;
    result.path = entry.outputPath;
    if (const std::string problem = MakeOutputFolder(plan.outputFolder, entry.outputPath);
        !problem.empty()) {
        result.saved = {false, problem};
        return result;
    }
    if (plan.existing == ExistingPolicy::kReplace) {
        result.saved = save(entry.outputPath);
        return result;
    }
    const bool rename = plan.existing == ExistingPolicy::kRename;
    ClaimResult claimed = ClaimOutputName(entry.baseName, entry.nameNumber, rename);
    result.path = claimed.path;
    if (claimed.status == ClaimStatus::kTaken) {
        result.skipped = true;
        return result;
    }
    if (claimed.status == ClaimStatus::kFailed) {
        result.saved = {false, claimed.reason};
        return result;
    }
    result.saved = save(claimed.path);
    if (result.saved) {
        claimed.claim.Keep();
    }
    return result;
}

FileResult PlannedSaveStep(const RunPlan& plan, const PlannedEntry& entry, const WorkImage& image,
                           DibBuffer& buffer, const ImageFileSteps& steps, bool& skipped) {
    const PlannedSave save = SavePlanned(
        plan, entry, [&](const std::string& path) { return steps.save(image, path, buffer); });
    skipped = save.skipped;
    if (save.skipped || save.saved) {
        return {};
    }
    return {FileStatus::kNotWritten, NotWrittenReason(save.saved.reason)};
}

}  // namespace tinta
