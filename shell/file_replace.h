// Replacing a user's file safely: the settings file, ~/.xscreensaver.
//
// The new text goes into a temporary file beside the target, made under a
// name no other file has, flushed to disk, given the target's permissions,
// and only then renamed over the target: a failure at any point leaves the
// old file as it was, and no other file of the user's is touched. A target
// the user made read-only is not replaced. Every error names the target,
// never the temporary file.
#pragma once

#include <string>

// Writes `text` to `path` as described above. A symbolic link is followed:
// the file it names is replaced and the link stays. Raises TIoError.
void ReplaceFile(const std::string& path, const std::string& text);
