#include "sim/VirtualPrinter.h"

#include <algorithm>
#include <cstdio>

#include "resources/FontImageList.h"
#include "resources/FontImageMagic.h"
#include "resources/LinkTexts.h"
#include "resources/SimTexts.h"

namespace zorvik {

namespace {

constexpr std::uint8_t ESC = 0x1B;
constexpr std::uint8_t GS = 0x1D;
constexpr std::uint8_t FS = 0x1C;
constexpr std::uint8_t DLE = 0x10;
constexpr std::uint8_t VENDOR = 0x08;
// GS ( E pL pH fn args: where the function byte stands and where its arguments begin
// (with the switch number, for functions 3 and 4).
constexpr std::size_t kUserSettingFnAt = 5;
constexpr std::size_t kUserSettingArgsAt = 6;

// Lengths of the fixed-size ESC commands the printer knows; any other ESC x is taken
// as two bytes.
std::size_t EscLength(std::uint8_t letter)
{
    switch (letter) {
    case ' ':
    case '!':
    case '-':
    case '3':
    case 'E':
    case 'G':
    case 'J':
    case 'M':
    case 'R':
    case 'V':
    case 'a':
    case 'd':
    case 'r':
    case 't':
    case '{':
    case 'U':
    case '=':
        return 3;
    case '$':
    case '\\':
    case 'c':
        return 4;
    case 'p':
        return 5;
    default:
        return 2;
    }
}

std::size_t GsLength(std::uint8_t letter)
{
    switch (letter) {
    case '!':
    case 'B':
    case 'H':
    case 'I':
    case 'a':
    case 'b':
    case 'f':
    case 'h':
    case 'r':
    case 'w':
    case 'V':
        return 3;
    case '$':
    case 'L':
    case 'P':
    case 'W':
    case '\\':
        return 4;
    default:
        return 2;
    }
}

// Commands that may follow a font image at once; one of them where an image could
// end ends it there.
const std::vector<std::vector<std::uint8_t>>& FollowUps()
{
    static const std::vector<std::vector<std::uint8_t>> commands = {
        {ESC, '@'},
        {ESC, '=', 1},
        {GS, 'a', 0},
        {GS, 'I', 3},
        {GS, 'I', 65},
        {GS, 'I', 66},
        {GS, 'I', 67},
        {GS, 'I', 69},
        {GS, '(', 'E'},
        {VENDOR, 0x5E, 0x50, 0x30},
        {VENDOR, 0x5E, 0x50, 0x31},
        {VENDOR, 0x39, 1, 0},
        {VENDOR, 0x39, 2, 0},
    };
    return commands;
}

// 1: a follow-up command starts the bytes; 0: none does; -1: too few bytes to tell.
int FollowUpAhead(const std::vector<std::uint8_t>& bytes)
{
    bool undecided = false;
    for (const auto& command : FollowUps()) {
        const std::size_t n = std::min(command.size(), bytes.size());
        if (!std::equal(command.begin(), command.begin() + static_cast<std::ptrdiff_t>(n), bytes.begin()))
            continue;
        if (n == command.size())
            return 1;
        undecided = true;
    }
    return undecided ? -1 : 0;
}

bool IsFontSize(std::size_t n)
{
    return std::any_of(kFontImages.begin(), kFontImages.end(),
                       [n](const FontImageInfo& image) { return image.size == n; });
}

std::string Hex(std::uint8_t b)
{
    char cell[4];
    std::snprintf(cell, sizeof cell, "%02X", b);
    return cell;
}

}  // namespace

PrinterIdentity::PrinterIdentity()
    : maker(kMakerName), model(kModelName), firmware(kSimFirmware), language(kSimLanguage)
{
}

VirtualPrinter::VirtualPrinter(PrinterIdentity identity, SimFaults faults)
    : identity_(std::move(identity)), faults_(std::move(faults))
{
    for (int n : kSwitchNumbers)
        switches_[n] = 0;
}

bool VirtualPrinter::IsSwitchNumber(int number)
{
    return std::find(std::begin(kSwitchNumbers), std::end(kSwitchNumbers), number) !=
           std::end(kSwitchNumbers);
}

std::uint8_t VirtualPrinter::Switch(int number) const
{
    const auto it = switches_.find(number);
    return it == switches_.end() ? 0 : it->second;
}

void VirtualPrinter::SetSwitch(int number, std::uint8_t bits)
{
    if (IsSwitchNumber(number))
        switches_[number] = bits;
}

bool VirtualPrinter::FontComplete() const
{
    return fontStarted_ && IsFontSize(fontBytes_);
}

std::vector<std::string> VirtualPrinter::CommandNames() const
{
    std::vector<std::string> names;
    for (const auto& c : log_)
        names.push_back(c.name);
    return names;
}

void VirtualPrinter::ResetStream()
{
    pending_.clear();
    inFont_ = false;
}

std::vector<SimReplyOut> VirtualPrinter::FeedReplies(const std::uint8_t* data, std::size_t count)
{
    Replies replies;
    if (!data || count == 0)
        return replies;
    received_.insert(received_.end(), data, data + count);
    pending_.insert(pending_.end(), data, data + count);
    std::size_t used = 0;
    while (used < pending_.size()) {
        // Parsers look at the front of pending_; drop what was consumed first.
        if (used > 0) {
            pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(used));
            used = 0;
        }
        const bool wasInFont = inFont_;
        const std::size_t n = inFont_ ? TakeFontData() : ParseOne(replies);
        if (n == 0 && wasInFont == inFont_)
            break;  // more bytes needed
        used = n;
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(used));
    return replies;
}

