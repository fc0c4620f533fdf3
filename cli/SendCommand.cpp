#include <utility>

#include "base/BoundedFile.h"
#include "cli/CliCommand.h"
#include "cli/PieceSender.h"
#include "cmdtest/CommandEditor.h"
#include "cmdtest/HexText.h"
#include "link/NetPort.h"
#include "resources/CliTexts.h"

namespace zorvik {

namespace {

class SendCommand final : public CliCommand {
public:
    CLI::App* Add(CLI::App& app) override
    {
        auto* command = app.add_subcommand(
            "send", "Send command bytes: hex text as the Command Test Editor reads it (\"1b 40 0a\"), or a "
                    "command file (*.bin) of raw bytes");
        args_.AddTo(command);
        auto* hex = command->add_option("hex", hex_, "Hex text; pairs may be separated by blanks");
        auto* file = command->add_option("-f,--file", file_, "Command file of raw bytes");
        hex->excludes(file);
        return command;
    }

    int Run(CliContext& context) override
    {
        std::vector<std::uint8_t> bytes;
        if (!file_.empty()) {
            FileRead read = ReadBoundedFile(file_, kMaxCommandFileBytes);
            if (!read.Ok())
                throw UsageError{"--file: " + FileReadMessage(read, file_)};
            bytes = std::move(read.bytes);
        } else {
            if (hex_.empty())
                throw UsageError{"give hex text or --file"};
            // A pair that is not hexadecimal would become a byte nobody typed.
            if (const auto bad = FindBadHexPair(hex_))
                throw UsageError{"\"" + PrintablePair(bad->pair) + "\" at column " +
                                 std::to_string(bad->column) + " is not a hexadecimal pair; nothing sent"};
            bytes = ParseHexText(hex_);
        }
        if (bytes.empty())
            throw UsageError{"nothing to send"};
        return args_.Run(context, [&bytes](PrinterSession& printer, std::ostream& out) {
            const std::size_t total = bytes.size();
            // A position only for what takes more than one piece.
            const bool showPosition = total > PieceSender::kPieceSize;
            printer.Progress(kPhaseSending, showPosition ? 0 : -1);
            // The network port paces its pieces only within one write.
            PieceSender sender(printer.Link(), printer.GetPacer(), printer.Env().clock,
                               printer.Type() == InterfaceType::Ethernet ? NetPort::kPauseAfterPieceMs : 0);
            const std::size_t sent = sender.Send(bytes.data(), total, [&](std::size_t done) {
                if (showPosition)
                    printer.Progress(kPhaseSending, static_cast<int>(done * 100 / total));
            });
            out << sent << " of " << total << " bytes sent\n";
            if (sent != total) {
                printer.SetFailure(kMsgSendStalled + std::to_string(sent) + " of " + std::to_string(total) +
                                   " bytes sent");
                return false;
            }
            return true;
        });
    }

private:
    PrinterArgs args_;
    std::string hex_;
    std::string file_;
};

}  // namespace

std::unique_ptr<CliCommand> MakeSendCommand()
{
    return std::make_unique<SendCommand>();
}

}  // namespace zorvik
