// Fixtures made at test time with the Debian reference tools, and mpg123 as the
// reference decoder. Native tests only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvtest {

// A folder for this test run's files, made on first use.
const std::string& FixtureDir();
// Runs a shell command; false on a non-zero exit.
bool Shell(const std::string& command);
// The standard output of a command.
std::vector<uint8_t> Capture(const std::string& command);
// Makes FixtureDir()/name with `command`, where {out} stands for the path; once per run.
std::string Fixture(const std::string& name, const std::string& command);
std::string Quote(const std::string& path);

// mpg123's decode of a file, all frames, no gapless trimming.
std::vector<float> ReferenceFloat(const std::string& path);
std::vector<int16_t> Reference16(const std::string& path);

struct Difference {
  double rms = 0;
  double max = 0;
  size_t maxAt = 0;
};
Difference Compare(const std::vector<float>& a, const std::vector<float>& b);

}  // namespace orvtest