VirtualPrinter::Bytes VirtualPrinter::Feed(const std::uint8_t* data, std::size_t count)
{
    Bytes answer;
    for (const auto& reply : FeedReplies(data, count))
        answer.insert(answer.end(), reply.bytes.begin(), reply.bytes.end());
    return answer;
}

void VirtualPrinter::Record(std::string name, std::size_t length)
{
    SimCommand command{std::move(name),
                       Bytes(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(length))};
    log_.push_back(command);
    if (observer_)
        observer_(log_.back());
}

void VirtualPrinter::Answer(Replies& replies, SimReply kind, Bytes answer, int switchNumber) const
{
    if (faults_.silent || answer.empty())
        return;
    if (faults_.Chooses(kind, switchNumber)) {
        if (faults_.truncateReplyTo > 0 && answer.size() > faults_.truncateReplyTo)
            answer.resize(faults_.truncateReplyTo);
        const std::size_t head = std::min(answer.size(), faults_.replaceHead.size());
        std::copy_n(faults_.replaceHead.begin(), head, answer.begin());
        answer.insert(answer.begin(), faults_.strayBeforeReply.begin(), faults_.strayBeforeReply.end());
    }
    replies.push_back({kind, switchNumber, std::move(answer)});
}

void VirtualPrinter::AnswerText(Replies& replies, const std::string& text) const
{
    Bytes answer{0x5F};
    answer.insert(answer.end(), text.begin(), text.end());
    answer.push_back(0x00);
    Answer(replies, kSimReplyText, std::move(answer));
}

std::size_t VirtualPrinter::ParseOne(Replies& replies)
{
    switch (pending_[0]) {
    case ESC:
        return ParseEsc(replies);
    case GS:
        return ParseGs(replies);
    case VENDOR: {
        const std::size_t n = ParseVendor(replies);
        if (n != static_cast<std::size_t>(-1))
            return n;
        break;  // not a vendor command: plain data
    }
    case FS:
        return ParseFs();
    case DLE:
        if (pending_.size() < 3)
            return 0;
        if (pending_[1] == 0x04) {
            // Real-time status: one byte, whatever the printer's condition.
            Record("DLE EOT " + std::to_string(pending_[2]), 3);
            Answer(replies, kSimReplyStatus, {StatusByte(pending_[2])});
            return 3;
        }
        break;
    default:
        break;
    }
    // Plain data (text to print): runs of it share one log entry.
    if (log_.empty() || log_.back().name != "data")
        Record("data", 1);
    else
        log_.back().bytes.push_back(pending_[0]);
    printData_.push_back(pending_[0]);
    return 1;
}

std::uint8_t VirtualPrinter::StatusByte(int request) const
{
    constexpr std::uint8_t kFixed = 0x12;  // 0xx1xx10
    const auto on = [this](unsigned conditions) { return (conditions_ & conditions) != 0; };
    const unsigned errors =
        kSimCutterError | kSimRecoverableError | kSimUnrecoverableError | kSimAutoRecoverableError;
    unsigned byte = kFixed;
    switch (request) {
    case 1:  // printer
        byte |= on(kSimOffline | kSimCoverOpen | kSimPaperEnd | errors) ? 0x08 : 0;
        byte |= on(kSimRecoverableError | kSimAutoRecoverableError) ? 0x20 : 0;
        byte |= on(kSimFeedButton) ? 0x40 : 0;
        break;
    case 2:  // offline cause
        byte |= on(kSimCoverOpen) ? 0x04 : 0;
        byte |= on(kSimFeedButton) ? 0x08 : 0;
        byte |= on(kSimPaperEnd) ? 0x20 : 0;
        byte |= on(errors) ? 0x40 : 0;
        break;
    case 3:  // error cause
        byte |= on(kSimRecoverableError) ? 0x04 : 0;
        byte |= on(kSimCutterError) ? 0x08 : 0;
        byte |= on(kSimUnrecoverableError) ? 0x20 : 0;
        byte |= on(kSimAutoRecoverableError) ? 0x40 : 0;
        break;
    case 4:  // paper: an empty roll is also a nearly empty one
        byte |= on(kSimPaperNearEnd | kSimPaperEnd) ? 0x0C : 0;
        byte |= on(kSimPaperEnd) ? 0x60 : 0;
        break;
    default:
        break;
    }
    return static_cast<std::uint8_t>(byte);
}

