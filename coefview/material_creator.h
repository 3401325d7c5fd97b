#pragma once

#include "common/creator_window.h"

#include <memory>

namespace tarvo::coefview {

// The coefficient viewer's creator of new materials: up to 15 elements by weight shares
// ("New Compound or New Mixture"), written with their composition into "mu_mix".
std::unique_ptr<CreatorWindow> makeMaterialCreator(UserPrompts& prompts);

} // namespace tarvo::coefview
