#pragma once
// The program's printer object: the operations the reports need of a printer driven through the
// system's driver. Text is code page 1252 bytes; a frame code reaches the driver as the character
// of the code page with the same byte value.
#include <string>

namespace ov {

enum class Orientation { Portrait = 1, Landscape = 2 };
// Horizontal turns the sheet on its short edge, vertical on its long edge.
enum class Duplex { Simplex = 1, Horizontal = 2, Vertical = 3 };

class Printer {
public:
    virtual ~Printer() = default;

    // The installed printer whose device name equals the name exactly becomes the current printer;
    // false, and the current printer stays, when none has that name.
    virtual bool selectPrinter(const std::string& deviceName) = 0;
    // Device name of the current printer (empty when there is none).
    virtual std::string currentPrinter() const = 0;

    virtual void setFontName(const std::string& name) = 0;
    virtual void setFontSize(double points) = 0;
    virtual double fontSize() const = 0;
    virtual void setBold(bool bold) = 0;
    virtual bool bold() const = 0;
    // Takes effect on the page begun next when the current page already holds output.
    virtual void setOrientation(Orientation orientation) = 0;
    // For the job under way; the next job starts with the printer's own setting again.
    virtual void setDuplex(Duplex duplex) = 0;

    // Text at the current position in the current font; with endLine the position moves to the
    // start of the next line.
    virtual void print(const std::string& text, bool endLine = true) = 0;
    virtual void newPage() = 0;
    // Ends the job: the pages printed so far go to the printer. Nothing happens when nothing was printed.
    virtual void endDoc() = 0;
    // Abandons the job under way: nothing of it reaches the printer.
    virtual void killDoc() = 0;
};

}  // namespace ov
