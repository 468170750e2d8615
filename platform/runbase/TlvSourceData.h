// What the host knows of an item's source file (record type 144). The item
// service fills it; the slideshow writes the mark flag back and sends it with
// the update message.
#pragma once

#include "runbase/TlvFilePath.h"
#include "runbase/TlvTime.h"

#include <windows.h>

#include <string>

// Source classes.
enum : DWORD {
    TLV_SOURCE_STILL = 0x1100,
    TLV_SOURCE_MOVIE = 0x1200,
    TLV_SOURCE_NO_PATH = 0x1400, // no file of its own; known by its file name only
};

// Bits of the flags word.
enum : DWORD {
    TLV_SOURCE_READ_ONLY = 2, // automatic functions must not change the source
    TLV_SOURCE_MARKED = 4,
};

class CTlvSourceData {
public:
    bool IsReadOnly() const { return (m_flags & TLV_SOURCE_READ_ONLY) != 0; }
    bool IsMarked() const { return (m_flags & TLV_SOURCE_MARKED) != 0; }
    // Sets or clears the mark; true when that changed the flags.
    bool SetMarked(bool marked);
    // The time that stands for the item: the picture's own time for a still
    // picture, the file's time for every other class.
    const CTlvTime& GetItemTime() const;

    // The file name; for a TLV_SOURCE_NO_PATH source also the item's name.
    std::string m_fileName;
    DWORD m_flags = 0;
    DWORD m_sourceClass = 0;
    // The host's file-kind value (a single bit, or 255, 0xFF00).
    DWORD m_fileKind = 0;
    CTlvFilePath m_filePath;
    DWORD m_fileSize = 0;
    int m_width = 0;
    // A further value given with the size; the modules copy it unread.
    int m_sizeExtra = 0;
    int m_height = 0;
    CTlvTime m_fileTime;
    CTlvTime m_pictureTime;
    // Text the host keeps for an item it cannot show as a picture.
    std::string m_storedText;
};
