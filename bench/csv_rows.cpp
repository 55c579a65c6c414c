// Writes N lines of points as a road designer's spreadsheet holds them, for
// timing `velmora-cli csv`: elements of a few hundred metres along a
// chainage, straights, arcs and spirals, a point on each to the millimetre,
// and start azimuths to the second.
//   velmora_csv_rows N SEED > rows.csv
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: velmora_csv_rows N SEED\n");
    return 2;
  }
  const long long count = std::stoll(argv[1]);
  std::mt19937_64 random(std::stoull(argv[2]));
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const auto whole = [&random](int n) {
    return static_cast<int>(random() % static_cast<unsigned>(n));
  };
  std::string out;
  for (long long i = 0; i < count; ++i) {
    const double start = std::floor(unit(random) * 50'000'000.0) / 1000.0;
    const double length = 20.0 + std::floor(unit(random) * 480'000.0) / 1000.0;
    const double point = start + std::floor(unit(random) * length * 1000.0) / 1000.0;
    const double radius = (whole(2) == 0 ? -1.0 : 1.0) * (150.0 + whole(2850));
    double start_radius = 0.0;
    double end_radius = 0.0;
    switch (whole(4)) {
      case 0:
        break;  // a straight
      case 1:
        start_radius = end_radius = radius;  // an arc
        break;
      case 2:
        end_radius = radius;  // a spiral out of a straight
        break;
      default:
        start_radius = radius;  // a spiral into a tighter arc
        end_radius = radius / 2.0;
        break;
    }
    char line[160];
    std::snprintf(line, sizeof line, "%.3f,%.3f,%g,%g,%.3f,%d.%02d%02d\n", start, start + length,
                  start_radius, end_radius, point, whole(360), whole(60), whole(60));
    out += line;
    if (out.size() > (1 << 16)) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      out.clear();
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
