#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// Forms the system's path "dir\name".
std::string formPath(std::string_view directory, std::string_view name);

// Translates a "dir\name" path to the native separator of this platform.
std::string nativePath(std::string_view path);

// The file name part of a "dir\name" path (everything after the last separator).
std::string fileNamePart(std::string_view path);

// The extension of a path's file name with its dot (".muc2"), as the file system library
// gives it (none for ".profile", "." or ".."), and the name without it ("Water"). Plain text
// work: a lookup asks for them of every name it meets.
std::string_view extensionPart(std::string_view path);
std::string stemPart(std::string_view path);

// Reads a whole file as bytes. Nothing, with `error` set, when it cannot be opened or read.
std::optional<std::string> readTextFile(std::string_view path, std::string& error);

// Joins lines into a text in which every line, the last included, ends with CR LF.
std::string joinLinesCrLf(const std::vector<std::string>& lines);

// Writes `content` to `path` atomically: a temporary file in the target directory is
// written, flushed and renamed over the target. On failure the target is untouched, no
// temporary file remains, `error` holds the reason and false is returned.
bool atomicWriteFile(std::string_view path, std::string_view content, std::string& error);

// Writes lines with CR LF through atomicWriteFile; the error names the path.
bool writeTextLines(std::string_view path, const std::vector<std::string>& lines,
                    std::string& error);

// The reason of an error that may name the path first ("x.csv: Permission denied" gives
// "Permission denied"), for a message that names the path itself.
std::string errorReason(std::string_view error, std::string_view path);

// Reads a whole file like readTextFile; the error names the path.
std::optional<std::string> readNamedTextFile(std::string_view path, std::string& error);

// Deletes a file; false with `error` set when it could not be deleted.
bool removeFile(std::string_view path, std::string& error);

// The names of the files in a directory whose extension is exactly `extension` (".mix"
// lists a.mix but not a.mix2), sorted; empty when the directory cannot be read.
std::vector<std::string> listFiles(std::string_view directory, std::string_view extension);

// Why a typed file name (without directory) cannot be used, or empty when it can: no path
// separators, no control characters, not "." or ".." or blanks alone, at most 255 bytes.
std::string fileNameProblem(std::string_view name);

// Makes the directory of the running executable the working directory.
bool enterExecutableDirectory(std::string& error);

} // namespace tarvo
