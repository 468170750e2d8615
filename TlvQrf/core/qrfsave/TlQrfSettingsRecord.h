// The settings record a settings save stores in tag 0x80E01, and whether
// the record a raw file already stores says the same.
#pragma once

#include <vector>

class CTlvEditSettings;
class CTlvParamSet;

// Points `settings` at the parameter set's records with their flags, its
// orientation and its data block.
void PointAtParams(const CTlvParamSet& params, CTlvEditSettings& settings);

// The stored form of the parameter set's settings; false when it cannot be
// made (no memory, or a record that writes nothing).
bool SerialiseSettings(const CTlvParamSet& params, std::vector<unsigned char>& bytes);

// True when the record stored in the source's tags (read into default
// records) matches the parameter set record by record: a record missing on
// one side counts as its defaults. The orientation must match too. A
// source without a stored record compares with the defaults.
bool StoredSettingsMatch(const CTlvParamSet& params);
