// Owners, error readers, file helpers and a whole-file loader shared by the
// loader library's tests.
#pragma once

#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"
#include "pellio/Pellio.h"
#include "qrfsynth/QrfSynthFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pelliotest {

using Bytes = std::vector<std::uint8_t>;

using ManagerPtr = QrfManagerPtr;
using TagsPtr = PellioTagsPtr;
using StreamPtr = PellioStreamPtr;
using LoadPtr = PellioLoadPtr;
using SavePtr = PellioSavePtr;
using ImagePtr = QrfImagePtr;

// Frees `error`; success when it was null, else a failure naming its cause.
::testing::AssertionResult Succeeded(IKelvraError* error);
// Frees `error` and gives its cause's code (0 for success).
long CodeOf(IKelvraError* error);
// Frees `error` and tells whether any error of it carries `code`.
bool HasCode(IKelvraError* error, long code);

ManagerPtr MakeManager();
TagsPtr MakeTags();
ImagePtr MakeImage(IKelvraManager* manager);
// An image filled with a pattern that differs between neighbours and rows.
ImagePtr MakePatternImage(IKelvraManager* manager, KelvraPixelFormat format, long width, long height);
StreamPtr OpenStream(const std::string& path, long mode);

// Every pixel of a source, packed row after row.
Bytes PixelsOf(IKelvraDataSource* source);
// A tag's bytes (for type 263, the bytes it points to); empty when missing.
Bytes TagBytes(const IKelvraTagControl* tags, std::uint32_t id);
// Every tag of a control: id, type and bytes, in ascending ids.
struct TagEntry {
    std::uint32_t id;
    std::uint32_t type;
    Bytes bytes;
    bool operator==(const TagEntry& o) const { return id == o.id && type == o.type && bytes == o.bytes; }
};
std::vector<TagEntry> AllTags(const IKelvraTagControl* tags);
void SetTag(IKelvraTagControl* tags, std::uint32_t id, std::uint32_t type, const Bytes& bytes);
Bytes TextBytes(const std::string& text);
// The bytes of a plain value, as a tag holds it.
template <class T>
Bytes ValueBytes(const T& value)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
    return Bytes(bytes, bytes + sizeof value);
}
// A parameter's name fit for a test name: spaces become underscores.
std::string TestName(const char* name);

// A loader started on a file, with its stream and tags.
struct StartedLoad {
    StreamPtr stream;
    LoadPtr load;
    TagsPtr tags;
};
// Opens `path` and starts a new loader on it; answers the start's error.
IKelvraError* StartLoad(const std::string& path, StartedLoad* started);

// A file loaded whole: its information, tags, main image and sub-images.
struct LoadedFile {
    KelvraFileInfo info{};
    TagsPtr tags;
    ImagePtr main;
    std::vector<KelvraSubImageInfo> subInfo;
    std::vector<ImagePtr> subImages;
};
IKelvraError* LoadWhole(IKelvraManager* manager, const std::string& path, LoadedFile* file);

// Saves `main` with `list` and `tags` as `format` to `path`.
IKelvraError* SaveFile(IKelvraDataSource* main, const std::vector<KelvraSaveEntry>& list, IKelvraTagControl* tags,
                       std::uint32_t format, std::uint32_t option, const std::string& path);

Bytes ReadFile(const std::string& path);
void WriteFile(const std::string& path, const Bytes& bytes);
// The names of the files in a folder.
std::vector<std::string> FilesIn(const std::string& folder);

} // namespace pelliotest
