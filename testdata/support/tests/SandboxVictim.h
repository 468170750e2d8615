// What RegistrySandboxTest and the process it starts (SandboxVictim.cpp) share.
#pragma once

// A key of the test's own under HKEY_CURRENT_USER, and its value.
constexpr char kProbeKey[] = "Software\\TlTestSupport\\SandboxProbe";
constexpr char kProbeValue[] = "Probe";
// Where the observing process writes what its sandbox found.
constexpr char kObservedValue[] = "Observed";
