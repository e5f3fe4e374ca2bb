// Builders for the bytes of whole-run tests: control files, data files in the
// magnetometer layout, and the console lines the run shows.
#pragma once

#include <string>
#include <vector>

namespace korvenal::testing {

inline std::string blanks(std::size_t count) { return std::string(count, ' '); }

// A 50-character data file name as the console shows it.
inline std::string name50(const std::string& name) { return name + blanks(50 - name.size()); }

// Lines joined with CR LF after each.
inline std::string crlfLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

// A data row: empty comment, time stamp, temperature, field, two other
// columns, the moment, and more columns after it.
inline std::string row(const std::string& temperature, const std::string& field,
                       const std::string& moment) {
  return ",12.5," + temperature + "," + field + ",1.5,2.5," + moment + ",7,8,9";
}

inline const std::string ColumnTitles =
    "Comment,Time Stamp (sec),Temperature (K),Magnetic Field (Oe),Extra One,Extra Two,"
    "Moment (emu),Error (emu),Other,Last";

// A data file: two header lines, optionally the mass marker and the mass line
// (the 14-character label then the mass text from column 15), the data-start
// line, the column titles, then the rows; CR LF line ends.
inline std::string dataFile(const std::vector<std::string>& rows, const std::string& massText = "") {
  std::vector<std::string> lines = {"[Header]", "TITLE,sample run"};
  if (!massText.empty()) {
    lines.push_back("INFO,HARMONICS,1");
    lines.push_back("INFO,MASS,mg, " + massText);
  }
  lines.push_back("[Data]");
  lines.push_back(ColumnTitles);
  for (const auto& r : rows) lines.push_back(r);
  return crlfLines(lines);
}

// The console's pause prompt line.
inline const std::string PausePrompt =
    "Pause - Please enter a blank line (to continue) or a DOS command.\r\n";

}  // namespace korvenal::testing
