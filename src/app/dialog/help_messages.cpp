#include "app/dialog/help_messages.h"

#include <cerrno>

namespace tinta {

std::optional<QString> HelpErrorMessage(int error) {
    switch (error) {
        case ENOENT:
            return QStringLiteral("ファイル名またはパス名が見つかリません。");
        case E2BIG:
            return QStringLiteral("引数リストと環境設定に必要な領域が 32KB を超えています。");
        case ENOEXEC:
            return QStringLiteral(
                "指定したファイルが実行可能ファイルでない、または実行可能ファイルの書式が無効です"
                "。");
        case ENOMEM:
            return QStringLiteral("メモリ不足のため、子プロセスを実行できません。");
        case EACCES:
            return QStringLiteral(
                "指定されたファイルにロック違反、または共有違反が発生しています。");
        case EMFILE:
            return QStringLiteral("開いているファイルが多すぎます。");
        default:
            return std::nullopt;
    }
}

}  // namespace tinta
