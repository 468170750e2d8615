// What the load tests share: a fixture with an imaging manager that the
// library uses and the registries installed for the holders, synthetic
// files written into a temporary folder, and one host-style load.
#pragma once

#include "kelvra/KelvraManager.h"
#include "qrfsynth/QrfSynthFile.h"
#include "settings/holders/TlvControlSettings.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace loadtest {

using Bytes = std::vector<std::uint8_t>;

class LoadTest : public ::testing::Test {
protected:
    void SetUp() override;
    // Checks that every registered object went with its holder.
    void TearDown() override;

    IKelvraManager* Manager() const { return m_manager.get(); }
    // A synthetic raw file with `options`, under `name` in the temporary folder.
    std::string WriteRaw(const std::string& name, const QrfRawOptions& options);
    // A pattern image of `dpi` saved as `format` (1 JPEG, 256 TIFF).
    std::string WriteImageFile(const std::string& name, std::uint32_t format, double dpi = 72.0);
    // The raw mosaic of `options` with `list` of sub-images of given kinds
    // (each a small RGB image).
    std::string WriteRawWithSubImages(const std::string& name, const QrfRawOptions& options,
                                      const std::vector<std::uint32_t>& kinds);

    TempFolder m_folder;

private:
    QrfManagerPtr m_manager;
};

// The codes a host sees along one load.
struct HostLoad {
    unsigned long begin = 0;
    unsigned long execute = 0;
    unsigned long finish = 0;
    bool finished = false;
};
// CreateObject, BeginLoad, ExecuteLoad until finished or failed, then
// FinishLoad (also after a failed step), Destroy. With `abortAfterBegin`,
// Abort follows BeginLoad.
HostLoad LoadThroughHost(CTlvImageAttributes& attributes, const std::string& path, bool abortAfterBegin = false);

Bytes ReadAll(const std::string& path);

QrfRawOptions RawOptions(std::uint32_t model, QrfPattern pattern);
// The stored form of a holder's settings with a changed exposure.
Bytes StoredSettingsBlock(double exposure);

// Whether `chain` or any error it wraps carries `code` of `category`, or
// reads `text`.
bool ChainHoldsCode(const IKelvraError* chain, std::uint32_t category, long code);
bool ChainHoldsText(const IKelvraError* chain, const std::string& text);

} // namespace loadtest
