// The calibration curves that ship in the shared profiles folder: a file
// holds the stored body of a chroma-by-hue curve (TlBumpListForm.h), which
// fills the calibration list and the second offset.
#include "settings/curves/TlLinearCurve.h"

#include "frame/TlProfileFolder.h"
#include "settings/curves/TlBumpListForm.h"

#include <fcntl.h>
#include <io.h>
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

// A file opened with the run-time's low-level functions, closed on every path.
class CLowLevelFile {
public:
    explicit CLowLevelFile(const std::string& path) : m_handle(_open(path.c_str(), _O_RDONLY | _O_BINARY)) {}
    ~CLowLevelFile()
    {
        if (m_handle >= 0)
            _close(m_handle);
    }
    CLowLevelFile(const CLowLevelFile&) = delete;
    CLowLevelFile& operator=(const CLowLevelFile&) = delete;

    int Handle() const { return m_handle; }

private:
    int m_handle;
};

// The file's whole contents. A file longer than the longest calibration
// file cannot be one and is not read into memory.
int ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes)
{
    CLowLevelFile file(path);
    if (file.Handle() < 0)
        return kTlCalibrationUnreadable;
    const long length = _lseek(file.Handle(), 0, SEEK_END);
    if (length < 0)
        return kTlCalibrationUnreadable;
    if (static_cast<unsigned long>(length) > TlBumpListFormLayout::kMaxSize)
        return kTlCalibrationBadLength;
    bytes.resize(static_cast<std::size_t>(length));
    if (_lseek(file.Handle(), 0, SEEK_SET) != 0)
        return kTlCalibrationUnreadable;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const int got = _read(file.Handle(), bytes.data() + done, static_cast<unsigned>(bytes.size() - done));
        if (got <= 0)
            return kTlCalibrationUnreadable;
        done += static_cast<std::size_t>(got);
    }
    return kTlCalibrationOk;
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
