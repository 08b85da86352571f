#pragma once
#include <cmath>
#include <span>

// The passes over every value or bin of one XFORM slice that come between
// its transforms. Each runs four values or bins at a time where the
// processor has SSE2, and gives the same result to the last bit as its plain
// loop (the ...Portable functions: the fallback elsewhere, and what tests
// compare against).

inline float BinMagnitude(float re, float im) { return std::sqrt(re * re + im * im); }

// The largest absolute value (0 for none; NaN passed over).
float PeakOfSection(std::span<const float> section);
float PeakOfSectionPortable(std::span<const float> section);

// Values that cannot be transformed safely (not finite) become silence;
// returns the peak of what is left. Nearly every source is all finite, so
// the section is only written when a value needs it.
float ZeroUnfiniteValues(std::span<float> values);
float ZeroUnfiniteValuesPortable(std::span<float> values);

// Reconstruction turns from analysis to synthesis in the transformed section
// z (a stereo section's packed transform, 131,072 points) itself: the left
// and right magnitudes (as UnpackStereoSpectrum and BinMagnitude give them)
// go to the spectrum and, each turned by its bin's random rotor
// (A = rotor |L|, B = rotor |R|), straight back into z as the inverse
// transform's input: bin m holds A + iB and bin N - m conj(A) + i conj(B),
// nothing below the low cut or at Nyquist. Returns the strongest magnitude,
// the bins below the low cut (which stay empty) included.
float RepackAsRotatedMagnitudes(float* z, std::span<float> spectrum, const float* rotors);
float RepackAsRotatedMagnitudesPortable(float* z, std::span<float> spectrum, const float* rotors);

// Magnitudes under the floor become 0, in the spectrum and in the packed
// input z of the inverse transform.
void DropResidue(std::span<float> spectrum, const float* rotors, float* z, float floor);
void DropResiduePortable(std::span<float> spectrum, const float* rotors, float* z, float floor);

// The spectrum's half spectra packed as above, for synthesis alone.
void PackRotatedSpectrum(std::span<const float> spectrum, const float* rotors, float* z);
void PackRotatedSpectrumPortable(std::span<const float> spectrum, const float* rotors, float* z);