std::size_t VirtualPrinter::ParseEsc(Replies& replies)
{
    if (pending_.size() < 2)
        return 0;
    const std::uint8_t letter = pending_[1];
    const std::size_t length = EscLength(letter);
    if (pending_.size() < length)
        return 0;
    if (letter == '@') {
        Record("ESC @", 2);
        Answer(replies, kSimReplyStray, faults_.strayAfterInit);
    } else if (letter == '=') {
        Record("ESC = " + std::to_string(pending_[2]), 3);
    } else {
        std::string name = "ESC ";
        name += static_cast<char>(letter >= 0x20 && letter < 0x7F ? letter : '?');
        Record(name, length);
    }
    return length;
}

std::size_t VirtualPrinter::ParseGs(Replies& replies)
{
    if (pending_.size() < 2)
        return 0;
    const std::uint8_t letter = pending_[1];
    if (letter == '(') {
        if (pending_.size() < 5)
            return 0;
        const std::size_t length = 5 + pending_[3] + 256u * pending_[4];
        if (pending_.size() < length)
            return 0;
        const std::uint8_t fn = pending_[2];
        if (fn == 'E')
            return ParseUserSetting(length, replies);
        if (fn == 'A' && length == 7 && pending_[5] == 0x01 && pending_[6] == 0x02) {
            ++selfTests_;
            Record("GS ( A self test", length);
            return length;
        }
        std::string name = "GS ( ";
        name += static_cast<char>(fn >= 0x20 && fn < 0x7F ? fn : '?');
        Record(name, length);
        return length;
    }
    std::size_t length = GsLength(letter);
    if (letter == 'V' && pending_.size() >= 3 && (pending_[2] == 65 || pending_[2] == 66))
        length = 4;  // cut with feed
    if (pending_.size() < length)
        return 0;
    if (letter == 'I') {
        const std::uint8_t kind = pending_[2];
        Record("GS I " + std::to_string(kind), 3);
        if (kind == 3 && !faults_.noIdReply) {
            Bytes answer(static_cast<std::size_t>(std::max(0, faults_.idFillerBytes)), faults_.idFiller);
            answer.push_back(0x6F);
            Answer(replies, kSimReplyId, std::move(answer));
        } else if (kind == 65) {
            AnswerText(replies, identity_.firmware);
        } else if (kind == 66) {
            AnswerText(replies, identity_.maker);
        } else if (kind == 67) {
            AnswerText(replies, identity_.model);
        } else if (kind == 69) {
            AnswerText(replies, identity_.language);
        }
        return 3;
    }
    if (letter == 'a') {
        Record("GS a " + std::to_string(pending_[2]), 3);
        return 3;
    }
    std::string name = "GS ";
    name += static_cast<char>(letter >= 0x20 && letter < 0x7F ? letter : '?');
    Record(name, length);
    return length;
}

