#pragma once
// A printer through the system's driver: the print queues, or a PDF file that closePdf finishes.
#include "platform/printer.h"

namespace ov {

class DriverPrinter : public Printer {
public:
    // The PDF file finished; error 68 when it cannot be written. Nothing for a print queue.
    virtual void closePdf() = 0;
};

}  // namespace ov
