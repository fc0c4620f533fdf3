#include "ScriptedPrinter.h"

#include <algorithm>

namespace zorvik::test {
namespace {

bool Starts(const Bytes& w, std::initializer_list<int> prefix)
{
    return w.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), w.begin(), [](int a, std::uint8_t b) { return a == b; });
}

int EntryOf(std::uint8_t number)
{
    static constexpr std::uint8_t kNumbers[] = {1, 2, 3, 4, 5, 6, 11, 12};
    for (int i = 0; i < 8; ++i)
        if (kNumbers[i] == number)
            return i;
    return -1;
}

Bytes Text(const std::string& text, bool endless)
{
    Bytes reply{0x5F};
    reply.insert(reply.end(), text.begin(), text.end());
    if (!endless)
        reply.push_back(0x00);
    return reply;
}

}  // namespace

void ScriptedPrinter::Reply(FakePortState& state, const Bytes& reply) const
{
    if (silent)
        return;
    state.Queue(reply);
}

void ScriptedPrinter::Attach(FakePortState& state)
{
    state.responder = [this](const Bytes& w, FakePortState& s) {
        if (Starts(w, {0x1D, 0x49, 0x03})) {
            Reply(s, {0x6F});
        } else if (Starts(w, {0x1D, 0x49, 0x41})) {
            Reply(s, Text(firmware, endlessText));
            if (endlessText)
                for (int i = 0; i < 1000; ++i)
                    Reply(s, {'x'});
        } else if (Starts(w, {0x1D, 0x49, 0x43})) {
            Reply(s, Text(model, false));
        } else if (Starts(w, {0x1D, 0x49, 0x45})) {
            Reply(s, Text(language, false));
        } else if (Starts(w, {0x1D, 0x28, 0x45, 0x03, 0x00, 0x01})) {
            Reply(s, {0x37, 0x20, 0x00});
        } else if (Starts(w, {0x1D, 0x28, 0x45, 0x02, 0x00, 0x04}) && w.size() == 7) {
            const int e = EntryOf(w[6]);
            Bytes reply{0x37, 0x21};
            if (noSwitchHeader)
                reply = {0x21};
            const std::string& c = switches[static_cast<std::size_t>(std::max(e, 0))];
            reply.insert(reply.end(), c.begin(), c.end());
            reply.push_back(0x00);
            if (!switchShape) {
                Reply(s, reply);
            } else if (!silent) {
                for (const Bytes& piece : switchShape(w[6], reply))
                    s.Queue(piece);
            }
        } else if (Starts(w, {0x1D, 0x28, 0x45, 0x0A, 0x00, 0x03}) && w.size() == 15) {
            const std::string chars(w.begin() + 7, w.end());
            switchWrites.push_back(chars);
            const int e = EntryOf(w[6]);
            if (e >= 0)
                for (int i = 0; i < 8; ++i)
                    if (chars[static_cast<std::size_t>(i)] != '2')
                        switches[static_cast<std::size_t>(e)][static_cast<std::size_t>(i)] =
                            chars[static_cast<std::size_t>(i)];
        } else if (Starts(w, {0x08, 0x5E, 0x50, 0x31})) {
            Bytes reply{0x50, powerFlag, powerSeconds, 0x00};
            reply.resize(static_cast<std::size_t>(std::max(powerReplyLength, 0)));
            if (!reply.empty())
                Reply(s, reply);
        } else if (Starts(w, {0x08, 0x5E, 0x50, 0x30}) && w.size() == 6) {
            powerSets.push_back(w);
            powerFlag = w[4];
            powerSeconds = w[5];
        }
    };
}

FakePrinterLink::FakePrinterLink(bool byteWise)
{
    printer.Attach(*state);
    link = std::make_unique<PrinterLink>(std::make_unique<FakePortFactory>(state));
    PortSettings settings;
    settings.portName = byteWise ? "COM1" : "127.0.0.1";
    settings.tcpPort = byteWise ? 0u : 9100u;
    link->CreatePort(settings);
    link->Open();
}

int ManualTimerHost::RunAll(TimerClient& client, int bound)
{
    int fired = 0;
    while (!armed.empty() && fired < bound) {
        const int id = armed.begin()->first;
        armed.erase(armed.begin());
        client.OnTimer(id);
        ++fired;
    }
    return fired;
}

std::vector<std::string> MessageTexts(const RecordingNotifier& notifier)
{
    std::vector<std::string> out;
    for (const auto& m : notifier.messages)
        out.push_back(m.text);
    return out;
}

}  // namespace zorvik::test
