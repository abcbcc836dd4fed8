#include "sim/image_file.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "link/bytes.h"
#include "link/errors.h"

namespace qv82::sim {

namespace {

constexpr std::size_t kBytesPerLine = 32;

std::string without_blanks(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (!std::isspace(static_cast<unsigned char>(c))) out.push_back(c);
  }
  return out;
}

// Parses one line into the image copy; returns an error text or "".
std::string apply_line(const std::string& line, Memory::Image& image) {
  const std::string text = without_blanks(line);
  if (text.empty() || text[0] == '#') return "";
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos || colon == 0 || colon > 4) {
    return "expected 'ADDR: HEX BYTES'";
  }
  unsigned long address = 0;
  Bytes data;
  try {
    address = parse_hex_number(text.substr(0, colon));
    const std::string digits = text.substr(colon + 1);
    if (digits.size() % 2 != 0) return "odd number of hex digits";
    data = hex_to_bytes(digits);
  } catch (const ConversionError& e) {
    return e.what();
  }
  if (address + data.size() > kMemorySize) return "block ends beyond address 0FFF";
  std::copy(data.begin(), data.end(), image.begin() + static_cast<std::ptrdiff_t>(address));
  return "";
}

}  // namespace

bool apply_image_text(const std::string& text, const std::string& name, Memory::Image& image,
                      std::string& error) {
  Memory::Image copy = image;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    const std::string problem = apply_line(line, copy);
    if (!problem.empty()) {
      error = name + " line " + std::to_string(number) + ": " + problem;
      return false;
    }
  }
  image = copy;
  return true;
}

bool load_image_file(const std::string& path, Memory::Image& image, std::string& error) {
  std::ifstream file(path);
  if (!file) {
    error = "cannot open " + path;
    return false;
  }
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad()) {
    error = "cannot read " + path;
    return false;
  }
  return apply_image_text(text.str(), path, image, error);
}

bool save_image_file(const std::string& path, const Memory::Image& image, std::string& error) {
  std::ostringstream text;
  for (std::size_t address = 0; address < kMemorySize; address += kBytesPerLine) {
    char label[8];
    std::snprintf(label, sizeof label, "%04zX:", address);
    text << label;
    for (std::size_t i = 0; i < kBytesPerLine; ++i) {
      text << ' ' << bytes_to_hex(Bytes{image[address + i]});
    }
    text << '\n';
  }
  const std::string temporary = path + ".tmp";
  {
    std::ofstream file(temporary, std::ios::trunc);
    file << text.str();
    file.flush();
    if (!file) {
      std::remove(temporary.c_str());
      error = "cannot write " + path;
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace qv82::sim