std::size_t VirtualPrinter::ParseUserSetting(std::size_t length, Replies& replies)
{
    const std::size_t params = length - 5;
    if (params == 0) {
        Record("GS ( E without function (skipped)", length);
        return length;
    }
    const std::uint8_t fn = pending_[kUserSettingFnAt];
    const std::string args(pending_.begin() + static_cast<std::ptrdiff_t>(kUserSettingArgsAt),
                           pending_.begin() + static_cast<std::ptrdiff_t>(length));
    if (fn == 1 && args == kSimUserModeIn) {
        userMode_ = true;
        Record("GS ( E fn 1 enter user setting mode", length);
        Answer(replies, kSimReplyUserMode, Bytes(std::begin(kSimUserModeReply), std::end(kSimUserModeReply)));
    } else if (fn == 2 && args == kSimUserModeOut) {
        // Stores the switches and restarts; the printer leaves user setting mode.
        userMode_ = false;
        ++restarts_;
        Record("GS ( E fn 2 end user setting mode", length);
    } else if (fn == 3 && params == 10) {
        const int number = pending_[kUserSettingArgsAt];
        std::string name = "GS ( E fn 3 switch " + std::to_string(number) + " = " + args.substr(1);
        if (!userMode_) {
            name += " (ignored: not in user setting mode)";
        } else if (!IsSwitchNumber(number)) {
            name += " (ignored: no such switch)";
        } else if (number == faults_.ignoredSwitchWrite) {
            name += " (ignored on request)";
        } else {
            std::uint8_t bits = switches_[number];
            // c8 first ... c1 last; "2" (and anything else) leaves the pin alone.
            for (int i = 0; i < 8; ++i) {
                const std::uint8_t mask = static_cast<std::uint8_t>(1u << (7 - i));
                const char c = args[1 + static_cast<std::size_t>(i)];
                if (c == '1')
                    bits = static_cast<std::uint8_t>(bits | mask);
                else if (c == '0')
                    bits = static_cast<std::uint8_t>(bits & ~mask);
            }
            switches_[number] = bits;
        }
        Record(name, length);
    } else if (fn == 4 && params == 2) {
        const int number = pending_[kUserSettingArgsAt];
        Record("GS ( E fn 4 switch " + std::to_string(number), length);
        if (IsSwitchNumber(number) && number != faults_.silentSwitch) {
            Bytes answer(std::begin(kSimSwitchReplyHeader), std::end(kSimSwitchReplyHeader));
            const std::uint8_t bits = switches_[number];
            for (int pin = 8; pin >= 1; --pin) {
                char c = (bits >> (pin - 1)) & 1 ? '1' : '0';
                if (number == faults_.badCharSwitch && pin == faults_.badCharPin)
                    c = faults_.badChar;
                answer.push_back(static_cast<std::uint8_t>(c));
            }
            answer.push_back(kSimSwitchReplyEnd);
            Answer(replies, kSimReplySwitch, std::move(answer), number);
        }
    } else {
        Record("GS ( E fn " + std::to_string(fn), length);
    }
    return length;
}

// Returns size_t(-1) when the 08 byte starts no vendor command.
std::size_t VirtualPrinter::ParseVendor(Replies& replies)
{
    if (pending_.size() < 2)
        return 0;
    if (pending_[1] == 0x5E) {
        if (pending_.size() < 4)
            return 0;
        if (pending_[2] == 0x50 && pending_[3] == 0x31) {
            Record("power save query", 4);
            Bytes answer{kSimPowerSaveReplyLead, static_cast<std::uint8_t>(powerSaveOn_ ? 1 : 0),
                         powerSaveSeconds_, 0x00};
            answer.resize(static_cast<std::size_t>(std::clamp(faults_.powerSaveReplyBytes, 0, 4)));
            Answer(replies, kSimReplyPowerSave, std::move(answer));
            return 4;
        }
        if (pending_[2] == 0x50 && pending_[3] == 0x30) {
            if (pending_.size() < 6)
                return 0;
            powerSaveOn_ = pending_[4] != 0;
            powerSaveSeconds_ = pending_[5];
            Record("power save set " + std::to_string(pending_[4]) + " " + std::to_string(pending_[5]), 6);
            return 6;
        }
        return static_cast<std::size_t>(-1);
    }
    if (pending_[1] == 0x39) {
        if (pending_.size() < 4)
            return 0;
        if (pending_[2] == 0x01 && pending_[3] == 0x00) {
            ++statusPrints_;
            Record("print status", 4);
            return 4;
        }
        if (pending_[2] == 0x02 && pending_[3] == 0x00) {
            ++codePagePrints_;
            Record("print code page", 4);
            return 4;
        }
    }
    return static_cast<std::size_t>(-1);
}

std::size_t VirtualPrinter::ParseFs()
{
    if (pending_.size() < 2)
        return 0;
    if (pending_[1] == kFontImageMagic[1] || pending_[1] == 'p') {
        if (pending_.size() < 4)
            return 0;
        if (std::equal(std::begin(kFontImageMagic), std::end(kFontImageMagic), pending_.begin())) {
            Record("font image start", 4);
            fontStarted_ = true;
            inFont_ = true;
            fontBytes_ = 4;
            return 4;
        }
        if (pending_[1] == 'p') {
            Record("FS p " + std::to_string(pending_[2]) + " " + std::to_string(pending_[3]), 4);
            return 4;
        }
    }
    Record("FS " + Hex(pending_[1]), 2);
    return 2;
}

std::size_t VirtualPrinter::TakeFontData()
{
    if (IsFontSize(fontBytes_)) {
        // The image may end here: it does when a command follows.
        const int ahead = FollowUpAhead(pending_);
        if (ahead < 0)
            return 0;
        if (ahead > 0) {
            inFont_ = false;
            log_.push_back({"font image end, " + std::to_string(fontBytes_) + " bytes", {}});
            if (observer_)
                observer_(log_.back());
            return 0;
        }
    }
    std::size_t take = pending_.size();
    for (const FontImageInfo& image : kFontImages)
        if (image.size > fontBytes_)
            take = std::min<std::size_t>(take, image.size - fontBytes_);
    fontBytes_ += take;
    return take;
}

}  // namespace zorvik
