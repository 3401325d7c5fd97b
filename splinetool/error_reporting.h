#pragma once

#include <functional>
#include <iosfwd>
#include <string>

namespace tarvo::spline {

// Error types of the numeric routines.
inline constexpr int kNote = 1;
inline constexpr int kAlert = 2;
inline constexpr int kWarning = 3;
inline constexpr int kFatal = 4;
inline constexpr int kTerminal = 5;
inline constexpr int kWarningImmediate = 6;
inline constexpr int kFatalImmediate = 7;

// Pushes a routine name on the error stack; no error is recorded at the new level.
void E1PSH(const std::string& name);
// Pops the routine name, applying the print and stop policy to an error recorded at its
// level and passing the error on to the caller's level.
void E1POP(const std::string& name);
// Records an error of `type` and `code` at the current level and builds its message from
// the template and the placeholder slots; prints it now when its type says so.
void E1MES(int type, int code, const std::string& messageTemplate);
// The error type (0: none) or code recorded at the current level; the argument must be
// 0 or 1.
int N1RTY(int which);
int N1RCD(int which);
// Fill the placeholder slots %(I1)..%(I9), %(R1)..%(R9) and %(L1)..%(L9).
void E1STI(int slot, int value);
void E1STR(int slot, float value);
void E1STL(int slot, const std::string& value);

// Thrown where a routine stops and no program installed its own stop action: library
// callers get the stop as an error, never the end of the process.
struct SplineStopped {};

// Where messages go and what stopping does, for the calling thread (each thread has its own
// error stack and messages). By default the messages are kept (see takeKeptMessages) and
// stopping throws SplineStopped after the stop notice; the spline tool installs the console
// and the end of the process with status 1.
void setErrorOutput(std::ostream& output);
void setStopAction(std::function<void()> stop);
// Keeps the messages again, as before any output was installed (the installed stream may
// be gone).
void keepErrorMessages();
// The messages written while no output was installed, and forgets them.
std::string takeKeptMessages();
// Puts the mechanism back to its state at first use: only "USER" on the stack.
void resetErrorReporting();

// The stop notice.
inline constexpr const char* kStopNotice = "Stop - Program terminated.";

} // namespace tarvo::spline
