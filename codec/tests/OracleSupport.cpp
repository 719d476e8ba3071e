#include "OracleSupport.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

namespace orvtest {

namespace {
// Outlives every static string: the folder is removed at exit.
char g_fixtureDir[64] = "/tmp/orv-codec-XXXXXX";
void RemoveFixtureDir() {
  const std::string command = std::string("rm -rf '") + g_fixtureDir + "'";
  if (std::system(command.c_str()) != 0)
    std::fprintf(stderr, "could not remove %s\n", g_fixtureDir);
}
}  // namespace

const std::string& FixtureDir() {
  static const std::string dir = [] {
    if (!::mkdtemp(g_fixtureDir))
      return std::string("/tmp");
    std::atexit(RemoveFixtureDir);
    return std::string(g_fixtureDir);
  }();
  return dir;
}

std::string Quote(const std::string& path) { return "'" + path + "'"; }

bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }

std::vector<uint8_t> Capture(const std::string& command) {
  std::vector<uint8_t> bytes;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe)
    return bytes;
  uint8_t buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
    bytes.insert(bytes.end(), buffer, buffer + n);
  ::pclose(pipe);
  return bytes;
}

std::string Fixture(const std::string& name, const std::string& command) {
  static std::set<std::string> made;
  const std::string path = FixtureDir() + "/" + name;
  if (made.count(name))
    return path;
  std::string cmd = command;
  for (size_t at; (at = cmd.find("{out}")) != std::string::npos;)
    cmd.replace(at, 5, Quote(path));
  for (size_t at; (at = cmd.find("{dir}")) != std::string::npos;)
    cmd.replace(at, 5, FixtureDir());
  if (Shell(cmd + " >/dev/null 2>&1"))
    made.insert(name);
  return path;
}

std::vector<float> ReferenceFloat(const std::string& path) {
  std::vector<uint8_t> bytes = Capture("mpg123 -q --no-gapless -e f32 -s " + Quote(path) + " 2>/dev/null");
  std::vector<float> samples(bytes.size() / sizeof(float));
  std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
  return samples;
}

std::vector<int16_t> Reference16(const std::string& path) {
  std::vector<uint8_t> bytes = Capture("mpg123 -q --no-gapless -e s16 -s " + Quote(path) + " 2>/dev/null");
  std::vector<int16_t> samples(bytes.size() / sizeof(int16_t));
  std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(int16_t));
  return samples;
}

Difference Compare(const std::vector<float>& a, const std::vector<float>& b) {
  Difference d;
  const size_t n = std::min(a.size(), b.size());
  double sum = 0;
  for (size_t i = 0; i < n; ++i) {
    const double e = std::fabs(double(a[i]) - double(b[i]));
    sum += e * e;
    if (e > d.max) {
      d.max = e;
      d.maxAt = i;
    }
  }
  d.rms = n ? std::sqrt(sum / n) : 0;
  return d;
}

}  // namespace orvtest
