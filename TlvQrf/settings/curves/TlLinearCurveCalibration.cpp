// The calibration curves that ship in the shared profiles folder: a file
// holds the stored body of a chroma-by-hue curve (TlBumpListForm.h), which
// fills the calibration list and the second offset.
#include "settings/curves/TlLinearCurve.h"

#include "frame/TlProfileFolder.h"
#include "infra/TlWholeFile.h"
#include "settings/curves/TlBumpListForm.h"

#include <windows.h>

#include <cstring>
#include <new>
#include <string>

namespace {

// The doubles of a calibration file, in order. A value is read only when the
// data reaches one byte past its end; one that is not takes the value read
// last (0 before the first), so a short file still yields a full list.
class CCalibrationValues {
public:
    CCalibrationValues(const unsigned char* data, std::size_t length) : m_data(data), m_length(length) {}

    double Next()
    {
        if (m_length > sizeof(double) && m_position < m_length - sizeof(double)) {
            std::memcpy(&m_last, m_data + m_position, sizeof m_last);
        }
        m_position += sizeof(double);
        return m_last;
    }

private:
    const unsigned char* m_data;
    std::size_t m_length;
    std::size_t m_position = TlBumpListFormLayout::kPointsOffset;
    double m_last = 0;
};

std::uint16_t ReadU16(const unsigned char* at)
{
    std::uint16_t value = 0;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// The file's whole contents. A file longer than the longest calibration
// file cannot be one and is not read into memory.
int ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes)
{
    switch (TlReadWholeFile(path.c_str(), TlBumpListFormLayout::kMaxSize, bytes)) {
    case TlWholeFileResult::kRead:
        return kTlCalibrationOk;
    case TlWholeFileResult::kTooLong:
        return kTlCalibrationBadLength;
    case TlWholeFileResult::kNoMemory:
        return kTlCalibrationNoMemory;
    case TlWholeFileResult::kUnreadable:
        break;
    }
    return kTlCalibrationUnreadable;
}

} // namespace

int CTlLinearCurve::LoadCalibration(const char* fileName)
{
    try {
        // The path must fit the run-time's path buffer of MAX_PATH characters.
        const std::string path = GetProfileFolder() + (fileName != nullptr ? fileName : kTlLchCalibrationFile);
        if (path.size() >= MAX_PATH)
            return kTlCalibrationUnreadable;
        std::vector<unsigned char> bytes;
        const int read = ReadWholeFile(path, bytes);
        if (read != kTlCalibrationOk)
            return read;
        const int accounted = ParseCalibration(bytes.data(), bytes.size());
        return static_cast<std::size_t>(accounted) == bytes.size() ? kTlCalibrationOk : kTlCalibrationBadLength;
    } catch (const std::bad_alloc&) {
        return kTlCalibrationNoMemory;
    }
}

int CTlLinearCurve::ParseCalibration(const unsigned char* data, std::size_t length)
{
    if (data == nullptr || length <= 2 || ReadU16(data) != TlBumpListFormLayout::kVersion)
        return 0;
    std::vector<TlBumpPoint>& list = CalibrationList();
    std::vector<TlBumpPoint>().swap(list);
    std::uint16_t count = 0;
    if (length >= TlBumpListFormLayout::kPointsOffset + 1)
        count = ReadU16(data + TlBumpListFormLayout::kCountOffset);
    try {
        list.resize(count);
    } catch (const std::bad_alloc&) {
        count = 0;
    }
    CCalibrationValues values(data, length);
    for (TlBumpPoint& point : list) {
        point.x = values.Next();
        point.y = values.Next();
        point.z = values.Next();
    }
    m_secondOffset = values.Next();
    m_editor = TlBumpEditorState();
    m_changed = 1;
    return BumpListFormSize(count);
}
