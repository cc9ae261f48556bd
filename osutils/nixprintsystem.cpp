// Linux and other Unix systems print through CUPS.
#include "printsystem.h"

#include <cups/cups.h>

namespace rigtune::os {

// Qt's CUPS engine hands the finished page to CUPS inside QPainter::end() and drops the answer, so
// a queue that refuses the job would pass for printed. libcups keeps that answer as this thread's
// last status.
bool printSystemTookLastJob() {
    const ipp_status_t status = cupsLastError();
    return status >= IPP_STATUS_OK && status <= IPP_STATUS_OK_EVENTS_COMPLETE;
}

} // namespace rigtune::os
