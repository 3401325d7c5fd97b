// Every shipped table is picked alone by every name it has, in both kinds.
#include "common/elements.h"
#include "materials/material_source.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

namespace tarvo {
namespace {

TEST(TableLookup, EveryShippedTableIsPickedAloneByEachOfItsNames) {
    const DataDirectory data(TARVO_SHIPPED_DATA);
    int names = 0;
    for (const TableKind kind : {TableKind::coefficients, TableKind::crossSections}) {
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

// Tables are kept between lookups, but never past a change: a table written over, and a
// table added, are read as they are now.
TEST(TableLookup, ATableChangedOnDiskIsReadAsItIsNow) {
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("tarvo-lookup-" + std::to_string(::getpid()));
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root);
    std::filesystem::copy(TARVO_SHIPPED_DATA, root, std::filesystem::copy_options::recursive);
    const DataDirectory data(root);
    const auto labelOf = [&data](const std::string& name) {
        RequestError error;
        const auto material = loadMaterial(data, {name, "", ""}, TableKind::coefficients, error);
        return material ? material->label : error.message;
    };
    EXPECT_EQ(labelOf("Water"), "Water, Liquid");
    EXPECT_NE(labelOf("Bone2").find("no table named"), std::string::npos);
    const auto bone = root / "mu_mix" / "Bone_Cortical.mucm";
    std::filesystem::copy_file(bone, root / "mu_mix" / "Water.muc2",
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(bone, root / "mu_mix" / "Bone2.mucm");
    EXPECT_EQ(labelOf("Water"), labelOf("Bone_Cortical"));
    EXPECT_EQ(labelOf("Bone2"), labelOf("Bone_Cortical"));
    std::filesystem::remove_all(root);
}

} // namespace
} // namespace tarvo
