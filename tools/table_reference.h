// An independent reference for the table korvenal writes from the example
// directory, written from the rules the tool follows rather than from its
// code: read the control file and the data files as text, keep the rows near
// each nominal temperature, zero the fields below 100 Oe and scale them to
// tesla, keep the rising (or falling) branch, integrate by the trapezoid rule
// with every intermediate in double and every store rounded to float, and
// write the fixed-column table with its CR LF lines.
//
// It covers the well-formed files the example holds (one row per line, no
// quotes, repeat counts or slashes), not every input the tool accepts.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace korvenal::example {

constexpr float ReferenceTemperatureTolerance = 0.25f;
constexpr float ReferenceFieldTolerance = 0.01f;
constexpr float ReferenceMassThreshold = 0.0001f;
constexpr float ReferenceMassScale = 0.001f;
constexpr float ReferenceFieldScale = 0.0001f;
constexpr int ReferenceMaxPoints = 100;

inline std::string readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The lines of a text, each cut at its first CR or LF.
inline std::vector<std::string> contentLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    line = line.substr(0, line.find('\r'));
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// A number text read as the tool reads it: to double, then to float.
inline float textToFloat(const std::string& text) {
  return static_cast<float>(std::strtod(text.c_str(), nullptr));
}

// The blank- or comma-separated values of one line.
inline std::vector<std::string> lineValues(const std::string& line) {
  std::vector<std::string> values;
  std::string current;
  for (const char c : line + ",") {
    if (c == ',') {
      values.push_back(current);
      current.clear();
    } else if (c != ' ' && c != '\t') {
      current += c;
    }
  }
  return values;
}

struct ReferenceSettings {
  float mass = 0.0f;
  int sweepSign = 0;
  std::vector<float> fields;
  std::vector<float> temperatures;
  std::vector<std::string> fileNames;
};

// The control file: mass; field count and sweep sign; the fields (one line);
// then a temperature line and a file-name line per isotherm.
inline ReferenceSettings readReferenceSettings(const std::string& text) {
  const std::vector<std::string> lines = contentLines(text);
  ReferenceSettings settings;
  std::istringstream head(lines.at(0) + " " + lines.at(1) + " " + lines.at(2));
  std::string mass;
  int fieldCount = 0;
  head >> mass >> fieldCount >> settings.sweepSign;
  settings.mass = textToFloat(mass);
  for (int f = 0; f < fieldCount; ++f) {
    std::string field;
    head >> field;
    settings.fields.push_back(textToFloat(field));
  }
  for (std::size_t line = 3; line + 1 < lines.size(); line += 2) {
    std::istringstream temperature(lines[line]);
    std::string value;
    if (!(temperature >> value)) break;
    settings.temperatures.push_back(textToFloat(value));
    std::string name = lines[line + 1].substr(0, 50);
    name.erase(0, name.find_first_not_of(' '));
    name.erase(name.find_last_not_of(' ') + 1);
    settings.fileNames.push_back(name);
  }
  return settings;
}

// The mass in grams from the line after "INFO,HARMONICS": columns 15-28 hold
// the milligrams (blanks ignored, a comma ends the number).
inline float referenceMass(const std::string& text) {
  const std::vector<std::string> lines = contentLines(text);
  for (std::size_t line = 0; line + 1 < lines.size(); ++line) {
    if (lines[line].compare(0, 14, "INFO,HARMONICS") != 0) continue;
    const std::string columns = lines[line + 1].size() > 14 ? lines[line + 1].substr(14, 14) : "";
    std::string number;
    for (const char c : columns) {
      if (c == ',') break;
      if (c != ' ' && c != '\t') number += c;
    }
    return static_cast<float>(static_cast<double>(textToFloat(number)) *
                              static_cast<double>(ReferenceMassScale));
  }
  return 0.0f;
}

struct ReferencePoint {
  float field = 0.0f;
  float moment = 0.0f;
};

