// What a test reads of the objects a host downloaded: their bytes, lines and decoded dots.
#include "object_contents.h"
#include "printer_sim_impl.h"

namespace tarvo::sim {
namespace {

DecodedGlyph Decoded(int code, const BitmapGlyph& glyph) {
    return {
        code, glyph.aWidth, glyph.z, glyph.dots.width(), glyph.dots.height(), glyph.dots.rows()};
}

}  // namespace

std::optional<std::string> PrinterSim::outlineFontData(unsigned id) const {
    auto content = impl_->downloadContent<OutlineFontContent>(ObjectKind::Font, id);
    return content ? std::optional<std::string>(std::move(content->bytes)) : std::nullopt;
}

std::vector<std::string> PrinterSim::ibfLines(unsigned id) const {
    auto content = impl_->downloadContent<ImageFontContent>(ObjectKind::Font, id);
    return content ? std::move(content->lines) : std::vector<std::string>();
}

std::vector<DecodedGlyph> PrinterSim::bitmapFontGlyphs(unsigned id) const {
    const auto font = impl_->downloadContent<BitmapFontContent>(ObjectKind::Font, id);
    std::vector<DecodedGlyph> glyphs;
    if (font) {
        for (const auto& [code, glyph] : font->glyphs)
            glyphs.push_back(Decoded(code, glyph));
    }
    return glyphs;
}

std::optional<std::pair<int, int>> PrinterSim::bitmapFontCell(unsigned id) const {
    const auto font = impl_->downloadContent<BitmapFontContent>(ObjectKind::Font, id);
    if (!font)
        return std::nullopt;
    return std::pair(font->maxWidth, font->cellHeight);
}

std::optional<DecodedImage> PrinterSim::graphicImage(unsigned id) const {
    const auto graphic = impl_->downloadContent<GraphicContent>(ObjectKind::Graphic, id);
    if (!graphic)
        return std::nullopt;
    return DecodedImage{graphic->dots.width(), graphic->dots.height(), graphic->dots.rows()};
}

std::vector<std::string> PrinterSim::formatLines(unsigned id) const {
    auto content = impl_->downloadContent<CommandLinesContent>(ObjectKind::Format, id);
    return content ? std::move(content->lines) : std::vector<std::string>();
}

std::vector<std::string> PrinterSim::pageLines(unsigned id) const {
    auto content = impl_->downloadContent<CommandLinesContent>(ObjectKind::Page, id);
    return content ? std::move(content->lines) : std::vector<std::string>();
}

std::string PrinterSim::lastRefusal() const {
    impl_->settle();
    return impl_->readState(
        [](const PrinterState& state, const LineSettings&) { return state.downloads.lastRefusal; });
}

}  // namespace tarvo::sim
