// One isotherm's magnetometer data file: the sample mass when the control
// file gave none, the header, and up to 100 rows at the entry's temperature.
#pragma once

namespace korvenal {

// Reads the data file connected to unit 12 for entry i (counting from 1) into
// the raw points, possibly sets the mass, shows two console lines, and
// releases unit 12.
void readDataFile(int i);

}  // namespace korvenal
