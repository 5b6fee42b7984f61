#include "app/dialog/existing_outputs_question.h"

namespace tinta {

QString ExistingOutputsQuestion(int count) {
    return QStringLiteral("出力先に同じ名前のファイルが %1 件あります。どうしますか?").arg(count);
}

std::optional<ExistingOutputs> ChooseExistingOutputs(const DialogServices& services, QWidget* owner,
                                                     const BatchJob& job) {
    const int existing = services.batch.CountExistingOutputs(job);
    if (existing == 0) {
        return ExistingOutputs::kReplace;
    }
    return services.user.AskAboutExistingOutputs(owner, existing);
}

}  // namespace tinta
