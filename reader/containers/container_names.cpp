// SPDX-License-Identifier: MIT
// The names around a contained link: the AppID in a Jump List's name, and the file its
// record names.
#include <shortcut_reader/shell_link_containers.h>

#include <cctype>
#include <string_view>

namespace shell_link {

namespace {

bool EndsWithAnyCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) {
        return false;
    }
    const std::string_view end = text.substr(text.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(end[i])) != std::tolower(static_cast<unsigned char>(suffix[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<std::string> AppIdOf(const std::string& name) {
    std::string_view base(name);
    const std::size_t slash = base.find_last_of('/');
    if (slash != std::string_view::npos) {
        base.remove_prefix(slash + 1);
    }
    for (const std::string_view suffix : {std::string_view(".automaticDestinations-ms"), std::string_view(".customDestinations-ms")}) {
        if (!EndsWithAnyCase(base, suffix)) {
            continue;
        }
        const std::string_view digits = base.substr(0, base.size() - suffix.size());
        if (digits.empty() || digits.size() > 16) {
            return std::nullopt;
        }
        std::string id;
        for (const char c : digits) {
            if (std::isxdigit(static_cast<unsigned char>(c)) == 0) {
                return std::nullopt;
            }
            id += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return id;
    }
    return std::nullopt;
}

std::string ContainedFileName(const Container& where) {
    std::string file = where.path;
    if (where.member) {
        file += '#';
        file += *where.member;
    }
    if (where.stream) {
        file += '#';
        file += *where.stream;
    } else if (where.offset) {
        file += '#';
        file += std::to_string(*where.offset);
    }
    return file;
}

}  // namespace shell_link
