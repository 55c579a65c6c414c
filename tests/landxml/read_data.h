// The bytes of a file of data/ (written by data/make_files.py).
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace velmora::landxml::test {

inline std::string ReadData(const std::string& name) {
  std::ifstream in(std::string(VELMORA_LANDXML_DATA) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace velmora::landxml::test
