// SPDX-License-Identifier: MIT
// Table-driven checks of the complete reader's JSON record: each row a link built byte
// by byte, the values its record must hold (by JSON pointer) and the warnings it must
// raise, in order. Every record is also checked to be one line of valid JSON whose
// offsets stay inside the input.
#ifndef SHORTCUT_TESTS_RECORD_ROWS_H
#define SHORTCUT_TESTS_RECORD_ROWS_H

#include <string>
#include <utility>
#include <vector>

#include "link_builder.h"
#include "records.h"

struct Row {
    std::string what;
    Bytes link;
    std::vector<std::pair<std::string, nlohmann::json>> expect;
    std::vector<std::string> warnings = {};
    const char* codePage = "CP1252";
};

// The value at pointer, or null where there is none (past the end of an array).
nlohmann::json At(const nlohmann::json& record, const std::string& pointer);

// Reads each row's link and checks its record with GoogleTest's expectations.
void CheckRows(const std::vector<Row>& rows);

#endif
