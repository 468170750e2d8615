// The lens data file of the supported fisheye lens ("Tl0080.lns" in
// "<Common Files>\Talvo\Profiles"). Its content is the stored form of the
// lens information record. The curves are synthetic: computed from a simple
// projection model (see docs/lens-files.md), not measured on any lens.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The four curves in the record's order, each CTlLensInformation::kTableEntries
// long: output-to-source for the fill modes, output-to-source without fill,
// then the two source-to-output curves in the same order.
std::vector<std::vector<double>> TlBuildLensCurves();

// The file's bytes: the lens record (lens code 128) holding the curves.
// Empty when memory runs out.
std::vector<std::uint8_t> TlBuildLensFile();
// The same file holding other curves (four of kTableEntries, in the order
// above); tests try the correction on curves of their own.
std::vector<std::uint8_t> TlBuildLensFileOf(const std::vector<std::vector<double>>& curves);

// Writes the file into `folder` (created when missing; its parent must
// exist). False with a reason in `failure` when it could not be written.
bool TlWriteLensFile(const char* folder, std::string* failure);