// The rows of one data file measured within 0.25 of the nominal temperature,
// at most 100, with fields below 100 set to zero together with their moment
// and every field scaled from oersted to tesla.
inline std::vector<ReferencePoint> referenceRows(const std::string& text, float nominal) {
  const std::vector<std::string> lines = contentLines(text);
  std::size_t line = 0;
  while (line < lines.size() && lines[line].compare(0, 14, "Comment,Time S") != 0) ++line;
  const double zeroLimit = static_cast<double>(ReferenceFieldTolerance) * 10000.0;
  std::vector<ReferencePoint> rows;
  for (++line; line < lines.size() && rows.size() < ReferenceMaxPoints; ++line) {
    const std::vector<std::string> values = lineValues(lines[line]);
    if (values.size() < 7) continue;
    const float temperature = textToFloat(values[2]);
    if (std::fabs(static_cast<double>(temperature) - static_cast<double>(nominal)) >
        static_cast<double>(ReferenceTemperatureTolerance)) {
      continue;
    }
    ReferencePoint point{textToFloat(values[3]), textToFloat(values[6])};
    if (std::fabs(static_cast<double>(point.field)) < zeroLimit) point = {};
    point.field = static_cast<float>(static_cast<double>(point.field) *
                                     static_cast<double>(ReferenceFieldScale));
    rows.push_back(point);
  }
  return rows;
}

// The points reached by a field step in the sweep direction, led by the
// first row, reversed when they run from the larger to the smaller field.
inline std::vector<ReferencePoint> referenceBranch(const std::vector<ReferencePoint>& rows,
                                                   int sweepSign) {
  std::vector<ReferencePoint> branch;
  for (std::size_t j = 1; j < rows.size(); ++j) {
    const auto step = static_cast<float>(static_cast<double>(rows[j].field) -
                                         static_cast<double>(rows[j - 1].field));
    if (static_cast<double>(sweepSign) * static_cast<double>(step) <= 0.0) continue;
    if (branch.empty()) branch.push_back(rows[0]);
    branch.push_back(rows[j]);
  }
  if (branch.size() >= 2 && std::fabs(branch.front().field) > std::fabs(branch.back().field)) {
    std::reverse(branch.begin(), branch.end());
  }
  return branch;
}

// The trapezoid integral of the moment from the first point up to B. A point
// at most 0.01 above B still counts as reached; the partial step after it
// then has a negative width and takes the excess back.
inline float referenceIntegral(const std::vector<ReferencePoint>& points, float b) {
  const auto d = [](float value) { return static_cast<double>(value); };
  float sum = 0.0f;
  for (std::size_t k = 0; k + 1 < points.size(); ++k) {
    const ReferencePoint& p = points[k];
    const ReferencePoint& q = points[k + 1];
    if (d(b) + d(ReferenceFieldTolerance) < d(q.field)) {
      const auto m = static_cast<float>(((d(q.field) - d(b)) * d(p.moment) +
                                         (d(b) - d(p.field)) * d(q.moment)) /
                                        (d(q.field) - d(p.field)));
      return static_cast<float>((d(b) - d(p.field)) * (d(p.moment) + d(m)) * 0.5 + d(sum));
    }
    sum = static_cast<float>((d(q.moment) + d(p.moment)) * (d(q.field) - d(p.field)) * 0.5 + d(sum));
  }
  return sum;
}

