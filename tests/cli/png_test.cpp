// kelvatrix-cli png from outside: describing a font image, resaving it unchanged, and the exit
// codes of input that is not a PNG image and of wrong usage.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "../core/png_test_images.h"
#include "test_support.h"

namespace {

using Result = kxtest::CommandResult;

Result Cli(const std::string& args, const kxtest::TempDir&) {
  return kxtest::RunWithInput(std::string(KX_CLI) + " png " + args);
}

// A 4 x 2 font, 2-bit palette of three colours, entry 2 invisible, with a text chunk.
pngtest::Bytes Font() {
  pngtest::ImageLayout s;
  s.colorType = PNG_COLOR_TYPE_PALETTE;
  s.depth = 2;
  s.width = 4;
  s.height = 2;
  s.samples = {2, 0, 0, 2, 2, 1, 1, 2};
  s.palette = {{255, 255, 255}, {0, 0, 128}, {255, 0, 255}};
  s.hasTrns = true;
  s.trnsAlpha = {255, 255, 0};
  s.beforeData = {{"tEXt", {'F', 'o', 'n', 't', 0, 'x'}}};
  return pngtest::Encode(s);
}

TEST(PngCli, InfoDescribesTheImageAsTheEditorSeesIt) {
  kxtest::TempDir dir;
  kxtest::WriteFile(dir / "font.png", Font());
  Result r = Cli("info " + (dir / "font.png").string(), dir);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "width\t4\nheight\t2\ncolor_type\tpalette\nbit_depth\t2\ninterlaced\tno\n"
            "palette_size\t3\ntransparent\tyes\ntransparent_color\t0xFF00FF\ncolors\t3\n");
}

TEST(PngCli, ResaveKeepsFormatPaletteTransparencyAndChunks) {
  kxtest::TempDir dir;
  pngtest::Bytes font = Font();
  kxtest::WriteFile(dir / "font.png", font);
  Result r = Cli("resave " + (dir / "font.png").string() + " " + (dir / "out.png").string(), dir);
  ASSERT_EQ(r.code, 0) << r.err;
  pngtest::Bytes out = kxtest::ReadFile(dir / "out.png");
  pngtest::Decoded a = pngtest::Decode(font), b = pngtest::Decode(out);
  EXPECT_EQ(b.colorType, a.colorType);
  EXPECT_EQ(b.depth, a.depth);
  EXPECT_EQ(b.rows, a.rows);
  ASSERT_EQ(b.palette.size(), 3u);
  EXPECT_EQ(b.palette[1].blue, 128);
  EXPECT_EQ(b.trnsAlpha, a.trnsAlpha);
  EXPECT_EQ(pngtest::ChunkNames(out), pngtest::ChunkNames(font));
}

TEST(PngCli, FailuresAndUsage) {
  kxtest::TempDir dir;
  kxtest::WriteText(dir / "picture.gif", "GIF89a\x01\x00\x01\x00");
  Result notPng = Cli("info " + (dir / "picture.gif").string(), dir);
  EXPECT_EQ(notPng.code, 1);
  EXPECT_EQ(notPng.err.rfind("Возникла ошибка при открытии рисунка", 0), 0u) << notPng.err;

  kxtest::WriteFile(dir / "font.png", Font());
  Result noFolder = Cli(
      "resave " + (dir / "font.png").string() + " " + (dir / "missing" / "out.png").string(), dir);
  EXPECT_EQ(noFolder.code, 1);
  EXPECT_EQ(noFolder.err.rfind("Возникла ошибка при сохранении рисунка", 0), 0u) << noFolder.err;

  for (const char* args : {"", "info", "resave a.png", "show a.png", "info a.png b.png"}) {
    SCOPED_TRACE(args);
    EXPECT_EQ(Cli(args, dir).code, 2);
  }
}

}  // namespace
