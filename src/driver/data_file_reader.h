// One isotherm's magnetometer data file: the sample mass when the control
// file gave none, the header, and up to 100 rows at the entry's temperature.
#pragma once

#include <string_view>

#include "driver/run_tables.h"
#include "records/line_source.h"

namespace korvenal {

// Reads the data file connected to unit 12 for entry i (counting from 1) into
// the raw points, possibly sets the mass, shows two console lines, and
// releases unit 12.
void readDataFile(int i);

// Reads data rows of seven free-form values from `line` until its end or
// until `MaxPoints` rows are kept; keeps the rows measured within the
// tolerance of `nominal` as points. Returns how many were kept.
int readRows(LineSource& line, std::string_view unitName, float nominal, RawPoint* points);

}  // namespace korvenal
