// LibreOffice and pdftotext for the tests that read a produced document as a person would
// (no Qt needed): converting files with soffice in a throw-away profile, and the text of a PDF.
// Each call starts a program: tests use them sparingly and skip when the program is absent.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tvx::testsupport {

inline bool HasProgram(const char* name) {
    return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

// Converts `files` to `format` ("rtf", "pdf", "txt:Text (encoded):UTF8", ...) into `outDir`
// with a profile of its own under `outDir`. Returns whether soffice ended well.
inline bool SofficeConvert(const std::vector<std::filesystem::path>& files,
                           const std::string& format, const std::filesystem::path& outDir) {
    const std::filesystem::path profile = outDir / "lo-profile";
    std::string command = "cd \"" + outDir.string() +
                          "\" && timeout 180 soffice --headless --norestore "
                          "\"-env:UserInstallation=file://" +
                          profile.string() + "\" --convert-to \"" + format + "\" --outdir \"" +
                          outDir.string() + "\"";
    for (const auto& file : files) command += " \"" + file.string() + "\"";
    command += " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// The standard output of a command; nullopt when it fails.
inline std::optional<std::string> CommandOutput(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return std::nullopt;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    if (::pclose(pipe) != 0) return std::nullopt;
    return output;
}

// The text of a PDF, runs of white space made one blank.
inline std::optional<std::string> PdfFileText(const std::filesystem::path& pdf) {
    auto text = CommandOutput("pdftotext -enc UTF-8 \"" + pdf.string() + "\" - 2>/dev/null");
    if (!text) return std::nullopt;
    std::string collapsed;
    for (char c : *text) {
        const bool blank = c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\f';
        if (!blank)
            collapsed += c;
        else if (!collapsed.empty() && collapsed.back() != ' ')
            collapsed += ' ';
    }
    return collapsed;
}

}  // namespace tvx::testsupport
