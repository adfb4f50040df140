// The print system's questions on Windows, asked of the spooler directly: they come before
// the application object exists (pelkorl-print checks its printer first), where Qt's print
// support cannot answer yet. The spooler answers at once or not at all, so no limit applies;
// the job questions of cupsqueue.h are CUPS's alone and have no Windows counterpart here.
#include "printing/cupsqueue.h"
#include "text/wide.h"

#include <windows.h>

#include <winspool.h>

#include <vector>

namespace pelkorl {

SchedulerError schedulerError(const SchedulerLimits&) {
    return SchedulerError::None;
}

QueueState queueState(const std::string& queue, const SchedulerLimits&) {
    std::wstring name = wideFromUtf8(queue);
    HANDLE printer = nullptr;
    if (queue.empty() || !OpenPrinterW(name.data(), &printer, nullptr))
        return QueueState::Missing;
    QueueState state = QueueState::Accepting;
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> info(needed);
    if (needed > 0 && GetPrinterW(printer, 2, info.data(), needed, &needed)) {
        const auto* details = reinterpret_cast<const PRINTER_INFO_2W*>(info.data());
        if (details->Status & PRINTER_STATUS_PAUSED)
            state = QueueState::Stopped;
    }
    ClosePrinter(printer);
    return state;
}

DefaultQueue defaultQueue(const SchedulerLimits&) {
    DWORD size = 0;
    GetDefaultPrinterW(nullptr, &size);
    std::wstring name(size, L'\0');
    if (size == 0 || !GetDefaultPrinterW(name.data(), &size))
        return {};
    name.resize(size > 0 ? size - 1 : 0); // without the closing null
    return {utf8FromWide(name), SchedulerError::None};
}

std::string lastJobRefusal() {
    return {};
}

} // namespace pelkorl
