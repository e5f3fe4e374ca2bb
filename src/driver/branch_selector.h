// Keeps the points of one sweep direction and puts them in rising order of
// field magnitude for the integration.
#pragma once

namespace korvenal {

// Fills isotherm i (counting from 1) from the raw points: the file's first
// kept row, then every point reached by a step in the chosen direction.
void selectBranch(int i);

// Reverses isotherm i when it runs from the larger to the smaller field magnitude.
void orderByField(int i);

}  // namespace korvenal
