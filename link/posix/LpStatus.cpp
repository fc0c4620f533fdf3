#include "link/posix/LpStatus.h"

#include <linux/lp.h>

#include "link/ParallelDevice.h"

namespace zorvik::posix {

// LPGETSTATUS hands back the raw status register:
//
//   register bit            line       meaning when ...          status byte bit
//   LP_PBUSY   0x80 clear   BUSY       printer busy              kParallelBusy         0x40
//   LP_POUTPA  0x20 set     PAPER-OUT  paper empty               kParallelPaperEmpty   0x04
//   LP_PSELECD 0x10 set     SELECT     printer selected          kParallelSelected     0x80
//   LP_PERRORP 0x08 clear   nFAULT     printer off line / error  kParallelOffLine      0x08
//   all four lines high (register 0x78 in the upper five bits,  kParallelNotConnected 0x20
//   ACK included): nothing drives the lines, no printer on the cable
//
// ACK (LP_PACK) only pulses during a transfer and is not reported. A ready
// printer gives exactly kParallelSelected.
std::uint8_t ParallelStatusFromLp(int lpStatus)
{
    constexpr int kLines = LP_PBUSY | LP_PACK | LP_POUTPA | LP_PSELECD | LP_PERRORP;
    constexpr int kFloating = LP_PACK | LP_POUTPA | LP_PSELECD | LP_PERRORP;  // BUSY reads inverted
    if ((lpStatus & kLines) == kFloating)
        return kParallelNotConnected;
    std::uint8_t status = 0;
    if (lpStatus & LP_PSELECD)
        status |= kParallelSelected;
    if (!(lpStatus & LP_PBUSY))
        status |= kParallelBusy;
    if (lpStatus & LP_POUTPA)
        status |= kParallelPaperEmpty;
    if (!(lpStatus & LP_PERRORP))
        status |= kParallelOffLine;
    return status;
}

}  // namespace zorvik::posix
