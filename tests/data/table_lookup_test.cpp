// Every shipped table is picked alone by every name it has, in both kinds.
#include "common/elements.h"
#include "common/material_source.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tarvo {
namespace {

TEST(TableLookup, EveryShippedTableIsPickedAloneByEachOfItsNames) {
    const DataDirectory data(TARVO_SHIPPED_DATA);
    int names = 0;
    for (const Quantities kind : {Quantities::coefficients, Quantities::crossSections}) {
        const std::vector<TableKeys> tables = everyTable(data, kind);
        EXPECT_EQ(tables.size(), 92U + 48U);
        for (const TableKeys& table : tables) {
            ASSERT_GE(table.keys.size(), 2U) << table.path;
            EXPECT_FALSE(table.keys[1].empty()) << table.path;
            for (const std::string& key : table.keys) {
                RequestError error;
                const auto path = findTable(data, key, kind, error);
                EXPECT_EQ(path.value_or(error.message), table.path) << key;
                ++names;
            }
        }
    }
    EXPECT_GT(names, 2 * (4 * 92 + 2 * 48) - 1);
}

} // namespace
} // namespace tarvo
