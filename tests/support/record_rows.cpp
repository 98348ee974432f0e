// SPDX-License-Identifier: MIT
#include "record_rows.h"

#include <gtest/gtest.h>

nlohmann::json At(const nlohmann::json& record, const std::string& pointer) {
    const nlohmann::json::json_pointer at(pointer);
    return record.contains(at) ? record.at(at) : nlohmann::json();
}

void CheckRows(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const nlohmann::json record = Record(row.link, row.codePage);
        ASSERT_TRUE(record.is_object());
        EXPECT_TRUE(StaysInsideTheInput(record, row.link.Size()));
        for (const auto& [pointer, value] : row.expect) {
            EXPECT_EQ(At(record, pointer), value) << pointer;
        }
        EXPECT_EQ(WarningCodes(record), row.warnings);
    }
}
