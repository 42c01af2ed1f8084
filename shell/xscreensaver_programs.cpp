#include "shell/xscreensaver_programs.h"

#include <algorithm>
#include <cctype>

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The length of the line end at `i` ("\n" or "\r\n"), 0 when there is none.
std::size_t LineEndAt(const std::string& text, std::size_t i) {
    if (i < text.size() && text[i] == '\n') return 1;
    if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') return 2;
    return 0;
}

// The length of a line continuation at `i`: a backslash and a line end, or
// a backslash that ends the text.
std::size_t ContinuationAt(const std::string& text, std::size_t i) {
    if (i >= text.size() || text[i] != '\\') return 0;
    if (i + 1 == text.size()) return 1;
    std::size_t end = LineEndAt(text, i + 1);
    return end ? 1 + end : 0;
}

// Where the logical line that starts at `i` ends: at its last line end (not
// included), or at the text's end. Backslash pairs are skipped, so "\\" at a
// line's end is a backslash, not a continuation.
std::size_t LogicalLineEnd(const std::string& text, std::size_t i) {
    while (i < text.size()) {
        if (LineEndAt(text, i)) return i;
        if (std::size_t c = ContinuationAt(text, i)) {
            i += c;
        } else {
            i += text[i] == '\\' ? 2 : 1;
        }
    }
    return text.size();
}

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

// The entry's parts from its text with the continuations taken out.
void ReadEntry(std::string text, TProgramEntry& entry) {
    text = Trim(text);
    if (!text.empty() && text[0] == '-') {
        entry.Disabled = true;
        text = Trim(text.substr(1));
    }
    // The visual and the pretty name, in either order.
    for (int part = 0; part < 2; ++part) {
        std::size_t word = 0;
        while (word < text.size() &&
               (std::isalnum(static_cast<unsigned char>(text[word])) || text[word] == '_'))
            ++word;
        if (entry.Visual.empty() && word > 0 && word < text.size() && text[word] == ':') {
            entry.Visual = text.substr(0, word);
            text = Trim(text.substr(word + 1));
        } else if (!text.empty() && text[0] == '"') {
            std::size_t close = text.find('"', 1);
            text = close == std::string::npos ? std::string() : Trim(text.substr(close + 1));
        }
    }
    entry.Command = text;
}

bool RunsOneOf(const TProgramEntry& entry, const std::vector<std::string>& programs) {
    return std::find(programs.begin(), programs.end(), EntryProgram(entry)) != programs.end();
}

// The line end the file uses after `i`: CR LF when the line at `i` ends so.
std::string LineEndOfLine(const std::string& text, std::size_t i) {
    std::size_t n = text.find('\n', i);
    return n != std::string::npos && n > 0 && text[n - 1] == '\r' ? "\r\n" : "\n";
}
} // namespace

TProgramsList ParseProgramsList(const std::string& text) {
    TProgramsList list;
    std::size_t line = 0;
    while (line < text.size()) {
        std::size_t end = LogicalLineEnd(text, line);
        std::size_t next = end + LineEndAt(text, end);
        std::size_t i = line;
        while (i < end && IsBlank(text[i]))
            ++i;
        std::size_t colon = text.find(':', i);
        bool comment = i < end && (text[i] == '#' || text[i] == '!');
        if (!comment && colon < end && Trim(text.substr(i, colon - i)) == "programs") {
            list.Found = true;
            list.KeyLine = line;
            list.ValueBegin = colon + 1;
            list.ValueEnd = end;
            break;
        }
        line = next > line ? next : end + 1;
    }
    if (!list.Found) return list;

    TProgramEntry entry;
    std::string cooked;
    bool content = false;
    auto finish = [&](std::size_t end, std::size_t separatorEnd) {
        entry.End = end;
        entry.SeparatorEnd = separatorEnd;
        if (!Trim(cooked).empty()) {
            ReadEntry(cooked, entry);
            list.Entries.push_back(entry);
        }
        entry = TProgramEntry();
        entry.Begin = entry.ContentBegin = separatorEnd;
        cooked.clear();
        content = false;
    };
    entry.Begin = entry.ContentBegin = list.ValueBegin;
    for (std::size_t i = list.ValueBegin; i < list.ValueEnd;) {
        if (std::size_t c = ContinuationAt(text, i)) {
            i += c;
            continue;
        }
        if (text[i] == '\\' && i + 1 < list.ValueEnd && text[i + 1] == 'n') {
            finish(i, i + 2);
            i += 2;
            continue;
        }
        if (!content && !IsBlank(text[i])) {
            content = true;
            entry.ContentBegin = i;
        }
        std::size_t n = text[i] == '\\' && i + 1 < list.ValueEnd ? 2 : 1;
        cooked.append(text, i, n);
        i += n;
    }
    finish(list.ValueEnd, list.ValueEnd);
    return list;
}

