// Draws Velmora's icon and writes it as a Windows .ico: one 50 x 67 image,
// 8 bits per pixel with a 256-colour palette and a 1-bit transparency mask.
// The picture is a surveyor's view of one alignment: a straight running into
// a transition curve and an arc, station ticks along it, and the tangent
// (azimuth) arrow at one point, on a sheet of drawing paper.
//
//   make_icon app/
//
// writes velmora.ico, and the same image split into the two resources the
// executable carries: velmora-icon.bin (icon 30001) and velmora-group.bin
// (group icon 1, naming image 30001).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 50;
constexpr int kHeight = 67;

enum Colour : std::uint8_t { kClear, kPaper, kEdge, kRoad, kCentre, kTick, kArrow, kGrid };
constexpr std::uint8_t kPalette[][3] = {
    {0, 0, 0},       {250, 246, 232}, {96, 84, 60},   {70, 74, 82},
    {255, 255, 255}, {200, 30, 30},   {20, 110, 200}, {214, 222, 206},
};

struct Canvas {
  std::vector<std::uint8_t> pixels = std::vector<std::uint8_t>(kWidth * kHeight, kClear);
  void Set(int x, int y, std::uint8_t c) {
    if (x >= 0 && x < kWidth && y >= 0 && y < kHeight) {
      pixels[static_cast<std::size_t>(y * kWidth + x)] = c;
    }
  }
  void Disc(double cx, double cy, double r, std::uint8_t c) {
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= r) {
          Set(x, y, c);
        }
      }
    }
  }
};

// The alignment's centreline at distance s (0..1): straight, then
// curvature growing linearly (a spiral), then constant (an arc).
void Alignment(double s, double& x, double& y, double& heading) {
  x = 10;
  y = 62;
  heading = -M_PI / 2;  // up the sheet
  const int steps = 400;
  for (int i = 0; i < steps * s; ++i) {
    const double t = static_cast<double>(i) / steps;
    const double curvature = t < 0.3 ? 0 : (t < 0.6 ? (t - 0.3) / 0.3 : 1.0) * 0.07;
    heading += curvature * 0.16;
    x += std::cos(heading) * 0.16;
    y += std::sin(heading) * 0.16;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icon out-folder/\n");
    return 2;
  }
  Canvas canvas;
  // Drawing paper with a faint grid and a darker edge.
  for (int y = 1; y < kHeight - 1; ++y) {
    for (int x = 1; x < kWidth - 1; ++x) {
      const bool edge = x == 1 || y == 1 || x == kWidth - 2 || y == kHeight - 2;
      canvas.Set(x, y, edge ? kEdge : ((x % 8 == 0 || y % 8 == 0) ? kGrid : kPaper));
    }
  }
  // The road, its centreline, and station ticks.
  for (int i = 0; i <= 1000; ++i) {
    double x, y, h;
    Alignment(i / 1000.0, x, y, h);
    canvas.Disc(x, y, 3.2, kRoad);
  }
  for (int i = 0; i <= 1000; ++i) {
    double x, y, h;
    Alignment(i / 1000.0, x, y, h);
    if ((i / 40) % 2 == 0) {
      canvas.Set(static_cast<int>(x), static_cast<int>(y), kCentre);
    }
  }
  for (int k = 1; k <= 5; ++k) {
    double x, y, h;
    Alignment(k / 6.0, x, y, h);
    for (double d = 3.5; d <= 6.5; d += 0.5) {
      canvas.Set(static_cast<int>(x + std::cos(h + M_PI / 2) * d),
                 static_cast<int>(y + std::sin(h + M_PI / 2) * d), kTick);
    }
  }
  // The azimuth at one point: the tangent arrow.
  double px, py, ph;
  Alignment(0.7, px, py, ph);
  for (double d = 0; d <= 16; d += 0.25) {
    canvas.Disc(px + std::cos(ph) * d, py + std::sin(ph) * d, 0.8, kArrow);
  }
  const double tipx = px + std::cos(ph) * 17, tipy = py + std::sin(ph) * 17;
  for (double d = 0; d <= 5; d += 0.25) {
    for (const double side : {-1.0, 1.0}) {
      const double a = ph + M_PI - side * 0.5;
      canvas.Disc(tipx + std::cos(a) * d, tipy + std::sin(a) * d, 0.7, kArrow);
    }
  }

  // .ico: ICONDIR, one ICONDIRENTRY, then BITMAPINFOHEADER, palette,
  // colour rows and mask rows, both bottom-up.
  const int colour_stride = (kWidth + 3) / 4 * 4;
  const int mask_stride = (kWidth + 31) / 32 * 4;
  std::vector<std::uint8_t> image;
  const auto u16 = [](std::vector<std::uint8_t>& v, unsigned x) {
    v.push_back(static_cast<std::uint8_t>(x));
    v.push_back(static_cast<std::uint8_t>(x >> 8));
  };
  const auto u32 = [&u16](std::vector<std::uint8_t>& v, unsigned x) {
    u16(v, x & 0xFFFF);
    u16(v, x >> 16);
  };
  u32(image, 40);
  u32(image, kWidth);
  u32(image, kHeight * 2);
  u16(image, 1);
  u16(image, 8);
  u32(image, 0);  // BI_RGB
  u32(image, static_cast<unsigned>((colour_stride + mask_stride) * kHeight));
  u32(image, 0);
  u32(image, 0);
  u32(image, 256);
  u32(image, 0);
  for (int i = 0; i < 256; ++i) {
    const bool used = i < static_cast<int>(sizeof kPalette / sizeof kPalette[0]);
    image.push_back(used ? kPalette[i][2] : 0);
    image.push_back(used ? kPalette[i][1] : 0);
    image.push_back(used ? kPalette[i][0] : 0);
    image.push_back(0);
  }
  for (int y = kHeight - 1; y >= 0; --y) {
    for (int x = 0; x < colour_stride; ++x) {
      image.push_back(x < kWidth ? canvas.pixels[static_cast<std::size_t>(y * kWidth + x)] : 0);
    }
  }
  for (int y = kHeight - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(static_cast<std::size_t>(mask_stride), 0);
    for (int x = 0; x < kWidth; ++x) {
      if (canvas.pixels[static_cast<std::size_t>(y * kWidth + x)] == kClear) {
        row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
    image.insert(image.end(), row.begin(), row.end());
  }

  // The entry that describes the image, in the .ico (offset) and in the
  // group resource (resource id).
  const auto entry = [&](std::vector<std::uint8_t>& v) {
    v.push_back(kWidth);
    v.push_back(kHeight);
    v.push_back(0);  // 256 colours
    v.push_back(0);
    u16(v, 1);
    u16(v, 8);
    u32(v, static_cast<unsigned>(image.size()));
  };
  const auto header = [&](std::vector<std::uint8_t>& v) {
    u16(v, 0);
    u16(v, 1);  // icon
    u16(v, 1);  // one image
  };
  std::vector<std::uint8_t> ico;
  header(ico);
  entry(ico);
  u32(ico, 6 + 16);
  ico.insert(ico.end(), image.begin(), image.end());
  std::vector<std::uint8_t> group;
  header(group);
  entry(group);
  u16(group, 30001);

  const std::string folder = argv[1];
  const auto write = [&folder](const char* name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(folder + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  };
  write("velmora.ico", ico);
  write("velmora-icon.bin", image);
  write("velmora-group.bin", group);
  return 0;
}
