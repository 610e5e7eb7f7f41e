#pragma once
// The program's printer object: the operations the reports need of a printer driven through the
// system's driver. Text is code page 1252 bytes; a frame code reaches the driver as the character
// of the code page with the same byte value, unless line drawing is on.
#include <string>

namespace ov {

enum class Orientation { Portrait = 1, Landscape = 2 };
// The suite's duplex values: 2, which it calls horizontal, binds on the long edge like a book;
// 3 binds on the short edge, like a notepad.
enum class Duplex { Simplex = 1, LongEdge = 2, ShortEdge = 3 };

// A sheet of the current printer standing upright, in points: its size and the margins it
// cannot print on.
struct Paper {
    double width = 0, height = 0;
    double left = 0, top = 0, right = 0, bottom = 0;
};

// How much room a fixed-pitch font takes at 1 point, in points: the advance of one character
// and the distance from one line to the next. Both grow in proportion to the size.
struct FontShape {
    double advance = 0;
    double lineSpacing = 0;
};

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
    // While on, the frame codes of the old DOS code page (179, 180, 191 to 197, 217, 218) print as
    // the line-drawing characters they stand for, as the printer fonts of a DOS code page drew
    // them; every other byte prints as its code page 1252 character.
    virtual void setLineDrawing(bool on) = 0;
    virtual bool lineDrawing() const = 0;
    // Takes effect on the page begun next when the current page already holds output.
    virtual void setOrientation(Orientation orientation) = 0;
    // For the job under way; the next job starts with the printer's own setting again.
    virtual void setDuplex(Duplex duplex) = 0;

    // The current printer's paper, and the room the named font takes: what a job needs to choose
    // a font size that fits its lines on the page.
    virtual Paper paper() const = 0;
    virtual FontShape fontShape(const std::string& fontName) const = 0;

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