// The fixed-point text of a float with `decimals` places in `width`
// characters: at most 7 significant digits, rounded half away from zero, no
// 0 before the point, no minus sign on a value that rounds to zero,
// asterisks when it does not fit. 0.5 at width 8, 3 decimals -> "    .500".
inline std::string referenceFixed(float value, int width, int decimals) {
  std::string digits = "0";
  int exponent = 0;
  bool negative = false;
  if (value != 0.0f) {
    // Exact decimal expansion, then the first 17 significant digits,
    // rounded up when the 18th is 5 or more.
    char text[200];
    std::snprintf(text, sizeof text, "%.120e", std::fabs(static_cast<double>(value)));
    const std::string all = std::string(1, text[0]) + std::string(text + 2, text + 122);
    exponent = std::atoi(text + 123) + 1;
    digits = all.substr(0, 17);
    if (all[17] >= '5') {
      int i = 16;
      while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') digits[static_cast<std::size_t>(i--)] = '0';
      if (i < 0) {
        digits = "1";
        ++exponent;
      } else {
        ++digits[static_cast<std::size_t>(i)];
      }
    }
    digits.erase(digits.find_last_not_of('0') + 1);
    negative = value < 0.0f;
  }
  int integerDigits = digits == "0" ? 0 : exponent;
  int count = digits == "0" ? decimals : exponent + decimals;
  if (integerDigits < -decimals) {
    integerDigits = -decimals;
    count = 0;
    negative = false;
  } else {
    const int keep = std::min(7, count);
    if (static_cast<int>(digits.size()) > keep) {
      const bool up = digits[static_cast<std::size_t>(keep)] >= '5';
      digits = digits.substr(0, static_cast<std::size_t>(keep));
      if (up) {
        int i = keep - 1;
        while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') digits[static_cast<std::size_t>(i--)] = '0';
        if (i < 0) {
          digits = "1" + digits;
          ++integerDigits;
          ++count;
        } else {
          ++digits[static_cast<std::size_t>(i)];
        }
      } else if (digits.find_first_not_of('0') == std::string::npos) {
        negative = false;
      }
    }
  }
  std::size_t next = 0;
  const auto digit = [&] { return next < digits.size() ? digits[next++] : '0'; };
  std::string out = negative ? "-" : "";
  if (integerDigits == 0 && count == 0) out += '0';
  if (integerDigits > 0) {
    for (int i = 0; i < integerDigits; ++i) out += digit();
    count -= integerDigits;
  }
  out += '.';
  for (int i = 0; i < -integerDigits; ++i) out += '0';
  for (int i = 0; i < count; ++i) out += digit();
  if (static_cast<int>(out.size()) > width) return std::string(static_cast<std::size_t>(width), '*');
  return std::string(static_cast<std::size_t>(width) - out.size(), ' ') + out;
}

// The table korvenal writes into KORVENAL.dat for the control file and data
// files of `directory`.
inline std::string referenceTable(const std::string& directory) {
  const auto d = [](float value) { return static_cast<double>(value); };
  ReferenceSettings settings = readReferenceSettings(readWholeFile(directory + "/KORVENAL.inp"));
  std::vector<std::vector<ReferencePoint>> isotherms;
  for (std::size_t i = 0; i < settings.temperatures.size(); ++i) {
    const std::string text = readWholeFile(directory + "/" + settings.fileNames[i]);
    if (std::fabs(settings.mass) < ReferenceMassThreshold) settings.mass = referenceMass(text);
    isotherms.push_back(referenceBranch(referenceRows(text, settings.temperatures[i]), settings.sweepSign));
  }
  std::string table = " T/B    ";
  for (const float field : settings.fields) table += std::string(8, ' ') + referenceFixed(field, 5, 2);
  table += "\r\n";
  for (std::size_t i = 0; i + 1 < isotherms.size(); ++i) {
    const float lower = settings.temperatures[i];
    const float upper = settings.temperatures[i + 1];
    table += referenceFixed(static_cast<float>((d(upper) + d(lower)) / 2.0), 8, 3);
    for (const float field : settings.fields) {
      const float lowerIntegral = referenceIntegral(isotherms[i], field);
      const float upperIntegral = referenceIntegral(isotherms[i + 1], field);
      const auto value = static_cast<float>(
          -(((d(upperIntegral) - d(lowerIntegral)) / (d(upper) - d(lower))) / d(settings.mass)));
      table += "  " + referenceFixed(value, 11, 3);
    }
    table += "\r\n";
  }
  return table;
}

}  // namespace korvenal::example
