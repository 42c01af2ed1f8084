// The `programs:` list of ~/.xscreensaver: read as xscreensaver reads it,
// our entry added and taken out with every other byte kept.
#include <gtest/gtest.h>

#include "shell/xscreensaver_programs.h"

namespace {
const std::string Hack = "/home/ann/.config/tarnwick/tarnwick";
const std::vector<std::string> Ours = {Hack};

// A list as xscreensaver writes it, with comments, a switched-off entry,
// a pretty name and our entry over two lines, as a user leaves it.
const std::string Written = "# XScreenSaver Preferences File\n"
                            "timeout:\t0:10:00\n"
                            "! programs: in a comment\n"
                            "programs:\t\t\t\t\t\t\t      \\\n"
                            "\t\t\t\tmaze -root\t\t\t\t    \\n\\\n"
                            "- GL: \t\t\t\tpipes -root\t\t\t    \\n\\\n"
                            "  GL: \t\t\t\t" +
                            Hack +
                            " -root -fps  \\\n"
                            "    -no-sound \\n\\\n"
                            "  \"Lake\" default: xlock -nolock \\\\ -mode \\n\\\n"
                            "\n"
                            "pointerHysteresis:\t10\n";

std::vector<std::string> Commands(const std::string& text) {
    std::vector<std::string> commands;
    for (const TProgramEntry& e : ParseProgramsList(text).Entries)
        commands.push_back((e.Disabled ? "-" : "") + e.Visual + "|" + e.Command);
    return commands;
}

TEST(XScreensaverPrograms, ReadsTheListAsXScreensaverDoes) {
    EXPECT_EQ(Commands(Written), (std::vector<std::string>{"|maze -root", "-GL|pipes -root",
                                                           "GL|" + Hack + " -root -fps      -no-sound",
                                                           "default|xlock -nolock \\\\ -mode"}));
    // CR LF line ends, entries sharing a line, a last entry without "\n".
    EXPECT_EQ(Commands("programs: a -root \\n  -  b \\\r\n -x \\n\\\r\n GL:c\r\nnext: 1\r\n"),
              (std::vector<std::string>{"|a -root", "-|b  -x", "GL|c"}));
    EXPECT_FALSE(ParseProgramsList("# programs: a\ntimeout: 1\n").Found);
}

TEST(XScreensaverPrograms, RemovesOnlyOurEntryWhereverItIs) {
    struct TCase {
        std::string Before, After;
    };
    const std::string crlf = "  GL: \t\t\t\t" + Hack + " -root\t\t\t\t    \\n\\\r\n";
    const std::vector<TCase> cases = {
        // over two lines, between others: both lines go
        {Written, "# XScreenSaver Preferences File\ntimeout:\t0:10:00\n! programs: in a comment\n"
                  "programs:\t\t\t\t\t\t\t      \\\n\t\t\t\tmaze -root\t\t\t\t    \\n\\\n"
                  "- GL: \t\t\t\tpipes -root\t\t\t    \\n\\\n"
                  "  \"Lake\" default: xlock -nolock \\\\ -mode \\n\\\n\npointerHysteresis:\t10\n"},
        // on the key's line: the key and the other entries stay
        {"programs: " + Hack + " -root \\n\\\n  maze -root \\n\\\n\n", "programs:\\\n  maze -root \\n\\\n\n"},
        // the last entry, ending the list: the one before ends it now
        {"programs: \\\n maze -root \\n\\\n- " + Hack + " -root\r\nlock: True\n",
         "programs: \\\n maze -root \\n\r\nlock: True\n"},
        // twice, with CR LF
        {"programs:\\\r\n" + crlf + "a\\n\\\r\n" + crlf + "\r\n", "programs:\\\r\na\\n\\\r\n\r\n"},
    };
    for (const TCase& c : cases) {
        std::string text = c.Before;
        EXPECT_GE(RemoveProgramEntries(text, Ours), 1) << c.Before;
        EXPECT_EQ(text, c.After);
    }
    // Another program whose name holds ours, and no list at all: nothing changes.
    for (std::string text : {"programs: \\\n  " + Hack + "2 -root \\n\\\n  x " + Hack + " \\n\\\n\n",
                             std::string("timeout: 1\n")}) {
        const std::string before = text;
        EXPECT_EQ(RemoveProgramEntries(text, Ours), 0);
        EXPECT_EQ(text, before);
    }
}

TEST(XScreensaverPrograms, AddsOnceAndOnlyInserts) {
    const std::string entry = HackEntry(Hack);
    const std::vector<std::string> files = {
        "programs:\t\t\t\t\t      \\\n\t\t\t\tmaze -root\t\t\t\t    \\n\\\n\nlock: True\n",
        "programs: \\",                                       // the file ends in the continuation
        "programs: \\\r\n maze -root \\n\\\r\n\r\n",          // CR LF
        "programs: maze -root \\n gears -root\nlock: True\n", // the entries on the key's line
        "timeout: 1",                                         // no list, no last line end
        "timeout: \\\n",                                      // no list, the last line going on
        "",                                                   // no file
    };
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        std::string text = file;
        ASSERT_EQ(AddProgramEntry(text, entry, Ours), ProgramAdded);
        // Nothing of the file is lost or changed: its bytes are all there, in order.
        bool kept = true;
        for (std::size_t c = 0, at = 0; c < file.size() && kept; ++c) {
            at = text.find(file[c], at);
            kept = at++ != std::string::npos;
        }
        EXPECT_TRUE(kept) << text;
        std::vector<std::string> expected = Commands(file);
        expected.insert(expected.begin(), "GL|" + Hack + " -root");
        EXPECT_EQ(Commands(text), expected);
        if (file.find("\r\n") != std::string::npos) {
            EXPECT_EQ(text.find(entry + "\n"), std::string::npos); // CR LF, as the file has it
        }
        const std::string added = text;
        EXPECT_EQ(AddProgramEntry(text, entry, Ours), ProgramAlreadyListed);
        EXPECT_EQ(text, added);
    }
    // As xscreensaver writes it, taking the entry out again gives the file back.
    std::string text = files[0];
    AddProgramEntry(text, entry, Ours);
    RemoveProgramEntries(text, Ours);
    EXPECT_EQ(text, files[0]);
    // Switched off by the user: left so, and said.
    text = Written;
    text.replace(text.find("  GL: \t\t\t\t" + Hack), 2, "- ");
    const std::string off = text;
    EXPECT_EQ(AddProgramEntry(text, entry, Ours), ProgramListedOff);
    EXPECT_EQ(text, off);
}
} // namespace
