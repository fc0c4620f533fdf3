#include "cmdtest/CommandEditor.h"

#include <cstdio>

#include "base/AtomicFile.h"
#include "base/BoundedFile.h"
#include "base/FileChooser.h"
#include "base/Notifier.h"
#include "cmdtest/HexText.h"
#include "link/PrinterLink.h"
#include "resources/CommonTexts.h"
#include "resources/EditorTexts.h"

namespace zorvik {
namespace {

template <typename... Args> std::string Format(const char* format, Args... args)
{
    const int size = std::snprintf(nullptr, 0, format, args...);
    if (size <= 0)
        return {};
    std::string out(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(out.data(), out.size(), format, args...);
    out.resize(static_cast<std::size_t>(size));
    return out;
}

FileDialogRequest CommandFileRequest(const char* title, const char* proposedName)
{
    return {title, proposedName, kCommandFileExtension, kCommandFileFilter};
}

}  // namespace

CommandEditor::CommandEditor(PrinterLink& link, Notifier& notifier, FileChooser& files)
    : link_(link), notifier_(notifier), files_(files)
{
}

void CommandEditor::AppendCanned(CannedCommand command)
{
    switch (command) {
    case CannedCommand::FontA:
        return Append(kTextFontA);
    case CannedCommand::FontB:
        return Append(kTextFontB);
    case CannedCommand::Bold:
        return Append(bold_ ? kTextBoldOn : kTextBoldOff);
    case CannedCommand::Underline:
        return Append(underline_ ? kTextUnderlineOn : kTextUnderlineOff);
    case CannedCommand::AlignLeft:
        return Append(kTextAlignLeft);
    case CannedCommand::AlignCenter:
        return Append(kTextAlignCenter);
    case CannedCommand::AlignRight:
        return Append(kTextAlignRight);
    case CannedCommand::PaperCut:
        return Append(kTextPaperCut);
    case CannedCommand::Feed:
        return Append(kTextFeed);
    case CannedCommand::Drawer1:
        return Append(kTextDrawer1);
    case CannedCommand::Drawer2:
        return Append(kTextDrawer2);
    }
}

bool CommandEditor::RefuseBadPair(const char* format)
{
    const auto bad = FindBadHexPair(text_);
    if (!bad)
        return false;
    notifier_.Show(Format(format, PrintablePair(bad->pair).c_str(), bad->line, bad->column), kTitleWarning,
                   MessageIcon::Exclamation);
    return true;
}

void CommandEditor::WriteCommand()
{
    if (text_.empty() || RefuseBadPair(kMsgBadPairNotSent))
        return;
    const auto bytes = ParseHexText(text_);
    // The printer reports nothing back here; a failed write shows on paper.
    link_.Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

void CommandEditor::PrintTestString()
{
    link_.Write(reinterpret_cast<const std::uint8_t*>(kTestString), sizeof kTestString - 1);
    link_.Write(kCmdTestStringFeed, sizeof kCmdTestStringFeed);
}

void CommandEditor::Save()
{
    if (text_.empty()) {
        notifier_.Show(kMsgNoDataToWrite, kTitleWarning, MessageIcon::Exclamation);
        return;
    }
    if (RefuseBadPair(kMsgBadPairNotSaved))
        return;
    const auto path = files_.ChooseSave(CommandFileRequest(kCommandFileSaveTitle, kCommandFileSaveName));
    if (!path) {
        notifier_.Show(kMsgNoSaveFile, kTitleWarning, MessageIcon::Exclamation);
        return;
    }
    FileWriteError error;
    if (!WriteFileAtomically(*path, ParseHexText(text_), &error))
        notifier_.Show(Format(kMsgCantSaveFile, path->c_str(), error.reason.c_str()), kTitleWarning,
                       MessageIcon::Exclamation);
}

void CommandEditor::Load()
{
    const auto path = files_.ChooseOpen(CommandFileRequest(kCommandFileOpenTitle, kCommandFileOpenName));
    if (!path) {
        notifier_.Show(kMsgNoLoadFile, kTitleLoadWarning, MessageIcon::Exclamation);
        return;
    }
    const FileRead read = ReadBoundedFile(*path, kMaxCommandFileBytes);
    if (!read.Ok()) {
        notifier_.Show(Format(kMsgCantLoadFile, path->c_str(), read.reason.c_str()), kTitleWarning,
                       MessageIcon::Exclamation);
        return;
    }
    text_ = FormatHexText(read.bytes, kLoadedPairsPerLine);
}

}  // namespace zorvik
