// Coefficient sources for the body filter: the nine fixed body types and the
// seeded random bodies.
#pragma once

namespace engine {

// Every body table holds this many coefficients; a filter of order n uses the first n.
constexpr int kBodyTableLength = 30;

// Body type indices as the parameters select them.
enum BodyType : int {
  kBodyNone = 0,
  kBodyFormantA = 8,  // the last fixed table
  kBodyRandom = 9,    // a fixed table picked at random
  kBodyTimeRandom = 10,
  kBodyNoteRandom = 11,  // every index from here up
};

// The fixed table of body type `index`, 0 "None" … 8 "FormantA" (clamped to that range).
const double* bodyTypeTable(int index);

// Reseeds the generator with `seed` and writes `count` values b · a · 0.95 from
// pairs of uniform draws (a first), each in (-0.95, 0.95].
void generateRandomCoefficients(double* values, int seed, int count);

// Resolves body type `index` to the coefficients a voice loads: a fixed table
// for 0 … 8; for 9 a fixed table chosen by one draw of the generator; for 10 a
// body generated into `randomValues` (30 entries) from `timeSeed`; for 11 and
// above one generated there from `noteSeed`. Negative indices count as 0.
const double* bodyTypeCoefficients(int index, double* randomValues, int timeSeed, int noteSeed);

}  // namespace engine
