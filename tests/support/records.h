// SPDX-License-Identifier: MIT
// The complete reader's JSON record as the tests and the fuzz target see it: parsed back
// by nlohmann::json, a parser that shares no code with the writer.
#ifndef SHORTCUT_TESTS_RECORDS_H
#define SHORTCUT_TESTS_RECORDS_H

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <vector>

#include "link_builder.h"

// The record of bytes read from memory with the code page, as one line of JSON; null
// (after a failed expectation) when the line is not exactly one valid JSON object.
nlohmann::json Record(const Bytes& bytes, const char* codePage = "CP1252");
// Parses one record line; null when it is not exactly one JSON object and a newline.
nlohmann::json ParseRecordLine(const std::string& line);
// The codes of a record's warnings, in order.
std::vector<std::string> WarningCodes(const nlohmann::json& record);
// True when every offset in the record lies inside an input of size bytes, the record's
// size is that size, and trailing data, if any, ends where the input ends.
bool StaysInsideTheInput(const nlohmann::json& record, std::uint64_t size);

#endif
