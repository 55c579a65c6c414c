// Writes a road for timing `velmora-cli stakeout` and `locate`: a 20 km
// alignment of 200 elements (straights, spirals in, arcs and spirals out,
// curves turning either way, radii 500 to 1500) from station K10+000, and N
// points beside it (names, coordinates to the millimetre, up to 30 either
// side of the centre line).
//   velmora_road_files ELEMENTS POINTS N SEED
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "road/alignment.h"
#include "road/geometry.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: velmora_road_files ELEMENTS POINTS N SEED\n");
    return 2;
  }
  const long long count = std::stoll(argv[3]);
  std::mt19937_64 random(std::stoull(argv[4]));
  std::uniform_real_distribution<double> unit(0.0, 1.0);

  constexpr int kElements = 200;
  constexpr double kLength = 100.0;
  constexpr double kStart = 10000.0;
  std::FILE* elements = std::fopen(argv[1], "wb");
  if (elements == nullptr) {
    return 1;
  }
  std::fprintf(elements, "start,end,start_radius,end_radius,start_azimuth,x,y\n");
  std::vector<velmora::road::ElementInput> inputs;
  double radius = 0.0;
  for (int i = 0; i < kElements; ++i) {
    const double start = kStart + kLength * i;
    double start_radius = 0.0;
    double end_radius = 0.0;
    switch (i % 4) {
      case 0:
        break;  // a straight
      case 1:   // a spiral into a curve turning right or left
        radius = (i % 8 == 1 ? 1.0 : -1.0) * (500.0 + std::floor(unit(random) * 1000.0));
        end_radius = radius;
        break;
      case 2:
        start_radius = end_radius = radius;  // the arc
        break;
      default:
        start_radius = radius;  // the spiral out
        break;
    }
    if (i == 0) {
      std::fprintf(elements, "%.3f,%.3f,0,0,45.3015,3456789.012,500123.456\n", start,
                   start + kLength);
    } else {
      std::fprintf(elements, "%.3f,%.3f,%g,%g,,,\n", start, start + kLength, start_radius,
                   end_radius);
    }
    velmora::road::ElementInput input;
    input.start_station = start;
    input.end_station = start + kLength;
    input.start_radius = start_radius;
    input.end_radius = end_radius;
    if (i == 0) {
      input.start_azimuth = (45.0 + 30.0 / 60.0 + 15.0 / 3600.0) * 3.14159265358979 / 180.0;
      input.start = velmora::road::Point{3456789.012, 500123.456};
    }
    inputs.push_back(input);
  }
  std::fclose(elements);

  std::string error;
  const auto built = velmora::road::BuildAlignment(inputs, {}, {}, error);
  if (!built) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  const velmora::road::Alignment& alignment = built->alignment;
  std::FILE* points = std::fopen(argv[2], "wb");
  if (points == nullptr) {
    return 1;
  }
  std::string out = "name,x,y\n";
  for (long long n = 0; n < count; ++n) {
    const double distance =
        alignment.Start() + unit(random) * (alignment.End() - alignment.Start());
    const double offset = (unit(random) - 0.5) * 60.0;
    const auto& element = alignment.elements()[*alignment.ElementAt(distance)];
    const auto point = velmora::road::PointAt(element, distance, offset);
    char line[96];
    std::snprintf(line, sizeof line, "P%lld,%.3f,%.3f\n", n + 1, point->x, point->y);
    out += line;
    if (out.size() > (1 << 16)) {
      std::fwrite(out.data(), 1, out.size(), points);
      out.clear();
    }
  }
  std::fwrite(out.data(), 1, out.size(), points);
  std::fclose(points);
  return 0;
}
