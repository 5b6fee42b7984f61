#include "format_lists.h"

#include <QImageReader>
#include <QImageWriter>
#include <algorithm>

namespace tinta {
namespace {

std::string UpperToken(const std::string& name) {
    std::string token = "*.";
    for (char c : name) {
        token += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return token;
}

bool Contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

std::vector<std::string> Names(const QList<QByteArray>& formats) {
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(formats.size()));
    for (const QByteArray& format : formats) {
        names.push_back(format.toStdString());
    }
    return names;
}

}  // namespace

FormatLists BuildFormatLists(const std::vector<std::string>& readable,
                             const std::vector<std::string>& writable) {
    FormatLists lists;
    lists.inputMasks.push_back("*.ERI");
    lists.outputFormats.push_back("*.TGA");
    lists.codecsAvailable = !readable.empty();

    std::vector<std::string> writableTokens;
    for (const std::string& name : writable) {
        writableTokens.push_back(UpperToken(name));
    }
    for (const std::string& name : readable) {
        if (name.empty()) {
            continue;
        }
        const std::string token = UpperToken(name);
        if (!Contains(lists.inputMasks, token)) {
            lists.inputMasks.push_back(token);
        }
        const bool excluded =
            token.find("MF") != std::string::npos || token.find("ICO") != std::string::npos;
        if (!excluded && Contains(writableTokens, token) && !Contains(lists.outputFormats, token)) {
            lists.outputFormats.push_back(token);
        }
    }
    return lists;
}

FormatLists QtFormatLists() {
    return BuildFormatLists(Names(QImageReader::supportedImageFormats()),
                            Names(QImageWriter::supportedImageFormats()));
}

}  // namespace tinta
