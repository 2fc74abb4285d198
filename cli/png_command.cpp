// kelvatrix-cli png: the PNG module the font editor uses, from the command line, for checking
// game fonts in batch. "info" describes an image as the editor sees it; "resave" loads and saves
// it the way the editor's save does, so a font can be checked to come through unchanged.
#include <cstdio>
#include <iostream>
#include <string>

#include "command.h"
#include "png/png_image.h"
#include "streams/error.h"

namespace {

int Run(const kxcli::Args& args);

const kxcli::CliCommand kCommand{
    "png",
    "kelvatrix-cli png info FILE\n"
    "    prints NAME<TAB>VALUE lines: width, height, color_type, bit_depth, interlaced,\n"
    "    palette_size, transparent, transparent_color (0xBBGGRR), colors (distinct colours)\n"
    "kelvatrix-cli png resave IN OUT\n"
    "    loads IN and saves it to OUT in its own colour type, bit depth and palette",
    Run};

const kxcli::CliRegistrar reg{kCommand};

std::string Hex6(uint32_t color) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%06X", static_cast<unsigned>(color & 0xFFFFFF));
  return buf;
}

int Run(const kxcli::Args& args) {
  if (args.empty()) return kxcli::UsageError(kCommand);
  const std::string& verb = args[0];
  size_t want = verb == "info" ? 2 : verb == "resave" ? 3 : 0;
  if (want == 0) return kxcli::UsageError(kCommand, "неизвестное действие: " + verb);
  if (args.size() != want) return kxcli::UsageError(kCommand);
  try {
    kx::PngImage img = kx::PngImage::LoadFile(args[1]);
    if (verb == "resave") {
      img.SaveFile(args[2]);
      return kxcli::kOk;
    }
    std::cout << "width\t" << img.Width() << '\n'
              << "height\t" << img.Height() << '\n'
              << "color_type\t" << kx::PngColorTypeName(img.ColorType()) << '\n'
              << "bit_depth\t" << img.BitDepth() << '\n'
              << "interlaced\t" << (img.Interlaced() ? "yes" : "no") << '\n'
              << "palette_size\t" << img.Palette().size() << '\n'
              << "transparent\t" << (img.Transparent() ? "yes" : "no") << '\n'
              << "transparent_color\t" << Hex6(img.TransparentColor()) << '\n'
              << "colors\t" << kx::ScanColors(img, false).size() << '\n';
    return kxcli::kOk;
  } catch (const kx::Error& e) {
    return kxcli::Fail(e.what());
  }
}

}  // namespace
