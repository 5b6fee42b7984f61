#include "eri/load_error.h"

namespace eri {

const char* loadErrorText(LoadError error) {
    switch (error) {
        case LoadError::none:
            return "エラーなし";
        case LoadError::cannotOpen:
            return "ファイルを開けませんでした";
        case LoadError::notEri:
            return "ERI ファイルではありません";
        case LoadError::unsupportedTransformation:
            return "対応していない変換方式です";
        case LoadError::unsupportedArchitecture:
            return "対応していない符号化方式です";
        case LoadError::unsupportedFormat:
            return "対応していない画像形式またはビット深度です";
        case LoadError::damagedRecords:
            return "レコード構造が壊れています";
        case LoadError::dataEndedEarly:
            return "データが途中で終わっています";
        case LoadError::damagedCodes:
            return "符号データが壊れています";
        case LoadError::tooLarge:
            return "画像が大きすぎます";
        case LoadError::outOfMemory:
            return "メモリが足りません";
    }
    return "読み込めませんでした";
}

}  // namespace eri