std::string EntryProgram(const TProgramEntry& entry) {
    std::size_t space = entry.Command.find_first_of(" \t");
    return entry.Command.substr(0, space);
}

std::string HackEntry(const std::string& program) {
    return "  GL: \t\t\t\t" + program + " -root\t\t\t\t    \\n\\";
}

TProgramAdded AddProgramEntry(std::string& text, const std::string& entry,
                              const std::vector<std::string>& programs) {
    TProgramsList list = ParseProgramsList(text);
    bool off = false;
    for (const TProgramEntry& e : list.Entries) {
        if (!RunsOneOf(e, programs)) continue;
        if (!e.Disabled) return ProgramAlreadyListed;
        off = true;
    }
    if (off) return ProgramListedOff;

    if (!list.Found) {
        std::string end = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
        if (!text.empty() && text.back() != '\n') text += end;
        // A last line going on into the next would take the list in: an
        // empty line ends it.
        if (!text.empty()) {
            std::size_t last = text.size() - (text.size() >= 2 && text[text.size() - 2] == '\r' ? 2 : 1);
            std::size_t slashes = 0;
            while (slashes < last && text[last - 1 - slashes] == '\\')
                ++slashes;
            if (slashes % 2 == 1) text += end;
        }
        text += "programs:\t\t\t\t\t\t\t      \\" + end + entry + end + end;
        return ProgramAdded;
    }
    // "programs:" alone on its line, going on in the next one (as xscreensaver
    // writes it): the entry becomes the list's first line.
    std::size_t i = list.ValueBegin;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    std::size_t c = ContinuationAt(text, i);
    std::string end = LineEndOfLine(text, list.KeyLine);
    if (c) {
        if (c == 1) { // the text ends in that backslash
            text += end + entry + end;
        } else {
            text.insert(i + c, entry + end);
        }
        return ProgramAdded;
    }
    // Anything else on the key's line moves to the line after the entry; its
    // bytes stay as they were.
    text.insert(list.ValueBegin, "\\" + end + entry + end);
    return ProgramAdded;
}

int RemoveProgramEntries(std::string& text, const std::vector<std::string>& programs) {
    TProgramsList list = ParseProgramsList(text);
    int removed = 0;
    // From the last to the first, so that the earlier offsets stay right.
    for (auto e = list.Entries.rbegin(); e != list.Entries.rend(); ++e) {
        if (!RunsOneOf(*e, programs)) continue;
        ++removed;
        std::size_t lineStart = text.rfind('\n', e->ContentBegin);
        lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
        bool ownLineStart = lineStart > list.KeyLine && lineStart >= e->Begin;
        for (std::size_t k = lineStart; ownLineStart && k < e->ContentBegin; ++k)
            ownLineStart = IsBlank(text[k]);
        // Its line to itself, ending in a continuation: the whole line goes.
        std::size_t k = e->SeparatorEnd;
        while (k < text.size() && IsBlank(text[k]))
            ++k;
        std::size_t c = e->SeparatorEnd > e->End ? ContinuationAt(text, k) : 0;
        if (ownLineStart && c > 1) {
            text.erase(lineStart, k + c - lineStart);
        } else {
            text.erase(e->Begin, e->SeparatorEnd - e->Begin);
        }
    }
    return removed;
}
