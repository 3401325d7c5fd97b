#pragma once

namespace tarvo {

// The three material categories, in the order of their options and of the material file
// extensions (".mix", ".mix2", ".mix3" and ".mucm", ".muc2", ".muc3").
enum class MaterialCategory { humanTissues, phantomSubstances, others };

// The category's place in that order, from 0.
constexpr int categoryIndex(MaterialCategory category) {
    return static_cast<int>(category);
}

// The category at a place in that order; anything outside means "Others".
constexpr MaterialCategory categoryAt(int index) {
    return index >= 0 && index <= 2 ? static_cast<MaterialCategory>(index)
                                    : MaterialCategory::others;
}

} // namespace tarvo
