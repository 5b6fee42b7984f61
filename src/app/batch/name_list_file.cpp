#include "name_list_file.h"

namespace tinta {

std::vector<std::string> ReadNameList(std::istream& stream, NameSeparator separator) {
    const char end = separator == NameSeparator::kNul ? '\0' : '\n';
    std::vector<std::string> names;
    std::string name;
    while (std::getline(stream, name, end)) {
        if (!name.empty()) {
            names.push_back(std::move(name));
        }
        name.clear();
    }
    return names;
}

}  // namespace tinta
