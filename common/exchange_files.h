#pragma once

#include <cstddef>

namespace tarvo {

// The files through which the coefficient viewer asks the spline tool for a table on equal
// energy steps and receives it, in the working directory.
inline constexpr const char* kRequestFile = "B2F.dat";
inline constexpr const char* kResultFile = "F2B.dat";
// The file whose lock gives one viewer at a time the two exchange files.
inline constexpr const char* kLockFile = "B2F.lock";
// The spline tool reads at most this many characters of the table's path.
inline constexpr std::size_t kMaxRequestPathLength = 30;
// The words by which the tool names, on its console, the energies it interpolated with the
// monotone cubic instead of the not-a-knot spline.
inline constexpr const char* kRepairWords = "interpolated by a monotone cubic";
// The words by which it names the values it lowered to the coefficient above them.
inline constexpr const char* kEvenedWords = "where the spline put it above";

} // namespace tarvo
