#pragma once

#include "common/creator_window.h"

#include <memory>

namespace tarvo::xsview {

// The compound creator: up to 5 elements by atom counts ("New chemical compound").
std::unique_ptr<CreatorWindow> makeCompoundCreator(UserPrompts& prompts);

// The mixture creator: up to 15 elements by weight shares ("New mixture medium").
std::unique_ptr<CreatorWindow> makeMixtureCreator(UserPrompts& prompts);

} // namespace tarvo::xsview
