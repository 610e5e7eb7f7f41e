#pragma once
// What a chart file is: its format, from the name's extension, and its size in pixels.
#include <filesystem>
#include <optional>

namespace ov {

struct PixelSize {
    int width = 0;
    int height = 0;
};

enum class ChartFileFormat { Png, Svg, Pdf };

// The format of a file name's extension, in any letter case; nothing for another extension.
std::optional<ChartFileFormat> ChartFileFormatOf(const std::filesystem::path& file);

}  // namespace ov
