// The Windows print spooler behind SpoolerCalls: local queues at level 2, and a
// queue's port text changed through its full level-2 record.
#include <windows.h>

#include <winspool.h>

#include <vector>

#include "app/SpoolerQueueRedirector.h"
#include "app/SystemQueueRedirector.h"

namespace zorvik {
namespace {

class Win32Spooler final : public SpoolerCalls {
public:
    std::vector<SpoolerQueue> ListQueues() override
    {
        DWORD size = 0;
        DWORD count = 0;
        EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &size, &count);
        if (size == 0)
            return {};
        std::vector<BYTE> buffer(size);
        if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), size, &size, &count))
            return {};
        std::vector<SpoolerQueue> queues;
        const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
        for (DWORD i = 0; i < count; ++i)
            if (info[i].pPrinterName)
                queues.push_back({info[i].pPrinterName, info[i].pPortName ? info[i].pPortName : ""});
        return queues;
    }

    SetResult SetPort(const std::string& queue, const std::string& port) override
    {
        HANDLE printer = nullptr;
        PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
        if (!OpenPrinterA(const_cast<char*>(queue.c_str()), &printer, &access))
            return SetResult::NotOpened;
        SetResult result = SetResult::ReadFailed;
        DWORD size = 0;
        if (!GetPrinterA(printer, 2, nullptr, 0, &size) && GetLastError() == ERROR_INSUFFICIENT_BUFFER &&
            size > 0) {
            std::vector<BYTE> record(size, 0);
            if (GetPrinterA(printer, 2, record.data(), size, &size)) {
                auto* info = reinterpret_cast<PRINTER_INFO_2A*>(record.data());
                std::string text = port;
                info->pPortName = text.data();
                result =
                    SetPrinterA(printer, 2, record.data(), 0) ? SetResult::Changed : SetResult::WriteFailed;
            }
        }
        ClosePrinter(printer);
        return result;
    }
};

class SpoolerRedirector final : public QueueRedirector {
public:
    void Release(const std::string& portName) override { redirector_.Release(portName); }
    void RestoreAll() override { redirector_.RestoreAll(); }

private:
    Win32Spooler spooler_;
    SpoolerQueueRedirector redirector_{spooler_};
};

}  // namespace

std::unique_ptr<QueueRedirector> MakeSystemQueueRedirector()
{
    return std::make_unique<SpoolerRedirector>();
}

}  // namespace zorvik
