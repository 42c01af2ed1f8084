/* The `programs:` list of ~/.xscreensaver, read as xscreensaver reads it,
 * and our hack's entry added to it or taken out of it with every other byte
 * of the file left as it was.
 *
 * The file holds "key: value" lines; a line whose last character is a
 * backslash goes on in the next one (the backslash and the line end are not
 * part of the value), lines whose first character other than blanks is '#'
 * or '!' are comments, and lines may end in LF or CR LF. In the value of
 * `programs:` the two characters "\n" separate the entries. An entry is
 *
 *   [-] [VISUAL:] ["pretty name"] COMMAND [ARGUMENTS]
 *
 * where '-' switches the entry off (xscreensaver never picks it at random)
 * and VISUAL names the X visual (GL: for OpenGL hacks). xscreensaver writes
 * one entry per line, each ending in "\n\":
 *
 *   programs:                                               \
 *                   maze -root                             \n\
 *     GL:           gears -root                            \n\
 *   - GL:           pipes -root                            \n\
 *
 * but an entry may run over several lines, and several may share one.
 */
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct TProgramEntry {
    std::size_t Begin = 0;        // the first byte after the previous "\n" (or after "programs:")
    std::size_t ContentBegin = 0; // its first byte that is not blank or a line continuation
    std::size_t End = 0;          // where its "\n" separator starts, or where the list ends
    std::size_t SeparatorEnd = 0; // after its "\n"; End when it is the list's last entry without one
    bool Disabled = false;        // '-' in front
    std::string Visual;           // "GL", "default", ...; empty when none is named
    std::string Command;          // the command and its arguments, continuations taken out, trimmed
};

struct TProgramsList {
    bool Found = false;         // the file has a `programs:` line
    std::size_t KeyLine = 0;    // where the line with "programs:" starts
    std::size_t ValueBegin = 0; // the byte after "programs:"'s colon
    std::size_t ValueEnd = 0;   // where the value ends: at the line end that ends it, or the text's end
    std::vector<TProgramEntry> Entries; // the entries that are not empty, in order
};

// The first `programs:` list of the file's text.
TProgramsList ParseProgramsList(const std::string& text);

// The first word of an entry's command: the program it runs.
std::string EntryProgram(const TProgramEntry& entry);

// Our hack's entry as xscreensaver would write it: a GL visual, `program`
// drawing into xscreensaver's window.
std::string HackEntry(const std::string& program);

enum TProgramAdded {
    ProgramAdded,         // the entry is in the list now
    ProgramAlreadyListed, // an entry runs the program already: nothing changed
    ProgramListedOff,     // it is listed, switched off with '-': nothing changed
};

// Adds `entry` (HackEntry) to the list unless an entry runs one of
// `programs` already. A file without a list gets one at its end, holding
// the entry. Only bytes are inserted: nothing of the file is changed or lost.
TProgramAdded AddProgramEntry(std::string& text, const std::string& entry,
                              const std::vector<std::string>& programs);

// Takes every entry that runs one of `programs` out of the list, with its
// separator (and its line, when it had one to itself); the number taken out.
int RemoveProgramEntries(std::string& text, const std::vector<std::string>& programs);
