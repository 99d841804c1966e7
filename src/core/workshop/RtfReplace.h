// The rich-text template filler (core/workshop): a document written by a word processor, in
// which bracketed placeholders such as [CLIENT] stand for values, is copied to a new file with
// every placeholder replaced. Placeholders are found in the text the reader sees, not in the
// file's bytes, so one that a word processor split across groups, control words or source
// lines (as it does after any edit) is still found; the value takes the place of its first
// character and the rest of its characters go, the formatting between them staying. Values are
// written as rich text: \ { } escaped, letters outside ASCII as \'hh of the document's code
// page or as \uN. Text in hidden destinations (font and style tables, document info, pictures,
// "\*" groups) is never touched.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvx::core {

// What an empty value prints as.
constexpr const char* kEmptyPlaceholderValue = "..........";

struct RtfPair {
    std::string placeholder;  // with its brackets: "[CLIENT]"
    std::string value;        // UTF-8
};

// Whether `bytes` hold a whole rich-text document: "{\rtf" at the start (after blanks) and
// the document's group closed.
bool IsRtfDocument(std::string_view bytes);

// The document `rtf` with the placeholders of `pairs` replaced, taken in list order and
// matched ignoring case; a placeholder found written all in upper case and longer than four
// characters gets its value in upper case; an empty value prints as ten dots. With
// `copies` > 1 the body is repeated, each copy on a new page. A value is never searched again,
// so a value holding a placeholder prints as typed. nullopt when `rtf` is not a document.
std::optional<std::string> FillRtf(std::string_view rtf, const std::vector<RtfPair>& pairs,
                                   int copies = 1);

// The filler as the pre-order print uses it: the template (`RTFSursa`) and the filled copy
// (`RTFDest`), with the steps PickDestination, BeginDocument, AddPair, WriteBody, EndDocument.
class RtfReplace {
  public:
    std::filesystem::path RTFSursa;
    std::filesystem::path RTFDest;

    // The first of `folder`/0.rtf .. 99.rtf that is free, or that can be deleted and is
    // neither the template nor open in a word processor (its lock file ".~lock.N.rtf#" is
    // beside it), becomes RTFDest. False when none does.
    bool PickDestination(const std::filesystem::path& folder);
    // Reads the template: false when RTFSursa is unset, missing, unreadable, empty or not a
    // rich-text document. The placeholder list is emptied.
    bool BeginDocument();
    void AddPair(const std::string& placeholder, const std::string& value);
    // The filled document, `copies` times, from the pairs added; the list is emptied.
    void WriteBody(int copies);
    // Writes RTFDest whole (never the template, never half a file). Throws
    // tables::EngineError naming the file when it cannot be written.
    void EndDocument();

    const std::string& filled() const { return filled_; }

  private:
    std::string template_;
    std::vector<RtfPair> pairs_;
    std::string filled_;
};

}  // namespace tvx::core
