// umtool: the engine's model and texture files from the command line.
//
//   umtool info FILE            one JSON object describing a .umf or .umt file
//   umtool png FILE.umt OUT.png [FRAME]
//                               frame FRAME (default 0) as a PNG, top row first
//   umtool umt IN.png OUT.umt [--ycbcr]
//                               a still UMT, raw or block-coded YCbCr
//
// Exit status: 0 done; 1 a file could not be read or written (the reader's
// own message on stderr, e.g. "Read beyond end of file"); 2 a bad command
// line (usage on stderr).
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/models/umf.h"
#include "engine/support/files.h"
#include "engine/textures/umt.h"
#include "engine/textures/umt_writer.h"
#include "tools/umtool/umtool_json.h"
#include "tools/umtool/umtool_png.h"

namespace {

constexpr int ExitFileError = 1;
constexpr int ExitUsage = 2;

const char* const Usage = "usage: umtool info FILE.umf|FILE.umt\n"
                          "       umtool png FILE.umt OUT.png [FRAME]\n"
                          "       umtool umt IN.png OUT.umt [--ycbcr]\n";

// A command line umtool cannot act on; the text says why.
struct TUsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A file that could not be read or written; the text names the file.
struct TFileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Runs one step on one file; its errors are reported as that file's. The
// readers' own messages either name the file already or are the runtime's
// bare texts ("Read beyond end of file").
template <typename F> auto OnFile(const std::string& path, F step) -> decltype(step()) {
    try {
        return step();
    } catch (const TUsageError&) {
        throw;
    } catch (const std::exception& e) {
        const std::string text = e.what();
        if (text.compare(0, path.size() + 1, path + ":") == 0) throw TFileError(text);
        throw TFileError(path + ": " + text);
    }
}

bool HasExtension(const std::string& path, const char* extension) {
    const std::string ext(extension);
    if (path.size() < ext.size()) return false;
    for (std::size_t i = 0; i < ext.size(); ++i) {
        char c = path[path.size() - ext.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != ext[i]) return false;
    }
    return true;
}

TUmtImage ReadUmt(const std::string& path) {
    return OnFile(path, [&] {
        const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
        return DecodeUmt(bytes.data(), bytes.size(), path);
    });
}

int Info(const std::string& path) {
    if (HasExtension(path, ".umf")) {
        TModel model;
        OnFile(path, [&] {
            const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
            ParseUmf(bytes.data(), bytes.size(), model, path);
        });
        std::printf("%s\n", UmfInfoJson(model).c_str());
    } else if (HasExtension(path, ".umt")) {
        std::printf("%s\n", UmtInfoJson(ReadUmt(path)).c_str());
    } else {
        throw TUsageError(path + ": not a .umf or .umt file");
    }
    return 0;
}

std::uint32_t ParseFrame(const std::string& text) {
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
        throw TUsageError("frame must be a number: " + text);
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
    if (value > 0xFFFFFFFFull) throw TUsageError("frame out of range: " + text);
    return static_cast<std::uint32_t>(value);
}

int Png(const std::string& in, const std::string& out, std::uint32_t frame) {
    const TUmtImage image = ReadUmt(in);
    if (frame > image.LastFrame)
        throw TUsageError("frame " + std::to_string(frame) + " out of range: " + in + " has " +
                          std::to_string(image.FrameTotal()) + " frame(s)");
    OnFile(out, [&] { WritePngFrame(out, image, frame); });
    return 0;
}

int Umt(const std::string& in, const std::string& out, bool blockCoded) {
    const TUmtImage image = OnFile(in, [&] { return ReadPngImage(in); });
    if (blockCoded && (image.Width % UmtBlockSide != 0 || image.Height % UmtBlockSide != 0))
        throw TFileError(in +
                         ": block coding needs a width and height that are multiples of 8 (the image is " +
                         std::to_string(image.Width) + " x " + std::to_string(image.Height) + ")");
    OnFile(out, [&] { SaveUmt(out, image, blockCoded); });
    return 0;
}

int Run(const std::vector<std::string>& args) {
    if (args.empty()) throw TUsageError("no command");
    const std::string& command = args[0];
    if (command == "info" && args.size() == 2) return Info(args[1]);
    if (command == "png" && (args.size() == 3 || args.size() == 4))
        return Png(args[1], args[2], args.size() == 4 ? ParseFrame(args[3]) : 0);
    if (command == "umt" && args.size() == 3) return Umt(args[1], args[2], false);
    if (command == "umt" && args.size() == 4 && args[3] == "--ycbcr") return Umt(args[1], args[2], true);
    throw TUsageError("bad command line");
}

} // namespace

int main(int argc, char** argv) {
    IoErrorsNameFiles = false; // OnFile names the file as it was given
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        return Run(args);
    } catch (const TUsageError& e) {
        std::fprintf(stderr, "umtool: %s\n%s", e.what(), Usage);
        return ExitUsage;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "umtool: %s\n", e.what());
        return ExitFileError;
    }
}
