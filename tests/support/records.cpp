// SPDX-License-Identifier: MIT
#include "records.h"

#include <shortcut_reader/shell_link.h>
#include <shortcut_reader/shell_link_json.h>

nlohmann::json ParseRecordLine(const std::string& line) {
    if (line.empty() || line.back() != '\n' || line.find('\n') != line.size() - 1) {
        return nullptr;
    }
    nlohmann::json record = nlohmann::json::parse(line, nullptr, false);  // strict UTF-8, no exceptions
    return record.is_object() ? record : nullptr;
}

nlohmann::json Record(const Bytes& bytes, const char* codePage) {
    shell_link::CodePage page(codePage);
    std::string line;
    shell_link::AppendJsonLine(shell_link::ReadLink(bytes.Begin(), bytes.Size(), page), line);
    return ParseRecordLine(line);
}

std::vector<std::string> WarningCodes(const nlohmann::json& record) {
    std::vector<std::string> codes;
    for (const auto& warning : record.value("warnings", nlohmann::json::array())) {
        codes.push_back(warning.value("code", ""));
    }
    return codes;
}

namespace {

bool OffsetsInside(const nlohmann::json& value, std::uint64_t size) {
    if (value.is_object()) {
        const auto offset = value.find("offset");
        if (offset != value.end() && !offset->is_null() && !(offset->is_number_unsigned() && offset->get<std::uint64_t>() <= size)) {
            return false;
        }
    }
    if (value.is_structured()) {
        for (const auto& child : value) {
            if (!OffsetsInside(child, size)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

bool StaysInsideTheInput(const nlohmann::json& record, std::uint64_t size) {
    if (!record.is_object() || record.value("size", nlohmann::json()) != size) {
        return false;
    }
    const nlohmann::json& trailing = record["trailing_data"];
    if (!trailing.is_null() &&
        trailing["offset"].get<std::uint64_t>() + trailing["size"].get<std::uint64_t>() != size) {
        return false;
    }
    return OffsetsInside(record, size);
}
