#include "charts/chart_file.h"

#include "core/cp1252.h"

namespace ov {

std::optional<ChartFileFormat> ChartFileFormatOf(const std::filesystem::path& file) {
    const std::string ext = cp1252::toUpper(file.extension().string());
    if (ext == ".PNG") return ChartFileFormat::Png;
    if (ext == ".SVG") return ChartFileFormat::Svg;
    if (ext == ".PDF") return ChartFileFormat::Pdf;
    return std::nullopt;
}

}  // namespace ov
