#pragma once
// State and handlers of the command editor, apart from its widgets: the command
// text, the Bold and Underline boxes, sending, and command files.
#include <cstddef>
#include <string>
#include <string_view>

namespace zorvik {

// Command files (*.bin) of raw bytes, as the editor loads them and zorvik-cli sends them,
// are read up to this size.
inline constexpr std::size_t kMaxCommandFileBytes = std::size_t{16} << 20;

class PrinterLink;
class Notifier;
class FileChooser;

enum class CannedCommand {
    FontA,
    FontB,
    Bold,       // on or off as the box stands
    Underline,  // on or off as the box stands
    AlignLeft,
    AlignCenter,
    AlignRight,
    PaperCut,
    Feed,
    Drawer1,
    Drawer2,
};

class CommandEditor {
public:
    // The link is borrowed and only written to.
    CommandEditor(PrinterLink& link, Notifier& notifier, FileChooser& files);

    // What the controls hold (the window collects them before every handler).
    const std::string& Text() const { return text_; }
    bool Bold() const { return bold_; }
    bool Underline() const { return underline_; }
    void SetText(std::string text) { text_ = std::move(text); }
    void SetBold(bool on) { bold_ = on; }
    void SetUnderline(bool on) { underline_ = on; }

    // Appends a command text to the end; the window then shows it scrolled to the end.
    void Append(std::string_view commandText) { text_ += commandText; }
    void AppendCanned(CannedCommand command);

    // Sends the text's bytes in one write. Nothing for an empty text; a text with a
    // pair that is not hexadecimal is refused with a message naming the pair.
    void WriteCommand();
    // The two test lines, then a feed; the command text is not looked at.
    void PrintTestString();
    void Clear() { text_.clear(); }
    // The text's bytes into a command file, written under a temporary name and
    // renamed into place (the file chooser asks before replacing a file).
    void Save();
    // Replaces the text with a command file's bytes as hexadecimal pairs; a
    // cancelled choice or an unreadable file leaves the text as it was.
    void Load();

private:
    bool RefuseBadPair(const char* format);

    PrinterLink& link_;
    Notifier& notifier_;
    FileChooser& files_;
    std::string text_;
    bool bold_ = false;
    bool underline_ = false;
};

}  // namespace zorvik
