#pragma once

#include "common/material_category.h"

#include <array>
#include <optional>
#include <string_view>

namespace tarvo {

// The two kinds of table: cross sections, read by the cross-section viewer Tarvo7S_sub1,
// and coefficients, read by the coefficient viewer Tarvo7S_sub2 and the spline tool.
enum class TableKind { crossSections, coefficients };

// Where the tables of a kind lie in the run directory and how their files end.
struct TableFolders {
    std::string_view elementFolder;    // "ele" or "mu_ele"
    std::string_view elementExtension; // ".ele" or ".mut"
    std::string_view materialFolder;   // "mix" or "mu_mix"
    // A material table's extension by its category, in the order of MaterialCategory.
    std::array<std::string_view, 3> materialExtensions;
    std::string_view viewer; // the program that reads them
};

inline constexpr TableFolders kCrossSectionTables{
    "ele", ".ele", "mix", {".mix", ".mix2", ".mix3"}, "Tarvo7S_sub1"};
inline constexpr TableFolders kCoefficientTables{
    "mu_ele", ".mut", "mu_mix", {".mucm", ".muc2", ".muc3"}, "Tarvo7S_sub2"};

// The folders and extensions of a kind of table.
constexpr const TableFolders& tableFolders(TableKind kind) {
    return kind == TableKind::coefficients ? kCoefficientTables : kCrossSectionTables;
}

// The names scripts give the material categories, in the order of MaterialCategory.
inline constexpr std::array<std::string_view, 3> kCategoryNames{"human", "phantom", "other"};

// What a table file's extension says: its kind, and for a material table its category
// (none for an element table).
struct TableExtension {
    TableKind kind;
    std::optional<MaterialCategory> category;
};

// The kind and category an extension (".muc2") stands for; nothing for any other text.
constexpr std::optional<TableExtension> tableExtension(std::string_view extension) {
    for (const TableKind kind : {TableKind::crossSections, TableKind::coefficients}) {
        const TableFolders& folders = tableFolders(kind);
        if (extension == folders.elementExtension) {
            return TableExtension{kind, std::nullopt};
        }
        for (int index = 0; index < 3; ++index) {
            if (extension == folders.materialExtensions[static_cast<std::size_t>(index)]) {
                return TableExtension{kind, categoryAt(index)};
            }
        }
    }
    return std::nullopt;
}

// The category a script's name stands for ("phantom"); nothing for any other text.
constexpr std::optional<MaterialCategory> categoryNamed(std::string_view name) {
    for (int index = 0; index < 3; ++index) {
        if (name == kCategoryNames[static_cast<std::size_t>(index)]) {
            return categoryAt(index);
        }
    }
    return std::nullopt;
}

// A material table's extension by kind and category (".muc2").
constexpr std::string_view materialExtension(TableKind kind, MaterialCategory category) {
    return tableFolders(kind).materialExtensions[static_cast<std::size_t>(categoryIndex(category))];
}

} // namespace tarvo
