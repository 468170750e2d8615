// Two optional parts of an image file that a load copies out of its tags:
// the IPTC record and the embedded colour profile. Failures leave the
// defaults and never fail the load.
#pragma once

class CTlBlob;
class IKelvraTagControl;
struct TlvRegisteredImages;

enum : unsigned { kTlIptcTag = 0x83BB };

// Reads tag 0x83BB into `record` at the exact size the tag holds; false
// (record unchanged) when the tag is missing or cannot be read.
bool ReadIptcRecord(const IKelvraTagControl& tags, CTlBlob& record);

// Writes the profile bytes of tag 34675 to a new temporary file ("TlP...")
// that goes with the image of `images`. A tag that only names a profile
// file is not taken. False, and no file, on any failure.
bool CopyEmbeddedProfile(const IKelvraTagControl& tags, TlvRegisteredImages& images);
