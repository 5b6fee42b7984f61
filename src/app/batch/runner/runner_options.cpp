#include "runner_options.h"

#include <charconv>
#include <string_view>

#include "imagefiles/load_limits.h"

namespace tinta {

const char* const kRunnerUsage =
    "使い方: tinta_batch [--input DIR] [--mask MASK] [--filter TITLE] [--edging]\n"
    "                   [--output DIR] [--format FMT] [--list-filters] [--list-formats]\n"
    "                   [--max-pixels N] [--jobs N] [--memory SIZE]\n"
    "                   [--existing replace|skip|rename] [--dry-run] [--recursive]\n"
    "                   [--files-from FILE [--null]] [--verbose] [--quiet] [--version]\n"
    "  --input DIR      入力フォルダー (既定 ./)\n"
    "  --mask MASK      入力形式 (例 *.PNG; 既定は一覧の先頭)\n"
    "  --filter TITLE   フィルターの名前またはファイル名 (既定は一覧の先頭)\n"
    "  --edging         透明縁取りを行う\n"
    "  --output DIR     出力フォルダー (既定 ./)\n"
    "  --format FMT     出力形式 (例 TGA, *.PNG; 既定は一覧の先頭)\n"
    "  --max-pixels N   読み込む画像の画素数の上限 (既定 268435456、最大 1073741824)\n"
    "  --jobs N         同時に読み書きするファイルの数 (既定は使えるCPUの数)\n"
    "  --memory SIZE    読み込んだ画像が使うメモリの上限 (例 512M, 2G; 既定は物理メモリの1/4)\n"
    "  --existing POLICY 出力先に同じ名前のファイルがあるとき: replace 上書き (既定),\n"
    "                   skip 残してスキップ, rename 「名前 (2).拡張子」などの空いた名前で保存\n"
    "  --dry-run        何も読み書きせず、各ファイルの予定 (入力, 出力, 結果) を表示する\n"
    "  --recursive      下位フォルダーもたどり、同じ相対フォルダーに出力する\n"
    "  --files-from FILE ファイル名の一覧 (1 行に 1 つ; - は標準入力) を入力フォルダーの\n"
    "                   一覧と入力形式の代わりに使う\n"
    "  --null           一覧の名前を改行ではなく NUL 文字で区切る\n"
    "  --list-filters   モジュールフォルダーのフィルターを表示する\n"
    "  --list-formats   入力形式と出力形式を表示する\n"
    "  --verbose        診断メッセージを表示する\n"
    "  --quiet          失敗だけを表示する\n"
    "  --version        版を表示する\n"
    "モジュールフォルダー: ./tinta/, インストール先の lib/tinta_dn_quor/tinta/,\n"
    "  $XDG_DATA_HOME/tinta_dn_quor/tinta/ (既定 ~/.local/share/tinta_dn_quor/tinta/)\n"
    "終了コード: 0 すべて書き込み (--dry-run: すべて書き込む予定), 1 失敗あり,\n"
    "            2 引数の誤りまたはフィルターなし, 130 SIGINT で中止, 143 SIGTERM で中止\n";

namespace {

std::optional<uint64_t> ParseCount(std::string_view text) {
    uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// "1048576", "512K", "512M", "2G" (powers of 1024); at least 1 byte.
std::optional<uint64_t> ParseSize(std::string text) {
    uint64_t unit = 1;
    if (!text.empty()) {
        switch (text.back()) {
            case 'k':
            case 'K':
                unit = uint64_t{1} << 10;
                break;
            case 'm':
            case 'M':
                unit = uint64_t{1} << 20;
                break;
            case 'g':
            case 'G':
                unit = uint64_t{1} << 30;
                break;
            default:
                break;
        }
        if (unit > 1) {
            text.pop_back();
        }
    }
    const std::optional<uint64_t> count = ParseCount(text);
    if (!count || *count == 0 || *count > UINT64_MAX / unit) {
        return std::nullopt;
    }
    return *count * unit;
}

}  // namespace

ParsedArguments ParseRunnerArguments(const std::vector<std::string>& arguments) {
    ParsedArguments parsed;
    RunnerOptions& options = parsed.options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> value;
        if (const size_t equals = name.find('='); name.starts_with("--") && equals != name.npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        const auto flag = [&](bool& target) {
            target = true;
            return !value.has_value();
        };
        const auto text = [&](auto& target) {
            if (!value && i + 1 < arguments.size()) {
                value = arguments[++i];
            }
            if (value) {
                target = *value;
            }
            return value.has_value();
        };
        bool understood = false;
        if (name == "--input") {
            understood = text(options.inputFolder);
        } else if (name == "--output") {
            understood = text(options.outputFolder);
        } else if (name == "--mask") {
            understood = text(options.mask);
        } else if (name == "--filter") {
            understood = text(options.filter);
        } else if (name == "--format") {
            understood = text(options.format);
        } else if (name == "--max-pixels") {
            std::string digits;
            understood = text(digits);
            if (understood) {
                options.maxPixels = ParseMaxPixels(digits);
                if (!options.maxPixels) {
                    parsed.error = "--max-pixels には 1 から " + std::to_string(kHardMaxPixels) +
                                   " までの画素数を指定してください: " + digits;
                    return parsed;
                }
            }
        } else if (name == "--jobs") {
            std::string jobs;
            const std::optional<uint64_t> count = text(jobs) ? ParseCount(jobs) : std::nullopt;
            understood = count && *count >= 1 && *count <= 256;
            if (understood) {
                options.jobs = static_cast<int>(*count);
            }
        } else if (name == "--memory") {
            std::string size;
            options.memoryBytes = text(size) ? ParseSize(size) : std::nullopt;
            understood = options.memoryBytes.has_value();
        } else if (name == "--edging") {
            understood = flag(options.edging);
        } else if (name == "--existing") {
            std::string policy;
            understood = text(policy);
            if (policy == "replace") {
                options.existing = ExistingPolicy::kReplace;
            } else if (policy == "skip") {
                options.existing = ExistingPolicy::kSkip;
            } else if (policy == "rename") {
                options.existing = ExistingPolicy::kRename;
            } else {
                understood = false;
            }
        } else if (name == "--dry-run") {
            understood = flag(options.dryRun);
        } else if (name == "--recursive") {
            understood = flag(options.recursive);
        } else if (name == "--files-from") {
            understood = text(options.filesFrom);
        } else if (name == "--null") {
            understood = flag(options.nulSeparated);
        } else if (name == "--list-filters") {
            understood = flag(options.listFilters);
        } else if (name == "--list-formats") {
            understood = flag(options.listFormats);
        } else if (name == "--verbose") {
            understood = flag(options.verbose);
        } else if (name == "--quiet") {
            understood = flag(options.quiet);
        } else if (name == "--help" || name == "-h") {
            understood = flag(options.help);
        } else if (name == "--version") {
            understood = flag(options.version);
        } else {
            parsed.error = "不明な引数です: " + arguments[i];
            return parsed;
        }
        if (!understood) {
            parsed.error = "引数の値が正しくありません: " + arguments[i];
            return parsed;
        }
    }
    if (options.verbose && options.quiet) {
        parsed.error = "--verbose と --quiet は同時に指定できません";
    } else if (options.filesFrom && (options.mask || options.recursive)) {
        parsed.error = "--files-from は --mask や --recursive と同時に指定できません";
    } else if (options.nulSeparated && !options.filesFrom) {
        parsed.error = "--null は --files-from と共に指定してください";
    }
    return parsed;
}

}  // namespace tinta
