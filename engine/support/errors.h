// The runtime's input/output errors.
//
// Every failure to read or write a file is raised as a TIoError carrying the
// runtime's own text and number: "File not found" (2), "Invalid filename" (3),
// "Too many open files" (4), "File access denied" (5), "Read beyond end of
// file" (100) and "I/O error N" for anything else. Nothing in the engine
// catches them; the shell shows the text in the application's error box.
//
// An error about a file names it by its full path after the runtime's text,
// on every system: "File not found: C:\Lake\models\tarnwick.umf",
// "Read beyond end of file: /home/ann/lake/models/lake_sky.umt". A folder
// where a file should be is "Is a folder, not a file: PATH". Bytes of a path
// that no text shows (control characters, and on Linux bytes that are not
// UTF-8) appear as '?'.
#pragma once

#include <stdexcept>
#include <string>

enum TIoErrorCode {
    IoFileNotFound = 2,
    IoInvalidFilename = 3,
    IoTooManyOpenFiles = 4,
    IoAccessDenied = 5,
    IoInvalidData = 13, // a file whose content the reader refuses; the message says why
    IoReadBeyondEnd = 100,
    IoDiskWriteError = 101,
};

class TIoError : public std::runtime_error {
  public:
    // The runtime's text for the code ("I/O error 21" for codes without a text of their own).
    explicit TIoError(int code);
    // A message of the caller's, e.g. a reader naming what was wrong in a file.
    TIoError(int code, const std::string& message);
    int Code() const { return code_; }

  private:
    int code_;
};

// Whether the error about a file names the file; on unless a tool that names
// files itself switches it off (then: the runtime's bare texts).
extern bool IoErrorsNameFiles;

// The text the runtime gives an input/output error code.
std::string IoErrorText(int code);

// The file at `path` (relative to the current directory, or absolute) as a
// message names it: its full path in the platform's separators, each byte no
// text shows as '?'. While IoErrorsNameFiles is off, the path as given.
std::string MessagePath(const std::string& path);

// The error `code` about the file at `path`: the runtime's text, followed
// by ": " and MessagePath(path) while IoErrorsNameFiles is on.
TIoError FileError(int code, const std::string& path);

// A folder where the file at `path` should be: "Is a folder, not a file:
// PATH" (code IoAccessDenied, what Windows says of it).
TIoError FolderError(const std::string& path);

// Raises the error that matches a C errno value after a failed open, read or
// write, about the file at `path` when one is given.
[[noreturn]] void RaiseErrno(int err, const std::string& path = std::string());
